# Library of the end-to-end suite (sourced by scripts/e2e): a private desktop for one scenario, the
# program and the simulator on it, and the checks. Everything a scenario starts is recorded and ended by
# e2e_end, whatever way the scenario ends; a watchdog ends a scenario that hangs.
#
# A scenario (tests/e2e/scenarios/NAME.sh) is a bash fragment that calls these functions; its line
# "# desktops: A B" names the desktops CTest runs it on (default: trayer). HOME, the XDG directories and
# XDG_RUNTIME_DIR point into a temporary directory, so no real profile is read or written. The program
# runs as installed: `cmake --install` of the build into that directory, found through PATH and
# XDG_DATA_DIRS as a package's would be.
#
# The desktop is a parameter: tests/e2e/desktops/NAME.sh, sourced by e2e_begin, brings it up and
# provides the functions below, which are all a scenario uses of it. Shared implementations are in
# tests/e2e/lib/ (x11.sh: Xvfb, windows and input through X; status-notifier.sh: the program's item read
# over the session bus); a desktop sources what fits it and overrides what it does otherwise.
#
#   desktop_start [--no-host]   the display, a private session bus, the notification server and (unless
#                               --no-host) the tray host; exports what the program needs to find them
#   host_start, host_stop       the tray host alone: start order, a host that crashes and comes back
#   icon_shown                  true while the host shows the program's icon; sets ICON_X, ICON_Y
#   icon_state                  prints colour, grey or none: the icon the host has of the program
#   icon_click BUTTON [REPEAT]  a real click on the icon where the host draws it (1 left, 3 right)
#   icon_hover                  the pointer comes to rest on the icon
#   icon_tooltip                prints the tooltip the host has for the icon; false where the host
#                               draws none or it cannot be read (then tooltip_shown tells)
#   tooltip_shown               true while a tooltip of the icon is on screen
#   host_menu_shown             true while the host shows the item's exported menu (drawn by the host)
#   app_windows, window_kind ID, find_win KIND [NAME], window_geometry ID, focus ID
#                               the program's windows: "ID WIDTH HEIGHT NAME" lines, their kind (window,
#                               menu, balloon, icon), lookup, geometry (WX WY WW WH), keyboard focus
#   keys KEY..., type_text TEXT, mouse_away, click_at X Y BUTTON [REPEAT]
#   clipboard, clipboard_set FILE   the clipboard's text; own it with a file's text (SPAWNED: its owner)
#   shot NAME [WxH+X+Y]         a screenshot (or a part) as $E2E_SCREENS/<desktop>.<scenario>-NAME.png
#   host_menu_choose KEY        in the host's drawing of the exported menu, the item of that mnemonic
#                               (default: the key itself, which Qt's and GTK's menus take)
#   DESKTOP_POPUP               what a call's popup is where the tray is XEmbed: "balloon" (Qt's own) or
#                               "notification"; desktops with a StatusNotifierItem host get notifications
#   DESKTOP_LEFT_MENU, DESKTOP_RIGHT_MENU
#                               "host" where the host draws the exported menu on that click, instead of
#                               the program showing its own menu ("program", the default)
#   popup_on_screen BODY        (optional) true while the screen shows the notification with that body
#   window_floats ID            (optional, where the window manager tiles) true while it floats the window
#
# A desktop file with the line "E2E_SANDBOX=1" runs inside tests/e2e/desktops/sandbox.sh (a Wayland
# compositor that will not run as root, or needs /tmp and a network of its own); scripts/e2e enters it.
# One with the line "E2E_NEEDS=TARGET" needs that target of the build (CTest registers it only with it).
#
# Notifications are watched on every desktop the same way: `dbus-monitor` on the session bus records
# each Notify call (see notifications below).

E2E_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
E2E_BUILD=${KIVO_BUILD_DIR:-$E2E_ROOT/build}
E2E_SCREENS=${KIVO_E2E_SCREENS:-$E2E_BUILD/e2e-screens}
E2E_LIB=$E2E_ROOT/tests/e2e/lib
# The longest a scenario may take; CTest's own time-out is longer, so the clean-up always runs.
E2E_LIMIT_S=${KIVO_E2E_LIMIT_S:-150}

E2E_PIDS=()
E2E_CHECKS=0
E2E_FAILS=0
E2E_FIRST_FAIL=""
E2E_SHOTS=()
E2E_AT_EXIT=()

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

