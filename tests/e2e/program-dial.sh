#!/usr/bin/env bash
# The real program on a virtual display with an XEmbed tray (trayer), against the exchange simulator:
# a double click on the icon opens the dial dialog; a call typed there reaches the simulator with the
# filtered number, its reply shows in a message box, and the call history window opened from the
# left-click menu has the new row on top. The settings dialog and the about box open from the
# right-click menu. Pictures go to the output directory; at exit the profile holds the dialled number
# and the history window's place.
#   tests/e2e/program-dial.sh [build dir] [output dir]
set -uo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
OUT=${2:-tests/e2e/screens}

if [ -z "${KIVO_DIAL_CHECK_DISPLAY:-}" ]; then
  exec 3< <(exec Xvfb -displayfd 1 -screen 0 1024x700x24 -nolisten tcp 2>/dev/null)
  xvfb=$!
  read -r -t 10 n <&3 || { echo "FAIL: Xvfb did not start"; exit 1; }
  KIVO_DIAL_CHECK_DISPLAY=":$n" DISPLAY=":$n" dbus-run-session -- "$0" "$@" 2> >(grep -v 'fd limit' >&2)
  rc=$?
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  exit $rc
fi

# --- Inside the private session -------------------------------------------------------------------
export DISPLAY=$KIVO_DIAL_CHECK_DISPLAY
mkdir -p "$OUT"
WORK=$(mktemp -d /tmp/kivo-dial-check.XXXXXX)
FAILED=0
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
check() { # description, command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; FAILED=1; fi
}

trayer --edge top --align right --widthtype request --height 24 >"$WORK/trayer.log" 2>&1 & pids+=($!)
coproc SIM { exec "$BUILD/tools/kivo-pbx-sim" --account 2001:pw2001 --log "$WORK/pbx.log"; }
pids+=($!)
read -r line <&"${SIM[0]}"
PBX=${line##* }

mkdir -p "$WORK/config/Selvane-Works" "$WORK/run"
chmod 700 "$WORK/config/Selvane-Works" "$WORK/run"
PROFILE=$WORK/config/Selvane-Works/KIVODialer.conf
UDP_PORT=$(python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("", 0)); print(s.getsockname()[1])')
printf '[Settings]\nUser=2001\nPass=pw2001\nPBX=%s\nPortNum=%s\nDblClk=0\n' "$PBX" "$UDP_PORT" >"$PROFILE"
XDG_CONFIG_HOME=$WORK/config XDG_RUNTIME_DIR=$WORK/run "$BUILD/KIVODialer" >"$WORK/app.log" 2>&1 &
APP_PID=$!
pids+=("$APP_PID")

height() { xwininfo -id "$1" 2>/dev/null | awk '/Height:/ {print $2}'; }
# The program's visible window with this caption (not the tray icon, which has the program's name
# too), other than the one given as $2; waited for at most 5 s.
wait_caption() {
  for _ in $(seq 50); do
    for w in $(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null); do
      [ "$w" != "${2:-}" ] && [ "$(height "$w")" -gt 40 ] && [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$1" ] &&
        { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
gone() { # window id: no longer on screen within 3 s
  for _ in $(seq 30); do
    xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | grep -qx "$1" || return 0
    sleep 0.1
  done
  return 1
}
# The icon sits in the middle of the tray host's panel.
locate_icon() {
  local geom
  for _ in $(seq 50); do
    geom=$(xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {print $(NF-1)}')
    local w=${geom%%x*}
    if [ -n "$geom" ] && [ "$w" -gt 10 ]; then
      local rest=${geom#*x}
      local xy=${rest#*+}
      ICON_X=$((${xy%%+*} + w / 2))
      ICON_Y=$((${xy#*+} + ${rest%%+*} / 2))
      return 0
    fi
    sleep 0.1
  done
  return 1
}
regist_count() { grep -c $'\t/manager/kivodialer/regist\t' "$WORK/pbx.log" 2>/dev/null || true; }

check "the icon docks in the tray" locate_icon
for _ in $(seq 50); do [ "$(regist_count)" -ge 1 ] && break; sleep 0.1; done
check "the program registered" test "$(regist_count)" -ge 1
sleep 0.3

echo 'TEL 045-222-3333' | xclip -selection clipboard 2>/dev/null || true
xdotool mousemove "$ICON_X" "$ICON_Y" click --repeat 2 --delay 80 1
DIAL=$(wait_caption KIVODialer)
check "a double click opens the dial dialog" test -n "$DIAL"
sleep 0.5
import -window "$DIAL" "$OUT/program-dial.png"
xdotool windowfocus --sync "$DIAL"
xdotool key ctrl+a
xdotool type --delay 20 "(03) 1234-5678 #2"
xdotool key Return

BOX=$(wait_caption KIVODialer "$DIAL")
check "the reply shows in a message box" test -n "$BOX"
sleep 0.4
[ -n "$BOX" ] && import -window "$BOX" "$OUT/program-dial-reply.png"
check "the simulator got the filtered number" \
  grep -q $'\t/manager/kivodialer/call\tcallid=2001&passwd=pw2001&dialno=03123456782&cbtime=10\t' "$WORK/pbx.log"
xdotool windowfocus --sync "$BOX"
xdotool key Return
check "the message box closes" gone "$BOX"
check "the dial dialog closes after the accepted call" gone "$DIAL"

xdotool mousemove "$ICON_X" "$ICON_Y" click 1
sleep 0.6
xdotool key c
HIST=$(wait_caption 発着信履歴)
check "the left-click menu opens the call history window" test -n "$HIST"
sleep 0.5
[ -n "$HIST" ] && import -window "$HIST" "$OUT/program-history.png"

xdotool mousemove "$ICON_X" "$ICON_Y" click 3
sleep 0.4
xdotool key s
CONF=$(wait_caption 環境設定)
check "the right-click menu opens the settings dialog" test -n "$CONF"
sleep 0.4
[ -n "$CONF" ] && import -window "$CONF" "$OUT/program-settings.png"
xdotool windowfocus --sync "$CONF"
xdotool key Escape
check "Esc closes the settings dialog" gone "$CONF"

xdotool mousemove "$ICON_X" "$ICON_Y" click 3
sleep 0.4
xdotool key a
ABOUT=$(wait_caption バージョン情報)
check "the right-click menu opens the about box" test -n "$ABOUT"
sleep 0.4
[ -n "$ABOUT" ] && import -window "$ABOUT" "$OUT/program-about.png"
xdotool windowfocus --sync "$ABOUT"
xdotool key Return

kill -TERM "$APP_PID"
wait "$APP_PID"
check "SIGTERM ends the program with status 0" test $? -eq 0
check "the dialled number heads the dial history" grep -qx 'list1=(03) 1234-5678 #2' "$PROFILE"
check "the call is the newest record, as typed" grep -qx 'CallNum1=(03) 1234-5678 #2' "$PROFILE"
check "the history window's place is saved" grep -q '^right=[1-9]' "$PROFILE"
[ $FAILED -eq 0 ] || { echo "--- profile"; cat "$PROFILE"; echo "--- app"; cat "$WORK/app.log"; }
exit $FAILED
