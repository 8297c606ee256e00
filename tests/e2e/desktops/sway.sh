# The sway desktop (Wayland, wlroots), sourced by the suite inside tests/e2e/desktops/sandbox.sh: sway
# headless with swaybar as the StatusNotifierItem host (its bar at the top, the tray at its right end),
# mako as the notification server, grim for screenshots, kivo-wl-input for the pointer and the keys.
# SWAY_XWAYLAND=1 runs the program through Xwayland (QT_QPA_PLATFORM=xcb) instead of natively.
#
# sway tiles its windows; the program shows its tray menus there as small windows of their own, titled as
# the menus, which sway floats (window_floats), and both clicks on the icon reach the program (Activate,
# ContextMenu), which shows its own menu.
#
# Needs from the suite's library: WORK, spawn, stop, require, wait_until, note, e2e_start_bus.
# shellcheck source=tests/e2e/lib/status-notifier.sh
. "$E2E_LIB/status-notifier.sh"

E2E_REAL_DESKTOP=1
E2E_SANDBOX=1
# The input client, built with the Wayland client libraries (CTest registers the sway desktops with it).
E2E_NEEDS=kivo-wl-input
DESKTOP_POPUP=notification
SWAY_W=1024
SWAY_H=768
SWAY_BAR_H=24
SCREEN_W=$SWAY_W
SCREEN_H=$SWAY_H

sway_write_config() {
  # No status line: the bar's right end holds the tray alone, so the icon is found in a picture of it.
  cat >"$WORK/sway.conf" <<CONF
output HEADLESS-1 resolution ${SWAY_W}x${SWAY_H} position 0 0 bg #3b6ea5 solid_color
default_border normal
font pango:Noto Sans CJK JP 10
focus_follows_mouse no
seat * hide_cursor 0
xwayland $([ -n "${SWAY_XWAYLAND:-}" ] && echo enable || echo disable)
bar {
  id kivo
  position top
  height $SWAY_BAR_H
  tray_output *
  tray_padding 2
  icon_theme hicolor
  colors {
    background #000000
  }
}
CONF
}

# desktop_start [--no-host]: the bus, sway, swaybar (its tray; --no-host: ended once up), mako, the
# input client.
desktop_start() {
  [ -n "${KIVO_E2E_SANDBOXED:-}" ] || {
    echo "  FAIL: the sway desktop runs inside tests/e2e/desktops/sandbox.sh"
    exit 1
  }
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=sway
  export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1
  unset DISPLAY
  e2e_start_bus
  sway_write_config
  spawn sway sway -c "$WORK/sway.conf"
  require "sway starts" wait_until 10 sway_socket_ready
  export SWAYSOCK WAYLAND_DISPLAY
  require "swaybar shows its bar" wait_until 10 swaybar_running
  if [ -n "${SWAY_XWAYLAND:-}" ]; then
    export QT_QPA_PLATFORM=xcb
    # Xwayland starts with the first X client; its display is the first free number in our /tmp.
    export DISPLAY=:0
  else
    export QT_QPA_PLATFORM=wayland
  fi
  dbus-update-activation-environment WAYLAND_DISPLAY SWAYSOCK XDG_CURRENT_DESKTOP XDG_SESSION_TYPE \
    ${DISPLAY:+DISPLAY} 2>/dev/null || true
  spawn mako mako --default-timeout 0 --font "Noto Sans CJK JP 10"
  require "mako owns org.freedesktop.Notifications" wait_until 10 bus_has_name org.freedesktop.Notifications
  sway_start_input
  [ "${1:-}" != --no-host ] || host_stop
  return 0
}

sway_socket_ready() {
  WAYLAND_DISPLAY=$(cd "$XDG_RUNTIME_DIR" && ls wayland-[0-9] 2>/dev/null | head -1)
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -1)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && SWAYSOCK=$SWAYSOCK swaymsg -t get_version >/dev/null 2>&1
}
# (sway starts the bar detached; the sandbox's process namespace holds only this desktop's.)
swaybar_pid() { pgrep -x swaybar | head -1; }
swaybar_running() { [ -n "$(swaybar_pid)" ]; }

# The tray host: swaybar, which sway starts again after a reload.
host_stop() {
  local pid
  pid=$(swaybar_pid)
  [ -n "$pid" ] && kill -KILL "$pid"
  wait_until 5 eval '! swaybar_running'
}
host_start() {
  swaymsg reload >/dev/null
  wait_until 10 swaybar_running
}

# --- Input: kivo-wl-input on fd 8, its answers in $WORK/input.out

sway_start_input() {
  mkfifo "$WORK/input.in"
  exec 8<>"$WORK/input.in"
  "$E2E_BUILD/tests/e2e/wayland/kivo-wl-input" <"$WORK/input.in" >"$WORK/input.out" 2>"$WORK/input.log" &
  E2E_PIDS+=("$!")
  require "the virtual pointer and keyboard are there" wait_until 5 grep -q '^ready' "$WORK/input.out"
  mouse_away
}
# input COMMAND: one command to the input client, answered before it returns.
input() {
  local n
  n=$(wc -l <"$WORK/input.out")
  echo "$*" >&8
  wait_until 10 eval '[ "$(wc -l <"$WORK/input.out")" -gt '"$n"' ]' || return 1
  [ "$(tail -1 "$WORK/input.out")" = ok ]
}
pointer_move() { input move "$1" "$2"; }
pointer_click() { input click "$@"; } # BUTTON [COUNT]
click_at() { pointer_move "$1" "$2" && pointer_click "$3" "${4:-1}"; } # X Y BUTTON [REPEAT]
keys() { input key "$@"; }
type_text() { input type "$1"; }
# Away from the bar and the windows: grim's pictures show the pointer.
mouse_away() { pointer_move 40 $((SWAY_H - 40)); }

