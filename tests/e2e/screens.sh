#!/usr/bin/env bash
# Shows each window with sample data on a private Xvfb display and takes its picture:
# tests/e2e/screens.sh [build dir] [output dir]. Needs xvfb, xdotool and imagemagick (scripts/bootstrap).
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
OUT=${2:-build/screens}
mkdir -p "$OUT"

# Xvfb picks a free display and tells us its number.
exec 3< <(exec Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null)
XVFB=$!
trap 'kill "$XVFB" 2>/dev/null || true' EXIT
read -r -u 3 NUM
export DISPLAY=":$NUM" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}

# The first visible window of the program, waited for at most 10 s.
wait_window() {
  for _ in $(seq 100); do
    W=$(xdotool search --onlyvisible --class kivo-show-windows 2>/dev/null | head -n1 || true)
    [ -n "$W" ] && { echo "$W"; return 0; }
    sleep 0.1
  done
  return 1
}

for NAME in dial history settings about; do
  "$BUILD/tests/e2e/kivo-show-windows" "$NAME" &
  PID=$!
  WID=$(wait_window) || { echo "screens: $NAME did not show" >&2; kill "$PID"; exit 1; }
  sleep 0.5 # let the first paint finish
  import -window "$WID" "$OUT/$NAME.png"
  echo "$NAME: $(identify -format '%wx%h' "$OUT/$NAME.png")"
  kill "$PID"
  wait "$PID" 2>/dev/null || true
done
