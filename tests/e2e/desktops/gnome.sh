# gnome: GNOME Shell 43 headless on Wayland, sourced by the suite inside tests/e2e/desktops/sandbox.sh:
# the top bar with the AppIndicator extension as the StatusNotifierItem host (its watcher and its drawing
# of the item's exported menu), the Shell's own notification banners, gnome-screenshot for pictures, and
# tests/e2e/gnome/input.js (Mutter's remote desktop session) for the pointer and the keys. The program
# runs natively on Wayland. What the Shell shows (windows, the icon's place, the open menu, the banner) is
# read from the suite's own small extension (tests/e2e/gnome/kivo-e2e@kivodialer), over the session bus.
#
# On GNOME a left click on the icon shows the exported menu (all commands), as does a right click; the
# Shell draws it, and its items are chosen by a click on them.
#
# Needs from the suite's library: WORK, spawn, stop, require, wait_until, note, e2e_start_bus.
# shellcheck source=tests/e2e/lib/status-notifier.sh
. "$E2E_LIB/status-notifier.sh"

E2E_REAL_DESKTOP=1
E2E_SANDBOX=1
DESKTOP_POPUP=notification
DESKTOP_LEFT_MENU=host
DESKTOP_RIGHT_MENU=host
SCREEN_W=1024
SCREEN_H=768
GNOME_APPINDICATOR=ubuntu-appindicators@ubuntu.com
GNOME_OBSERVER=kivo-e2e@kivodialer

desktop_start() { # [--no-host]
  [ -n "${KIVO_E2E_SANDBOXED:-}" ] || {
    echo "  FAIL: the gnome desktop runs inside tests/e2e/desktops/sandbox.sh"
    exit 1
  }
  export XDG_SESSION_TYPE=wayland XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_DESKTOP=gnome QT_QPA_PLATFORM=wayland
  export WAYLAND_DISPLAY=wayland-kivo GDK_BACKEND=wayland
  unset DISPLAY
  gnome_start_system_bus
  e2e_start_bus --activation
  gnome_prepare_home "${1:-}"
  spawn pipewire pipewire
  local t0
  t0=$(now_ms)
  spawn gnome-shell gnome-shell --wayland --headless --no-x11 --virtual-monitor "${SCREEN_W}x$SCREEN_H" \
    --wayland-display="$WAYLAND_DISPLAY"
  require "GNOME Shell starts, with the suite's observer" wait_until 20 eval 'gnome_observe Windows >/dev/null'
  note "GNOME Shell up after $(secs_since "$t0") s"
  # The Shell starts its notification daemon (bus-activated); another daemon's activation file for the
  # name must not win, so nothing here calls the name before the Shell's daemon owns it.
  require "the Shell's daemon owns org.freedesktop.Notifications" wait_until 10 gnome_notifications_are_the_shells
  [ "${1:-}" = --no-host ] ||
    require "the AppIndicator extension owns org.kde.StatusNotifierWatcher" \
      wait_until 10 bus_has_name org.kde.StatusNotifierWatcher
  gnome_start_input
}

# A system bus of our own: the Shell asks the system bus for several services and waits for none of
# them, but it needs a bus to ask (the sandbox's empty /run/systemd keeps it from logind).
gnome_start_system_bus() {
  local out
  out=$(dbus-daemon --config-file=/usr/share/dbus-1/session.conf --fork --print-pid=1 \
    --address="unix:path=$XDG_RUNTIME_DIR/system_bus_socket")
  GNOME_SYSTEM_BUS_PID=$out
  at_exit 'kill "$GNOME_SYSTEM_BUS_PID" 2>/dev/null'
  export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/system_bus_socket
}

