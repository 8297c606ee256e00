# The X11 side of a desktop (sourced by the desktop files): the one place Xvfb is started, the program's
# windows as X sees them, xdotool input, the clipboard through xclip and screenshots with import.

SCREEN_W=1024
SCREEN_H=768

# x11_start_display: Xvfb on a display number it picks itself (written to the given descriptor).
x11_start_display() {
  Xvfb -displayfd 5 -screen 0 "${SCREEN_W}x${SCREEN_H}x24" -nolisten tcp 5>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  at_exit 'x11_stop_display'
  require "Xvfb starts" wait_until 10 grep -q '^[0-9]' "$WORK/display"
  export DISPLAY=:$(head -1 "$WORK/display")
  # A plain desktop colour behind the windows, for the screenshots.
  convert -size 8x8 xc:'#3b6ea5' "$WORK/desktop.png" && display -window root "$WORK/desktop.png" 2>/dev/null
  note "display $DISPLAY"
}
# Ends the X server, as the end of the desktop session does.
x11_stop_display() {
  [ -n "${E2E_XVFB_PID:-}" ] || return 0
  kill "$E2E_XVFB_PID" 2>/dev/null
  wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=""
}

# The program's visible windows, one line each: "ID WIDTH HEIGHT NAME".
app_windows() { x11_windows_of "$APP_PID"; }
x11_windows_of() { # PID
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    local geom
    geom=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry:/ {print $2}')
    [ -n "$geom" ] || continue
    echo "$w ${geom%x*} ${geom#*x} $(xdotool getwindowname "$w" 2>/dev/null)"
  done
}
# The kind of one of the program's windows, from the type Qt gives it: menu (a popup menu), balloon (the
# balloon, and the tooltip), icon (the icon in an XEmbed tray), window (the windows, dialogs and message
# boxes).
window_kind() {
  local props
  props=$(xprop -id "$1" _NET_WM_WINDOW_TYPE WM_TRANSIENT_FOR 2>/dev/null)
  case $props in
  *_NET_WM_WINDOW_TYPE_TOOLTIP*) echo balloon ;;
  *_KDE_NET_WM_WINDOW_TYPE_OVERRIDE*) echo icon ;;
  *_NET_WM_WINDOW_TYPE_DIALOG*) echo window ;;
  *_NET_WM_WINDOW_TYPE_POPUP_MENU* | *_NET_WM_WINDOW_TYPE_DROPDOWN_MENU*) echo menu ;;
  *"window id #"*) echo menu ;;
  *) echo window ;;
  esac
}
# True while a process of the host (by PID) shows a menu window: the host's drawing of the exported menu.
x11_menu_of() { # PID...
  local pid id w h rest
  for pid in "$@"; do
    while read -r id w h rest; do
      [ -n "$id" ] && [ "$h" -gt 20 ] && [ "$(window_kind "$id")" = menu ] && return 0
    done < <(x11_windows_of "$pid")
  done
  return 1
}

# Window geometry: sets WX, WY, WW, WH.
window_geometry() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X:/ {print "WX=" $4} /Absolute upper-left Y:/ {print "WY=" $4}
    /Width:/ {print "WW=" $2} /Height:/ {print "WH=" $2}')"
}

# Keyboard input goes to the window that has the X focus, which a scenario gives (a window manager
# might give it to another window). Qt takes a moment to make a window active after it got the focus;
# keys sent before that are lost.
focus() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null ||
    xdotool windowfocus "$1"
  sleep 0.3
}
keys() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 30 -- "$1"; }

# (No --sync on mousemove: it waits for a motion that never comes when the pointer is there already.)
click_at() { # X Y BUTTON [REPEAT]
  xdotool mousemove "$1" "$2" sleep 0.05 click --repeat "${4:-1}" --delay 80 "$3"
}
mouse_away() { xdotool mousemove 300 400; }
# Two clicks closer together than the double-click time (400 ms) reach the icon as a double click; a
# user's separate clicks are further apart, and so are these.
E2E_LAST_ICON_CLICK=0
icon_click() { # BUTTON [REPEAT]
  local wait=$((E2E_LAST_ICON_CLICK + 600 - $(now_ms)))
  [ "$wait" -le 0 ] || sleep "0.$(printf %03d "$wait")"
  click_at "$ICON_X" "$ICON_Y" "$1" "${2:-1}"
  E2E_LAST_ICON_CLICK=$(now_ms)
}
# The pointer comes to the icon and rests there (a small move, so that the host sees it arrive).
icon_hover() {
  mouse_away
  sleep 0.2
  xdotool mousemove "$ICON_X" "$ICON_Y" sleep 0.1 mousemove "$((ICON_X + 1))" "$ICON_Y"
}

clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_set() { # FILE: owned by a background xclip, SPAWNED
  spawn xclip xclip -selection clipboard -quiet -i "$1"
}

# shot NAME [GEOMETRY]: the screen (or a part, WxH+X+Y) as $E2E_SCREENS/<desktop>.<scenario>-NAME.png.
shot() {
  local file=$E2E_SCREENS/$E2E_NAME-$1.png
  if [ -n "${2:-}" ]; then
    import -window root -crop "$2" +repage "$file"
  else
    import -window root "$file"
  fi
  E2E_SHOTS+=("$(basename "$file")")
}

# "r g b": the mean colour of the 16 x 16 pixels around a point of the screen.
x11_colour_at() { # X Y
  import -window root -crop "16x16+$(($1 - 8))+$(($2 - 8))" +repage -resize 1x1 -depth 8 txt:- 2>/dev/null |
    awk 'NR==2 {print $2}' | tr -d '()' | tr ',' ' ' | cut -d' ' -f1-3
}
# colour, grey or none, from the pixels of the icon where the host draws it.
x11_icon_pixels_state() {
  local r g b
  read -r r g b < <(x11_colour_at "$ICON_X" "$ICON_Y")
  if [ -n "$g" ] && is_colour_rgb "$r" "$g"; then
    echo colour
  elif [ -n "$g" ] && is_grey_rgb "$r" "$g"; then
    echo grey
  else
    echo none
  fi
}
