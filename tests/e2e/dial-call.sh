#!/usr/bin/env bash
# A call placed from the dial dialog on a real X display reaches the exchange simulator with the
# filtered number, the reply shows in a message box and the call history window shows the new row on
# top. Pictures of both go to the output directory.
# tests/e2e/dial-call.sh [build dir] [output dir]. Needs xvfb, xdotool, imagemagick, curl.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
OUT=${2:-build/screens}
mkdir -p "$OUT"
WORK=$(mktemp -d)
PIDS=()
cleanup() {
  for PID in "${PIDS[@]}"; do kill "$PID" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "dial-call: $*" >&2; exit 1; }

exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
PIDS+=($!)
read -r -u 3 NUM
export DISPLAY=":$NUM" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK"

"$BUILD/tools/kivo-pbx-sim" --port 0 --account 2001:pw2001 >"$WORK/sim.out" &
PIDS+=($!)
for _ in $(seq 50); do grep -q listening "$WORK/sim.out" && break; sleep 0.1; done
ADDR=$(sed -n 's/.*listening on \(.*\)$/\1/p' "$WORK/sim.out")
[ -n "$ADDR" ] || fail "the simulator did not start"

"$BUILD/tests/e2e/kivo-show-windows" call --pbx "$ADDR" --user 2001 --pass pw2001 &
PIDS+=($!)
for _ in $(seq 100); do
  DIAL=$(xdotool search --onlyvisible --class kivo-show-windows 2>/dev/null | head -n1 || true)
  [ -n "$DIAL" ] && break
  sleep 0.1
done
[ -n "$DIAL" ] || fail "the dial dialog did not show"
sleep 0.5
# No window manager: give the dialog the input focus ourselves, then type through XTEST.
xdotool windowfocus --sync "$DIAL"
xdotool type --delay 20 "(03) 1234-5678 #2"
xdotool key Return

# The reply's message box: a second visible window.
for _ in $(seq 50); do
  BOX=$(xdotool search --onlyvisible --class kivo-show-windows | grep -v "^$DIAL$" | head -n1 || true)
  [ -n "$BOX" ] && break
  sleep 0.1
done
[ -n "${BOX:-}" ] || fail "no message box"
sleep 0.5
import -window "$BOX" "$OUT/dial-reply.png"
xdotool windowfocus --sync "$BOX"
xdotool key Return

for _ in $(seq 50); do
  HIST=$(xdotool search --onlyvisible --name "KIVODialer|発着信履歴" | grep -v "^$DIAL$" | head -n1 || true)
  [ -n "$HIST" ] && [ "$HIST" != "$BOX" ] && break
  HIST=""
  sleep 0.1
done
[ -n "$HIST" ] || fail "the call history window did not open"
sleep 0.5
import -window "$HIST" "$OUT/history-after-call.png"

LOG=$(curl -s "http://$ADDR/_sim/log")
echo "$LOG" | grep -q "dialno=03123456782&cbtime=10" || fail "the simulator did not get the call: $LOG"
echo "dial-call: ok ($(echo "$LOG" | grep -c call) call request)"