# The settings of a first session, without what a real one shows first: the AppIndicator extension (unless
# --no-host) and the observer enabled, no welcome tour, no warning that there is no lock screen.
gnome_prepare_home() { # [--no-host]
  local ext=$XDG_DATA_HOME/gnome-shell/extensions
  mkdir -p "$ext"
  cp -r "$E2E_ROOT/tests/e2e/gnome/$GNOME_OBSERVER" "$ext/"
  touch "$XDG_DATA_HOME/gnome-shell/lock-warning-shown"
  local enabled="'$GNOME_OBSERVER'"
  [ "${1:-}" = --no-host ] || enabled="'$GNOME_APPINDICATOR', $enabled"
  gsettings set org.gnome.shell enabled-extensions "[$enabled]"
  gsettings set org.gnome.shell welcome-dialog-last-shown-version 999
  gsettings set org.gnome.desktop.background picture-options none
  # The notification settings of the program as the Shell stores them at its first notification. (The
  # Shell writes them while that notification's banner slides in, and their change, coming back from
  # dconf, ends the banner at once if the pointer moved within the last second: a session that has
  # shown the program's notifications before has them already.)
  gsettings set org.gnome.desktop.notifications application-children "['kivodialer']"
  gsettings set org.gnome.desktop.notifications.application:/org/gnome/desktop/notifications/application/kivodialer/ \
    application-id kivodialer.desktop
  gsettings set org.gnome.desktop.background primary-color '#3b6ea5'
  # Links open through gio, which takes the handler of the scheme, not $BROWSER: the suite's browser.
  mkdir -p "$XDG_DATA_HOME/applications"
  printf '[Desktop Entry]\nType=Application\nName=Browser\nExec=%s %%u\nMimeType=x-scheme-handler/http;x-scheme-handler/https;\n' \
    "$BROWSER" >"$XDG_DATA_HOME/applications/kivo-e2e-browser.desktop"
  printf '[Default Applications]\nx-scheme-handler/http=kivo-e2e-browser.desktop\nx-scheme-handler/https=kivo-e2e-browser.desktop\n' \
    >"$XDG_CONFIG_HOME/mimeapps.list"
}

gnome_notifications_are_the_shells() {
  local pid
  pid=$(gnome_pid_of org.freedesktop.Notifications)
  [ -n "$pid" ] && grep -qa org.gnome.Shell.Notifications "/proc/$pid/cmdline"
}

# The tray host: the AppIndicator extension, disabled and enabled as a user does it.
host_stop() {
  gnome-extensions disable "$GNOME_APPINDICATOR"
  wait_until 5 eval '! bus_has_name org.kde.StatusNotifierWatcher'
}
host_start() {
  gnome-extensions enable "$GNOME_APPINDICATOR"
  wait_until 10 bus_has_name org.kde.StatusNotifierWatcher
}

# gnome_observe METHOD [ARG...]: the observer's reply (JSON, unquoted by dbus-send's literal form).
gnome_observe() {
  local out
  out=$(dbus-send --session --print-reply=literal --dest=org.kivodialer.E2EShell /org/kivodialer/E2EShell \
    "org.kivodialer.E2EShell.$1" "${@:2}" 2>/dev/null) || return 1
  printf '%s\n' "${out#"${out%%[![:space:]]*}"}"
}

# --- Input: tests/e2e/gnome/input.js on fd 8, its answers in $WORK/input.out

gnome_start_input() {
  mkfifo "$WORK/input.in"
  exec 8<>"$WORK/input.in"
  gjs "$E2E_ROOT/tests/e2e/gnome/input.js" <"$WORK/input.in" >"$WORK/input.out" 2>"$WORK/input.log" &
  E2E_PIDS+=("$!")
  require "the remote desktop session gives a pointer and a keyboard" wait_until 10 grep -q '^ready' "$WORK/input.out"
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
keys() { input key "$@"; }
type_text() { input type "$1"; }
click_at() { # X Y BUTTON [REPEAT]
  input move "$1" "$2" && input click "$3" "${4:-1}"
  local rc=$?
  GNOME_LAST_CLICK=$(now_ms)
  return $rc
}
mouse_away() { input move 300 400; }
# A click on the icon comes 600 ms after the last click anywhere: the Shell takes a click there within
# its double-click time (400 ms) of the one before, even of one on a menu item, for the second of a
# double click, which the extension reports as Activate instead of showing the menu.
icon_click() { # BUTTON [REPEAT]
  local wait=$((${GNOME_LAST_CLICK:-0} + 600 - $(now_ms)))
  [ "$wait" -le 0 ] || sleep "$(printf '0.%03d' "$wait")"
  click_at "$ICON_X" "$ICON_Y" "$1" "${2:-1}"
}
icon_hover() {
  mouse_away
  sleep 0.2
  input move "$ICON_X" "$ICON_Y" && input move "$((ICON_X + 1))" "$ICON_Y"
}
clipboard() { timeout 5 wl-paste -n 2>/dev/null; }

# --- Pictures

# shot NAME [WxH+X+Y]: the screen (or a part) as $E2E_SCREENS/<desktop>.<scenario>-NAME.png.
shot() {
  local file=$E2E_SCREENS/$E2E_NAME-$1.png
  gnome_screenshot "$file" "${2:-}" || return 1
  E2E_SHOTS+=("$(basename "$file")")
}
gnome_screenshot() { # FILE [WxH+X+Y]
  if [ -n "${2:-}" ]; then
    gnome-screenshot -f "$WORK/screen.png" 2>>"$WORK/screenshot.log" &&
      convert "$WORK/screen.png" -crop "$2" +repage "$1"
  else
    gnome-screenshot -f "$1" 2>>"$WORK/screenshot.log"
  fi
}

# --- The icon in the top bar

# The item's bus name belongs to the program: the icon the AppIndicator extension shows for it, and
# where (ICON_X, ICON_Y: the centre of its button in the top bar).
icon_shown() {
  local key bus visible x y w h
  while read -r key bus visible x y w h; do
    [ "$visible" = true ] && [ "$(gnome_pid_of "$bus")" = "${APP_PID:-}" ] || continue
    ICON_X=$((x + w / 2)) ICON_Y=$((y + h / 2))
    return 0
  done < <(gnome_observe Indicators | jq -r '.[] | "\(.key) \(.bus) \(.visible) \(.x) \(.y) \(.w) \(.h)"' 2>/dev/null)
  return 1
}
gnome_pid_of() { # BUS-NAME: the process that owns it
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetConnectionUnixProcessID "$1" 2>/dev/null | sed -n 's/^(uint32 \([0-9]*\),)$/\1/p'
}
# colour, grey or none: the item's icon over the bus, as long as the screen shows the same; attention
# while the item asks for it.
icon_state() {
  local state
  state=$(sni_icon_state)
  case $state in
  colour | grey)
    icon_shown && [ "$(gnome_icon_pixels_state)" = "$state" ] || state=none
    ;;
  esac
  echo "$state"
}
# The mean colour of the 8 x 8 pixels at the icon's centre, from the screen.
gnome_icon_pixels_state() {
  local r g b
  gnome_screenshot "$WORK/icon.png" "8x8+$((ICON_X - 4))+$((ICON_Y - 4))" || return 1
  read -r r g b < <(convert "$WORK/icon.png" -resize 1x1 -depth 8 txt:- 2>/dev/null |
    awk 'NR==2 {print $2}' | tr -d '()' | tr ',' ' ' | cut -d' ' -f1-3)
  if [ -n "$g" ] && is_colour_rgb "$r" "$g"; then
    echo colour
  elif [ -n "$g" ] && is_grey_rgb "$r" "$g"; then
    echo grey
  else
    echo none
  fi
}
icon_tooltip() { sni_tooltip; }
# The AppIndicator extension draws no tooltips.
tooltip_shown() { return 1; }

