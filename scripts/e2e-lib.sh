# Library of the end-to-end suite (sourced by scripts/e2e): a private desktop for one scenario, the
# program and the simulator on it, and the checks. Everything a scenario starts is recorded and ended by
# e2e_end, whatever way the scenario ends; a watchdog ends a scenario that hangs.
#
# A scenario (tests/e2e/scenarios/NAME.sh) is a bash fragment that calls these functions. The desktop is
# Xvfb (its own display number), a private D-Bus session bus without service activation, dunst with a rule
# that logs every notification, and, when asked for, trayer as the XEmbed tray. HOME, the XDG directories
# and XDG_RUNTIME_DIR point into a temporary directory, so no real profile is read or written. The
# program runs as installed: `cmake --install` of the build into that directory, found through PATH and
# XDG_DATA_DIRS as a package's would be.

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
E2E_BUILD=${KIVO_BUILD_DIR:-$E2E_ROOT/build}
E2E_SCREENS=${KIVO_E2E_SCREENS:-$E2E_BUILD/e2e-screens}
# The longest a scenario may take; CTest's own time-out is longer, so the clean-up always runs.
E2E_LIMIT_S=${KIVO_E2E_LIMIT_S:-150}

E2E_PIDS=()
E2E_CHECKS=0
E2E_FAILS=0
E2E_FIRST_FAIL=""
E2E_SHOTS=()

now_ms() { date +%s%3N; }
# Seconds since a time in ms, with one decimal: "2.1".
secs_since() {
  local d=$(($(now_ms) - $1))
  printf '%d.%d' $((d / 1000)) $((d % 1000 / 100))
}

# --- Checks -------------------------------------------------------------------------------------------

# check DESCRIPTION COMMAND...: counts and reports one check.
check() {
  local what=$1
  shift
  E2E_CHECKS=$((E2E_CHECKS + 1))
  if "$@"; then
    echo "  ok: $what"
    return 0
  fi
  echo "  FAIL: $what"
  E2E_FAILS=$((E2E_FAILS + 1))
  [ -n "$E2E_FIRST_FAIL" ] || E2E_FIRST_FAIL=$what
  return 1
}

# require DESCRIPTION COMMAND...: a check the rest of the scenario depends on; ends it on failure.
require() {
  check "$@" || exit 1
}

# to_ms SECONDS: "3" or "0.5" in milliseconds.
to_ms() {
  case $1 in
  *.*) local f=${1#*.}00; echo $((${1%.*} * 1000 + 10#${f:0:3})) ;;
  *) echo $(($1 * 1000)) ;;
  esac
}