e2e_begin() { # DESKTOP SCENARIO
  E2E_DESKTOP=$1
  E2E_SCENARIO=$2
  E2E_NAME=$1.$2
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
  # shellcheck disable=SC1090
  . "$E2E_ROOT/tests/e2e/desktops/$E2E_DESKTOP.sh"
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

# at_exit COMMAND: run by e2e_stop_all after the recorded processes have ended (e.g. the display).
at_exit() { E2E_AT_EXIT+=("$1"); }

# Ends every process still recorded, newest first: SIGTERM, then SIGKILL after 3 s; then the at_exit
# commands, newest first.
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
  for ((i = ${#E2E_AT_EXIT[@]} - 1; i >= 0; i--)); do eval "${E2E_AT_EXIT[i]}"; done
  E2E_AT_EXIT=()
}

# --- The private home ---------------------------------------------------------------------------------

e2e_private_home() {
  export HOME=$WORK/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
  export XDG_STATE_HOME=$HOME/.local/state XDG_RUNTIME_DIR=$WORK/run
  # No system-wide configuration (dunstrc, mimeapps.list) takes part.
  export XDG_CONFIG_DIRS=$WORK/xdg XDG_DATA_DIRS=/usr/local/share:/usr/share
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME" "$XDG_RUNTIME_DIR" \
    "$XDG_CONFIG_DIRS"
  chmod 700 "$HOME" "$XDG_RUNTIME_DIR"
  # A desktop that xdg-open does not know: it asks xdg-mime for the handler of a link. A desktop file
  # that is a real desktop says which it is.
  export XDG_CURRENT_DESKTOP=X-Generic XDG_SESSION_TYPE=x11
  unset DESKTOP_SESSION KDE_FULL_SESSION KDE_SESSION_VERSION GNOME_DESKTOP_SESSION_ID XDG_SESSION_DESKTOP \
    WAYLAND_DISPLAY DISPLAY DBUS_SESSION_BUS_ADDRESS
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

# --- The session bus and notifications ----------------------------------------------------------------

# e2e_start_bus [--activation]: a session bus of our own. Without activation nothing starts behind our
# back; a real desktop's services may be started on demand, as in its own session. Every Notify call on
# it is recorded (notifications).
e2e_start_bus() {
  local activation=""
  [ "${1:-}" = --activation ] && activation="<standard_session_servicedirs/>"
  cat >"$WORK/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$WORK</listen>
  <auth>EXTERNAL</auth>
  $activation
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
  at_exit 'kill "$E2E_BUS_PID" 2>/dev/null'
  require "the session bus starts" test -n "$DBUS_SESSION_BUS_ADDRESS"
  spawn notify-monitor dbus-monitor "interface='org.freedesktop.Notifications'"
  E2E_NOTIFY_MONITOR=$WORK/notify-monitor.log
  [ -z "$activation" ] || dbus-update-activation-environment DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP \
    XDG_SESSION_TYPE HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_RUNTIME_DIR XDG_CONFIG_DIRS \
    XDG_DATA_DIRS QT_QPA_PLATFORM KDE_FULL_SESSION KDE_SESSION_VERSION 2>/dev/null
  return 0
}

bus_has_name() {
  local reply
  reply=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null)
  [[ $reply == *"boolean true"* ]]
}

# Every Notify call seen on the bus, one line each:
# "APP<TAB>ICON<TAB>SUMMARY<TAB>BODY<TAB>URGENCY<TAB>TIMEOUT" (URGENCY empty when no hint was given).
notifications() {
  awk '
    function unquote(s) { sub(/^[ \t]*string "/, "", s); sub(/"$/, "", s); return s }
    /^method call .*member=Notify$/ { n = 0; on = 1; urgency = ""; next }
    /^(method|signal|method return|error) / { on = 0 }
    !on { next }
    /^   string "/ && n < 5 { v[n++] = unquote($0); next }
    /^   uint32 / && n == 1 { v[n++] = ""; next }
    /string "urgency"/ { want = 1; next }
    want && /variant/ { urgency = $NF; want = 0; next }
    /^   int32 / { printf "%s\t%s\t%s\t%s\t%s\t%s\n", v[0], v[2], v[3], v[4], urgency, $2; on = 0 }
  ' "$E2E_NOTIFY_MONITOR" 2>/dev/null
}
notification_count() { notifications | wc -l; }
# NOTIFIED: the fields of the newest notification (after at least COUNT): N_APP N_ICON N_SUMMARY N_BODY
# N_URGENCY N_TIMEOUT.
notified() { # COUNT
  local line
  line=$(notifications | sed -n "$1,\$p" | tail -1)
  [ -n "$line" ] || return 1
  IFS=$'\t' read -r N_APP N_ICON N_SUMMARY N_BODY N_URGENCY N_TIMEOUT <<<"$line"
}

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
# Removes a section from the profile behind the program's back (only a later save brings it back).
profile_erase_section() { # SECTION
  awk -v s="[$1]" '/^\[/ {skip = ($0 == s)} !skip' "$(PROFILE)" >"$WORK/profile.new" &&
    cat "$WORK/profile.new" >"$(PROFILE)"
}

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

# The desktop session ends and the program is asked to go as the session's end asks it (SIGTERM, from
# the session manager or systemd); sets STOPPED_RC.
end_app_session() { stop "$APP_PID" TERM; }

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
  click_at "$((WX + 80))" "$((WY + 30))" 1 "${2:-1}"
}
clipboard_row_is() { [ "$(clipboard | cut -f1,3,4 | tr '\t' '|')" = "$1" ]; }

# The icon's colour as a check reads it.
icon_is_colour() { [ "$(icon_state)" = colour ]; }
icon_is_grey() { [ "$(icon_state)" = grey ]; }
# "r g b" thresholds: the colour icon is green; the grey one has equal channels.
is_colour_rgb() { [ "$2" -gt $(($1 + 50)) ]; }
is_grey_rgb() { local d=$(($2 - $1)); [ "${d#-}" -lt 20 ] && [ "$1" -gt 80 ]; }

# Opens a menu of the program from the icon: left (1) or right (3) click; waits for the program's own
# menu window (sets MENU), or for the host's drawing of the exported menu where the host draws the menu
# of that click (DESKTOP_LEFT_MENU, DESKTOP_RIGHT_MENU: "host"; MENU is then empty).
open_icon_menu() {
  mouse_away
  wait_until 3 no_win menu
  MENU=""
  icon_click "$1"
  if host_draws_menu "$1"; then
    wait_until 3 host_menu_shown
  else
    wait_until 3 find_win menu && MENU=$WIN
  fi
}
host_draws_menu() { # BUTTON
  case $1 in
  1) [ "${DESKTOP_LEFT_MENU:-program}" = host ] ;;
  3) [ "${DESKTOP_RIGHT_MENU:-program}" = host ] ;;
  *) return 1 ;;
  esac
}