# --- The Shell's drawing of the exported menu

host_menu_shown() { [ "$(gnome_observe Menu | jq -r '.settled and (.items | length > 0)' 2>/dev/null)" = true ]; }
# A click on the item whose mnemonic is KEY: the Shell draws "ダイヤル(&D)" as "ダイヤル(D)" and takes no
# mnemonics, so the item is found by its label.
host_menu_choose() { # KEY
  local menu x y
  menu=$(gnome_observe Menu)
  read -r x y < <(jq -r --arg m "($(tr '[:lower:]' '[:upper:]' <<<"$1"))" \
    '.items[] | select(.label | endswith($m)) | "\(.x + .w / 2 | floor) \(.y + .h / 2 | floor)"' <<<"$menu" 2>/dev/null | head -1)
  echo "choose $1 at ${x:-?},${y:-?} in $menu" >>"$WORK/menu.log"
  [ -n "$y" ] && click_at "$x" "$y" 1 || return 1
  # The menu closes with an animation, during which a click on the icon would not open it again.
  wait_until 2 eval '[ "$(gnome_observe Menu)" = null ]'
}
# The menu's rectangle as WxH+X+Y, for its picture.
host_menu_rect() { gnome_observe Menu | jq -r '"\(.w)x\(.h)+\(.x)+\(.y)"' 2>/dev/null; }

# --- The program's windows, as the Shell has them

# "ID WIDTH HEIGHT NAME" for each window of the program.
app_windows() {
  gnome_observe Windows | jq -r --argjson pid "${APP_PID:-0}" \
    '.[] | select(.pid == $pid) | "\(.id) \(.w) \(.h) \(.title)"' 2>/dev/null
}
window_kind() { gnome_window "$1" '.kind'; }
window_geometry() { # ID: sets WX WY WW WH
  read -r WX WY WW WH < <(gnome_window "$1" '"\(.x) \(.y) \(.w) \(.h)"')
}
gnome_window() { # ID JQ-EXPRESSION
  gnome_observe Windows | jq -r --argjson id "$1" ".[] | select(.id == \$id) | $2" 2>/dev/null
}
focus() {
  gnome_observe Activate "uint64:$1" >/dev/null
  sleep 0.3
}

# The banner of a notification on screen with that body (the Shell draws the title beside it).
popup_on_screen() { # BODY
  [ "$(gnome_observe Banner | jq -r '.body' 2>/dev/null)" = "$1" ]
}