# wait_until SECONDS COMMAND...: polls every 0.1 s; false when the time is up.
wait_until() {
  local deadline=$(($(now_ms) + $(to_ms "$1")))
  shift
  while :; do
    "$@" && return 0
    [ "$(now_ms)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# for_seconds SECONDS COMMAND...: true if COMMAND holds all along (checked every 0.2 s).
for_seconds() {
  local deadline=$(($(now_ms) + $(to_ms "$1")))
  shift
  while [ "$(now_ms)" -lt "$deadline" ]; do
    "$@" || return 1
    sleep 0.2
  done
  "$@"
}

# within LOW HIGH VALUE: VALUE (seconds with one decimal) lies in [LOW, HIGH].
within() {
  local v=${3/./} low=$(($1 * 10)) high=$(($2 * 10))
  [ "$v" -ge "$low" ] && [ "$v" -le "$high" ]
}

note() { echo "     $*"; }

# --- Begin and end ------------------------------------------------------------------------------------

e2e_begin() { # NAME
  E2E_NAME=$1
  E2E_T0=$(now_ms)
  WORK=$(mktemp -d "${TMPDIR:-/tmp}/kivo-e2e-$E2E_NAME.XXXXXX")
  mkdir -p "$E2E_SCREENS"
  rm -f "$E2E_SCREENS/$E2E_NAME".png "$E2E_SCREENS/$E2E_NAME"-*.png
  trap e2e_end EXIT
  trap 'echo "  FAIL: interrupted"; E2E_FIRST_FAIL=${E2E_FIRST_FAIL:-interrupted}; exit 1' INT TERM HUP
  # The watchdog: its sleep goes with it, and it holds none of our output open.
  (
    trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
    sleep "$E2E_LIMIT_S" &
    sleeper=$!
    wait "$sleeper" && kill -TERM $$
  ) >/dev/null 2>&1 &
  E2E_WATCHDOG=$!
  e2e_private_home
  echo "== e2e $E2E_NAME"
  e2e_install
}

e2e_end() {
  local rc=$?
  trap - EXIT INT TERM HUP
  kill "$E2E_WATCHDOG" 2>/dev/null
  wait "$E2E_WATCHDOG" 2>/dev/null
  e2e_stop_all
  local result=PASS detail
  if [ "$rc" -ne 0 ] || [ "$E2E_FAILS" -gt 0 ]; then
    result=FAIL
    [ -n "$E2E_FIRST_FAIL" ] || E2E_FIRST_FAIL="ended with status $rc"
    detail="$E2E_FAILS of $E2E_CHECKS checks failed, first: $E2E_FIRST_FAIL"
    # The logs of a failed run, to be read.
    local logs=$E2E_BUILD/e2e-logs/$E2E_NAME
    rm -rf "$logs"
    mkdir -p "$logs"
    cp "$WORK"/*.log "$logs"/ 2>/dev/null
    find "$WORK/home/.config" -name '*.conf' -exec cp {} "$logs"/ \; 2>/dev/null
    detail="$detail (logs: $logs)"
  else
    detail="$E2E_CHECKS checks"
  fi
  detail="$detail; $(secs_since "$E2E_T0") s; screenshots: ${E2E_SHOTS[*]:-none}"
  [ -n "${KIVO_E2E_KEEP:-}" ] && note "work directory kept: $WORK" || rm -rf "$WORK"
  echo "e2e $E2E_NAME: $result $detail"
  [ "$result" = PASS ] && exit 0
  exit 1
}

# spawn NAME COMMAND...: starts a background process with its output in $WORK/NAME.log; sets SPAWNED.
spawn() {
  local name=$1
  shift
  "$@" >"$WORK/$name.log" 2>&1 &
  SPAWNED=$!
  E2E_PIDS+=("$SPAWNED")
}

# stop PID [SIGNAL]: ends one of our processes and waits for it; sets STOPPED_RC.
stop() {
  local pid=$1 sig=${2:-TERM}
  kill "-$sig" "$pid" 2>/dev/null
  if ! wait_until 5 gone "$pid"; then
    kill -KILL "$pid" 2>/dev/null
  fi
  wait "$pid" 2>/dev/null
  STOPPED_RC=$?
  forget "$pid"
}
gone() { ! kill -0 "$1" 2>/dev/null; }
forget() {
  local keep=() p
  for p in "${E2E_PIDS[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  E2E_PIDS=("${keep[@]}")
}

# Ends every process still recorded, newest first: SIGTERM, then SIGKILL after 3 s.
e2e_stop_all() {
  local i pid
  for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do kill -TERM "${E2E_PIDS[i]}" 2>/dev/null; done
  local deadline=$(($(now_ms) + 3000))
  for pid in "${E2E_PIDS[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ "$(now_ms)" -lt "$deadline" ]; do sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  E2E_PIDS=()
  [ -n "${E2E_BUS_PID:-}" ] && kill "$E2E_BUS_PID" 2>/dev/null
  [ -n "${E2E_XVFB_PID:-}" ] && kill "$E2E_XVFB_PID" 2>/dev/null
  [ -n "${E2E_XVFB_PID:-}" ] && wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_BUS_PID="" E2E_XVFB_PID=""
}

# --- The private desktop ------------------------------------------------------------------------------

e2e_private_home() {
  export HOME=$WORK/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  export XDG_STATE_HOME=$HOME/.local/state XDG_RUNTIME_DIR=$WORK/run
  # No system-wide configuration (dunstrc, mimeapps.list) takes part.
  export XDG_CONFIG_DIRS=$WORK/xdg XDG_DATA_DIRS=/usr/local/share:/usr/share
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" \
    "$XDG_CONFIG_DIRS"
  chmod 700 "$HOME" "$XDG_RUNTIME_DIR"
  # A desktop that xdg-open does not know: it asks xdg-mime for the handler of a link.
  export XDG_CURRENT_DESKTOP=X-Generic XDG_SESSION_TYPE=x11
  unset DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID XDG_SESSION_DESKTOP WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME="" QT_ACCESSIBILITY=0 LANG=C.UTF-8 LC_ALL=C.UTF-8
  unset SESSION_MANAGER http_proxy https_proxy HTTP_PROXY
  # The browser: notes the address and loads it from the simulator.
  export BROWSER=$WORK/browser
  cat >"$BROWSER" <<EOF
#!/bin/sh
echo "\$1" >>"$WORK/browser.log"
curl -s -L -o /dev/null -w '%{http_code} %{url_effective}\n' "\$1" >>"$WORK/browser.log"
EOF
  chmod +x "$BROWSER"
}

# The build installed under $WORK/root, as `cmake --install` lays it out: the program, the simulator,
# the desktop entries, the icons.
e2e_install() {
  local prefix
  prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$E2E_BUILD/CMakeCache.txt")
  require "the build installs" eval 'DESTDIR="$WORK/root" cmake --install "$E2E_BUILD" >"$WORK/install.log" 2>&1'
  E2E_PREFIX=$WORK/root$prefix
  export PATH=$E2E_PREFIX/bin:$PATH
  export XDG_DATA_DIRS=$E2E_PREFIX/share:$XDG_DATA_DIRS
  require "the installed program is the one found" test "$(command -v KIVODialer)" = "$E2E_PREFIX/bin/KIVODialer"
}

# e2e_desktop [xembed|none]: display, bus, notification daemon and (xembed, the default) trayer.
e2e_desktop() {
  e2e_start_display
  e2e_start_bus
  e2e_start_dunst
  [ "${1:-xembed}" = xembed ] && e2e_start_trayer
  return 0
}

e2e_start_display() {
  # Xvfb picks a free display number itself and writes it to the given descriptor.
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  require "Xvfb starts" wait_until 10 grep -q '^[0-9]' "$WORK/display"
  export DISPLAY=:$(head -1 "$WORK/display")
  # A plain desktop colour behind the windows, for the screenshots.
  convert -size 8x8 xc:'#3b6ea5' "$WORK/desktop.png" && display -window root "$WORK/desktop.png" 2>/dev/null
  note "display $DISPLAY"
}

e2e_start_bus() {
  # A session bus of our own, without service activation: nothing starts behind our back.
  cat >"$WORK/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$WORK</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
  local out
  out=$(dbus-daemon --config-file="$WORK/bus.conf" --fork --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS=${out%%$'\n'*}
  E2E_BUS_PID=${out##*$'\n'}
  require "the session bus starts" test -n "$DBUS_SESSION_BUS_ADDRESS"
}

e2e_start_dunst() {
  # Every notification is also written to notifications.log: "summary<TAB>body<TAB>timeout<TAB>app".
  mkdir -p "$XDG_CONFIG_HOME/dunst"
  cat >"$WORK/notified" <<EOF
#!/bin/sh
printf '%s\t%s\t%s\t%s\n' "\$DUNST_SUMMARY" "\$DUNST_BODY" "\$DUNST_TIMEOUT" "\$DUNST_APP_NAME" >>"$WORK/notifications.log"
EOF
  chmod +x "$WORK/notified"
  cat >"$XDG_CONFIG_HOME/dunst/dunstrc" <<EOF
[global]
    font = Noto Sans CJK JP 10
    origin = top-right
    offset = 10x40
    width = 320
    frame_width = 1
    frame_color = "#8c8c8c"
[urgency_low]
    background = "#ffffee"
    foreground = "#202020"
[urgency_normal]
    background = "#ffffee"
    foreground = "#202020"
[log]
    summary = "*"
    script = $WORK/notified
EOF
  spawn dunst dunst -config "$XDG_CONFIG_HOME/dunst/dunstrc"
  require "dunst owns org.freedesktop.Notifications" wait_until 10 bus_has_name org.freedesktop.Notifications
}

bus_has_name() {
  local reply
  reply=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null)
  [[ $reply == *"boolean true"* ]]
}

e2e_start_trayer() {
  spawn trayer trayer --edge top --align right --widthtype request --height 24 --transparent true \
    --alpha 0 --tint 0x404040
  TRAYER_PID=$SPAWNED
  require "trayer shows its panel" wait_until 10 trayer_has_panel
}
e2e_stop_trayer() {
  # Killed, as a crashed tray host would be; bash's "Killed" notice is not news here.
  stop "$TRAYER_PID" KILL 2>/dev/null
  TRAYER_PID=""
}

# The trayer panel's geometry as "W H X Y", or false while it has none.
trayer_panel_geometry() {
  local g
  g=$(xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $(NF-1); exit}')
  [ -n "$g" ] || return 1
  local w=${g%%x*} rest=${g#*x}
  local h=${rest%%+*} xy=${rest#*+}
  echo "$w $h ${xy%%+*} ${xy#*+}"
}

trayer_has_panel() { trayer_panel_geometry >/dev/null; }

# The icon in the trayer panel: the panel is as wide as its one icon. Sets ICON_X, ICON_Y (its centre).
locate_icon() {
  local w h x y
  read -r w h x y < <(trayer_panel_geometry) || return 1
  [ "${w:-0}" -gt 10 ] || return 1
  ICON_X=$((x + w / 2)) ICON_Y=$((y + h / 2))
}

# "r g b": the mean colour of the 16 x 16 pixels at the icon's centre.
icon_colour() {
  import -window root -crop "16x16+$((ICON_X - 8))+$((ICON_Y - 8))" +repage -resize 1x1 -depth 8 txt:- 2>/dev/null |
    awk 'NR==2 {print $2}' | tr -d '()' | tr ',' ' ' | cut -d' ' -f1-3
}
# The colour icon is green; the grey one has equal channels.
is_colour_rgb() { [ "$2" -gt $(($1 + 50)) ]; }
is_grey_rgb() { local d=$(($2 - $1)); [ "${d#-}" -lt 20 ] && [ "$1" -gt 80 ]; }
icon_is_colour() { local r g b; read -r r g b < <(icon_colour); [ -n "$g" ] && is_colour_rgb "$r" "$g"; }
icon_is_grey() { local r g b; read -r r g b < <(icon_colour); [ -n "$g" ] && is_grey_rgb "$r" "$g"; }

# --- The exchange simulator ---------------------------------------------------------------------------

# start_sim [OPTIONS...]: sets SIM_PID, PBX (127.0.0.1:PORT) and SIM_PORT. The log of every request
# goes to $WORK/pbx.log, across restarts.
start_sim() {
  : >"$WORK/sim.out"
  kivo-pbx-sim --log "$WORK/pbx.log" "$@" >"$WORK/sim.out" 2>>"$WORK/sim.log" &
  SIM_PID=$!
  E2E_PIDS+=("$SIM_PID")
  require "the simulator listens" wait_until 10 grep -q '^kivo-pbx-sim listening on ' "$WORK/sim.out"
  PBX=$(awk '{print $NF; exit}' "$WORK/sim.out")
  SIM_PORT=${PBX##*:}
}
stop_sim() {
  stop "$SIM_PID"
  SIM_PID=""
}
sim() { curl -s --max-time 5 "http://$PBX/_sim/$1"; }
# How many requests of a kind (regist, call) the simulator received, across restarts.
pbx_count() { grep -c $'\t/manager/kivodialer/'"$1"$'\t' "$WORK/pbx.log" 2>/dev/null || true; }
# The query of the last request of a kind.
pbx_last_query() { awk -F'\t' -v p="/manager/kivodialer/$1" '$4 == p {q = $5} END {print q}' "$WORK/pbx.log"; }
pbx_count_at_least() { [ "$(pbx_count "$1")" -ge "$2" ]; }
# An incoming call: notify NUMBER [NAME [SUPP [TITLE]]] (percent-encoded as needed), for account 2001.
notify() {
  sim "notify?account=${E2E_USER:-2001}&number=$1&name=${2:-}&supp=${3:-}&title=${4:-}" >/dev/null
}

# A UDP port that is free now, for the notification channel.
free_udp_port() {
  perl -MSocket -e 'my $s; socket($s, PF_INET, SOCK_DGRAM, 0) or die; bind($s, pack_sockaddr_in(0, INADDR_ANY)) or die;
    print((unpack_sockaddr_in(getsockname($s)))[0], "\n")'
}

# --- The program --------------------------------------------------------------------------------------

PROFILE() { echo "$XDG_CONFIG_HOME/Selvane-Works/KIVODialer.conf"; }

# write_profile PBX [DBLCLK]: account 2001/2001 on the simulator, a free notification port.
write_profile() {
  mkdir -p "$XDG_CONFIG_HOME/Selvane-Works"
  UDP_PORT=$(free_udp_port)
  printf '[Settings]\nUser=2001\nPass=2001\nPBX=%s\nPortNum=%s\nDblClk=%s\n' "$1" "$UDP_PORT" "${2:-0}" \
    >"$(PROFILE)"
  chmod 600 "$(PROFILE)"
}

# profile_get SECTION KEY: one entry of the profile (QSettings INI).
profile_get() {
  awk -v s="[$1]" -v k="$2" '
    /^\[/ {in_s = ($0 == s); next}
    in_s {i = index($0, "="); if (i && substr($0, 1, i - 1) == k) {print substr($0, i + 1); exit}}' \
    "$(PROFILE)" 2>/dev/null
}
profile_is() { [ "$(profile_get "$1" "$2")" = "$3" ]; }

start_app() { # [ARGS...]
  spawn app KIVODialer "$@"
  APP_PID=$SPAWNED
  APP_START=$(now_ms)
}
# Waits up to SECONDS for the program to end; sets APP_RC (or fails).
wait_app_exit() {
  wait_until "$1" gone "$APP_PID" || return 1
  wait "$APP_PID" 2>/dev/null
  APP_RC=$?
  forget "$APP_PID"
}

# The program's visible windows, one line each: "ID WIDTH HEIGHT NAME".
app_windows() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
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
  *"window id #"*) echo menu ;;
  *) echo window ;;
  esac
}

# mark_windows: remembers the windows on screen now, so that find_new_win sees only those that come after.
mark_windows() { MARKED=" $(app_windows | awk '{printf "%s ", $1}')"; }
MARKED=" "

# find_win KIND [NAME]: a visible window of the program of that kind (and exact name); sets WIN.
# find_new_win KIND [NAME]: the same, among the windows that were not there at the last mark_windows.
find_win() { find_among all "$@"; }
find_new_win() { find_among new "$@"; }
find_among() {
  local which=$1 kind=$2 name=${3-} id w h rest
  WIN=""
  while read -r id w h rest; do
    [ -n "$id" ] || continue
    [ "$which" = new ] && [[ $MARKED == *" $id "* ]] && continue
    [ -n "$name" ] && [ "$rest" != "$name" ] && continue
    [ "$(window_kind "$id")" = "$kind" ] || continue
    WIN=$id
    return 0
  done < <(app_windows)
  return 1
}
no_win() { ! find_win "$@"; }
# (Output is captured before grep -q reads it: with pipefail, a writer cut short by grep's early exit
# would turn a match into a failure.)
window_gone() {
  local wins
  wins=$(app_windows)
  ! grep -q "^$1 " <<<"$wins"
}
count_of() { # KIND [NAME]
  local n=0 id w h rest
  while read -r id w h rest; do
    [ -n "$id" ] || continue
    [ -n "${2-}" ] && [ "$rest" != "$2" ] && continue
    [ "$(window_kind "$id")" = "$1" ] && n=$((n + 1))
  done < <(app_windows)
  echo "$n"
}

# Window geometry: sets WX, WY, WW, WH.
window_geometry() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X:/ {print "WX=" $4} /Absolute upper-left Y:/ {print "WY=" $4}
    /Width:/ {print "WW=" $2} /Height:/ {print "WH=" $2}')"
}

# Keyboard input goes to the window that has the X focus; there is no window manager to give it. Qt
# takes a moment to make a window active after it got the focus; keys sent before that are lost.
focus() {
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  sleep 0.3
}
keys() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 30 -- "$1"; }

# row_copied KEY "KIND|NUMBER|NAME": KEY (none: "") moves to a row of the call history window, Ctrl+C
# copies it; the clipboard then holds that row (the time column left out). Moving with Ctrl onto the row
# that is selected already would deselect it. A window that has just been given the focus may not take
# keys yet: tried three times.
row_copied() {
  local i
  for i in 1 2 3; do
    keys $1 ctrl+c
    wait_until 1 clipboard_row_is "$2" && return 0
  done
  note "clipboard: $(clipboard | tr '\t' '|')"
  return 1
}
# A click on the first row of the call history window (under its 20-pixel header) gives the list the
# focus and selects that row.
click_first_row() { # WINDOW [REPEAT]
  window_geometry "$1"
  xdotool mousemove "$((WX + 80))" "$((WY + 30))" sleep 0.05 click --repeat "${2:-1}" --delay 80 1
}
clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null; }
clipboard_row_is() { [ "$(clipboard | cut -f1,3,4 | tr '\t' '|')" = "$1" ]; }

# (No --sync on mousemove: it waits for a motion that never comes when the pointer is there already.)
click_icon() { # BUTTON [REPEAT]
  xdotool mousemove "$ICON_X" "$ICON_Y" sleep 0.05 click --repeat "${2:-1}" --delay 80 "$1"
}
mouse_away() { xdotool mousemove 300 400; }

# Opens a menu of the tray icon: left (1) or right (3) click; waits for the menu; sets MENU.
open_icon_menu() {
  mouse_away
  wait_until 3 no_win menu
  click_icon "$1"
  wait_until 3 find_win menu && MENU=$WIN
}

# Chooses a menu item by its mnemonic key, e.g. menu_command 3 s for "環境設定(&S)".
menu_command() { # BUTTON KEY
  open_icon_menu "$1" || return 1
  keys "$2"
}

# The usual beginning: a desktop with trayer, the simulator, a profile with account 2001 on it (and the
# given double-click action), and the program started, docked in the tray and registered.
start_registered_app() { # [DBLCLK]
  e2e_desktop
  start_sim
  write_profile "$PBX" "${1:-0}"
  start_app
  require "the icon docks in the tray" wait_until 10 locate_icon
  require "the program registers" wait_until 5 pbx_count_at_least regist 1
  require "the icon turns to colour" wait_until 3 icon_is_colour
}

# Opens the call history window from the left-click menu and selects its first row; sets HIST.
open_history_window() {
  require "発着信履歴(&C) in the left-click menu opens the call history window" menu_command 1 c
  require "the call history window shows" wait_until 3 find_win window 発着信履歴
  HIST=$WIN
  focus "$HIST"
  click_first_row "$HIST"
}

# --- The StatusNotifierItem host (tests/e2e/kivo-sni-host) ---------------------------------------------

# Starts the watcher and host panel; its report lines go to $WORK/sni.out, commands through fd 7.
start_sni_host() {
  mkfifo "$WORK/sni.in"
  # Opened for reading and writing, so that neither side waits for the other to open it.
  exec 7<>"$WORK/sni.in"
  "$E2E_BUILD/tests/e2e/kivo-sni-host" <"$WORK/sni.in" >"$WORK/sni.out" 2>"$WORK/sni.log" &
  SNI_PID=$!
  E2E_PIDS+=("$SNI_PID")
  require "the host owns org.kde.StatusNotifierWatcher" wait_until 10 sni_saw '^ready$'
  SNI_PANEL=$(xdotool search --name '^kivo-sni-host$' | head -1)
  window_geometry "$SNI_PANEL"
  SNI_X=$((WX + WW / 2)) SNI_Y=$((WY + WH / 2))
}
sni_saw() { grep -q "$1" "$WORK/sni.out" 2>/dev/null; }
# sni_command props|menu: sends the command and waits for its answer, which it puts in SNI_REPLY.
sni_command() {
  SNI_MARK=$(wc -l <"$WORK/sni.out")
  echo "$1" >&7
  wait_until 5 sni_answered || return 1
  SNI_REPLY=$(tail -n +$((SNI_MARK + 1)) "$WORK/sni.out" | sed '/^end$/q')
}
sni_answered() {
  local lines
  lines=$(tail -n +$((SNI_MARK + 1)) "$WORK/sni.out")
  grep -q '^end$' <<<"$lines"
}
# The value of one property in the last props answer.
sni_prop() { sed -n "s/^prop $1 //p" <<<"$SNI_REPLY"; }
sni_props_show() { # TOOLTIP colour|grey: the item's tooltip and icon, read afresh
  sni_command props || return 1
  local r g b
  read -r r g b <<<"$(sni_prop IconColour)"
  [ "$(sni_prop ToolTip.Title)" = "$1" ] && [ -n "$g" ] && "is_${2}_rgb" "$r" "$g"
}
# Clicks the item's icon in the host panel.
click_sni() { # BUTTON
  xdotool mousemove "$SNI_X" "$SNI_Y" sleep 0.05 click "$1"
}
hover_sni() {
  mouse_away
  sleep 0.2
  xdotool mousemove "$SNI_X" "$SNI_Y" sleep 0.1 mousemove "$((SNI_X + 1))" "$SNI_Y"
  sleep 1.2
}

# --- Screenshots --------------------------------------------------------------------------------------

# shot NAME [GEOMETRY]: the screen (or a part, WxH+X+Y) as $E2E_SCREENS/<scenario>-NAME.png.
shot() {
  local file=$E2E_SCREENS/$E2E_NAME-$1.png
  if [ -n "${2:-}" ]; then
    import -window root -crop "$2" +repage "$file"
  else
    import -window root "$file"
  fi
  E2E_SHOTS+=("$(basename "$file")")
}
# shot_window NAME WINDOW [MARGIN]: the window with a margin around it.
shot_window() {
  local m=${3:-12}
  window_geometry "$2"
  local x=$((WX > m ? WX - m : 0)) y=$((WY > m ? WY - m : 0))
  shot "$1" "$((WW + 2 * m))x$((WH + 2 * m))+$x+$y"
}
# shot_icon_area NAME WIDTH HEIGHT: the top right corner of the screen, where the tray is.
shot_corner() {
  shot "$1" "$2x$3+$((1024 - $2))+0"
}

# --- Telephone links ----------------------------------------------------------------------------------

# The installed desktop entry as the handler of tel: and callto: links for the temporary user, as
# `xdg-mime default` makes it (the package's entry may share the links with another program).
install_link_handler() {
  xdg-mime default kivodialer.desktop x-scheme-handler/tel x-scheme-handler/callto
}