# --- The icon in swaybar's tray

# screenshot FILE [GEOMETRY]: the output, or a part of it ("X,Y WxH" as grim takes it).
screenshot() {
  if [ -n "${2:-}" ]; then grim -g "$2" "$1"; else grim "$1"; fi
}

# shot NAME [WxH+X+Y]: the suite's screenshot, $E2E_SCREENS/<scenario>-NAME.png, through grim.
shot() {
  local file=$E2E_SCREENS/$E2E_NAME-$1.png g=${2:-}
  if [ -n "$g" ]; then
    local size=${g%%+*} xy=${g#*+}
    screenshot "$file" "${xy%%+*},${xy#*+} $size"
  else
    screenshot "$file"
  fi
  E2E_SHOTS+=("$(basename "$file")")
}

# The icon: the program's item registered with swaybar (its watcher) and drawn at the right end of the
# bar, which holds nothing but the tray. Sets ICON_X, ICON_Y.
icon_shown() { swaybar_running && sni_registered && sway_locate_icon; }
sway_locate_icon() {
  local half=$((SWAY_W / 2))
  screenshot "$WORK/bar.png" "$half,0 ${half}x$SWAY_BAR_H" 2>/dev/null || return 1
  # The bounding box of what is not the bar's black: "W H X Y".
  local w h x y
  read -r w h x y < <(convert "$WORK/bar.png" -fuzz 8% -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+')
  [ "${w:-0}" -ge 8 ] && [ "${w:-0}" -le 40 ] && [ "${h:-0}" -ge 8 ] || return 1
  ICON_X=$((half + x + w / 2)) ICON_Y=$((y + h / 2))
}
# colour, grey or none: the item's icon over the bus, as long as the bar shows the same; attention while
# the item asks for it.
icon_state() {
  local state
  state=$(sni_icon_state)
  case $state in
  colour | grey)
    icon_shown && [ "$(sway_icon_pixels_state)" = "$state" ] || state=none
    ;;
  esac
  echo "$state"
}
# The mean colour of the 12 x 12 pixels at the icon's centre, from the bar.
sway_icon_pixels_state() {
  local r g b
  read -r r g b < <(screenshot - "$((ICON_X - 6)),$((ICON_Y - 6)) 12x12" 2>/dev/null |
    convert - -resize 1x1 -depth 8 txt:- 2>/dev/null | awk 'NR==2 {print $2}' | tr -d '()' | tr ',' ' ' | cut -d' ' -f1-3)
  if [ -n "$g" ] && is_colour_rgb "$r" "$g"; then
    echo colour
  elif [ -n "$g" ] && is_grey_rgb "$r" "$g"; then
    echo grey
  else
    echo none
  fi
}
icon_click() { # BUTTON [REPEAT]
  click_at "$ICON_X" "$ICON_Y" "$1" "${2:-1}" && mouse_away
}
icon_hover() { pointer_move "$ICON_X" "$ICON_Y"; }
icon_tooltip() { sni_tooltip; }
# swaybar draws no tooltips, and no menus of its own: both clicks go to the program.
tooltip_shown() { return 1; }
host_menu_shown() { return 1; }

# The notification mako shows (its list holds those on screen, not the expired or dismissed ones) with
# that body.
popup_on_screen() { # BODY
  makoctl list 2>/dev/null |
    jq -e --arg body "$1" '[.data[][] | .body.data] | index($body) != null' >/dev/null
}

# --- Windows, from sway's tree

# The program's windows, one line each: "ID X Y W H FLOATING NAME", the rectangle of the window's
# content (without sway's title bar and border), FLOATING 1 or 0.
sway_windows() {
  swaymsg -t get_tree 2>/dev/null | jq -r --argjson pid "${APP_PID:-0}" '
    recurse(.nodes[]?, .floating_nodes[]?) | select(.pid? == $pid and (.type == "con" or .type == "floating_con"))
    | "\(.id) \(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height) \(if .type == "floating_con" then 1 else 0 end) \(.name)"'
}
# "ID WIDTH HEIGHT NAME" for each window of the program.
app_windows() {
  local id x y w h f name
  while read -r id x y w h f name; do
    echo "$id $w $h $name"
  done < <(sway_windows)
}
sway_window() { # ID: its line of sway_windows
  local line
  while read -r line; do
    [ "${line%% *}" = "$1" ] && echo "$line" && return 0
  done < <(sway_windows)
  return 1
}
# The program's tray menus are windows titled as the menus (tray/TrayMenuPopup.cpp); the rest are its
# windows and dialogs. (Its tooltips are popups, outside sway's tree.)
window_kind() {
  local id x y w h f name
  read -r id x y w h f name < <(sway_window "$1")
  case $name in
  トレイ左クリック | トレイ右クリック) echo menu ;;
  *) echo window ;;
  esac
}
window_geometry() { # ID: sets WX WY WW WH
  local id f name
  read -r id WX WY WW WH f name < <(sway_window "$1")
}
# True when sway floats the window instead of tiling it.
window_floats() {
  local id x y w h f name
  read -r id x y w h f name < <(sway_window "$1")
  [ "$f" = 1 ]
}
focus() { swaymsg "[con_id=$1] focus" >/dev/null; sleep 0.2; }

# The clipboard of the Wayland session (or, under Xwayland, the same: sway bridges the two).
clipboard() { timeout 5 wl-paste -n 2>/dev/null; }
clipboard_set() { # FILE: owned by a background wl-copy, SPAWNED
  spawn wl-copy sh -c 'exec wl-copy --foreground <"$1"' sh "$1"
}
