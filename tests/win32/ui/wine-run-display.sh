#!/usr/bin/env bash
# Runs a Windows program under Wine (through the build's wine-run, the first argument) on an X display
# of its own: windows need one, and the prefix's desktop process was started without. Xvfb picks a free
# display number and is stopped when the program has ended.
set -u
wine_run=$1
shift
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 </dev/null &
xvfb=$!
for _ in $(seq 200); do
    [ -s "$display_file" ] && break
    sleep 0.025
done
DISPLAY=:$(head -n 1 "$display_file")
export DISPLAY
rm -f "$display_file"
"$wine_run" "$@"
rc=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
exit $rc
