#!/usr/bin/env bash
# Pictures of the program's four windows as Wine draws them: win-about.png, win-dial.png,
# win-history.png and win-settings.png in the output directory (docs/screens by default). Each window
# runs with sample data (kivo_win32_show_window) in a Wine virtual desktop, which draws the frames, on
# an Xvfb display of its own, with the CJK font that stands in for "MS UI Gothic".
# Usage: tests/win32/ui/screens.sh [build directory (build-win)] [output directory]
set -euo pipefail
cd "$(dirname "$0")/../../.."
build=$(realpath "${1:-build-win}")
out=$(realpath -m "${2:-docs/screens}")
show=$build/tests/win32/kivo_win32_show_window.exe
[ -f "$show" ] || { echo "screens: $show is missing; build the Windows program first" >&2; exit 1; }
mkdir -p "$out"

export WINEPREFIX=$build/wineprefix-screens WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# A Japanese system (code page 932), as for the tests; only Wine is told, the shell has no such locale.
jp=(env LC_ALL=ja_JP.UTF-8)
unset WAYLAND_DISPLAY http_proxy https_proxy no_proxy HTTP_PROXY

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 </dev/null &
xvfb=$!
work=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work" "$display_file"
}
trap cleanup EXIT
for _ in $(seq 200); do
    [ -s "$display_file" ] && break
    sleep 0.025
done
export DISPLAY=:$(head -n 1 "$display_file")

# The prefix's own processes start here, with the display and the font in place.
mkdir -p "$WINEPREFIX"
wineserver -p
"${jp[@]}" wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS UI Gothic' /d 'Noto Sans CJK JP' /f >/dev/null 2>&1 </dev/null
wineserver -k || true
wineserver -w || true

for window in about dial history settings; do
    wineserver -p
    "${jp[@]}" wine explorer /desktop=kivo-screens,800x500 "$show" "$window" >"$work/$window.rect" 2>/dev/null </dev/null &
    for _ in $(seq 200); do
        [ -s "$work/$window.rect" ] && break
        sleep 0.1
    done
    read -r left top right bottom < <(tr -d '\r' <"$work/$window.rect") || { echo "screens: $window did not come up" >&2; exit 1; }
    sleep 1 # painted
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out/win-$window.png"
    echo "screens: $out/win-$window.png ($((right - left))x$((bottom - top)))"
    wineserver -k || true
    wineserver -w || true
done