# Chooses a menu item by its mnemonic key, e.g. menu_command 3 s for "環境設定(&S)": from the program's
# own menu, or from the host's drawing of the exported one.
menu_command() { # BUTTON KEY
  open_icon_menu "$1" || return 1
  menu_choose "$1" "$2"
}
menu_choose() { # BUTTON KEY: in the menu that click opened
  if host_draws_menu "$1"; then host_menu_choose "$2"; else keys "$2"; fi
}
# The host's menu takes the mnemonic key, as Qt's and GTK's menus do; a desktop whose host's menu takes
# none chooses the item otherwise.
host_menu_choose() { keys "$1"; }

# The usual beginning: the desktop with its tray host, the simulator, a profile with account 2001 on it
# (and the given double-click action), and the program started, shown by the host and registered.
start_registered_app() { # [DBLCLK]
  desktop_start
  start_sim
  write_profile "$PBX" "${1:-0}"
  start_app
  require "the icon shows in the tray" wait_until 10 icon_shown
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

# shot_window NAME WINDOW [MARGIN]: the window with a margin around it.
shot_window() {
  local m=${3:-12}
  window_geometry "$2"
  local x=$((WX > m ? WX - m : 0)) y=$((WY > m ? WY - m : 0))
  shot "$1" "$((WW + 2 * m))x$((WH + 2 * m))+$x+$y"
}
# shot_menu NAME: the menu open_icon_menu opened: the program's own menu window, or the host's drawing of
# the exported menu where the desktop tells its rectangle (host_menu_rect), else the whole screen.
shot_menu() {
  if [ -n "${MENU:-}" ]; then
    shot_window "$1" "$MENU" 0
  elif declare -F host_menu_rect >/dev/null; then
    shot "$1" "$(host_menu_rect)"
  else
    shot "$1"
  fi
}
# shot_icon NAME [WIDTH HEIGHT]: the icon with the tray around it.
shot_icon() {
  local w=${2:-40} h=${3:-28}
  local x=$((ICON_X - w / 2)) y=$((ICON_Y - h / 2))
  shot "$1" "${w}x${h}+$((x > 0 ? x : 0))+$((y > 0 ? y : 0))"
}
# shot_corner NAME WIDTH HEIGHT: the top right corner of the screen.
shot_corner() {
  shot "$1" "$2x$3+$((SCREEN_W - $2))+0"
}

# --- Telephone links ----------------------------------------------------------------------------------

# The installed desktop entry as the handler of tel: and callto: links for the temporary user, as
# `xdg-mime default` makes it (the package's entry may share the links with another program).
install_link_handler() {
  xdg-mime default kivodialer.desktop x-scheme-handler/tel x-scheme-handler/callto
}
link_handler_is_ours() { [ "$(xdg-mime query default x-scheme-handler/tel)" = kivodialer.desktop ]; }
# Opens a link as the desktop does when the user clicks one; true when the opener ended in time.
open_link() { timeout 20 xdg-open "$1"; }
