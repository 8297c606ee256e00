#!/bin/sh
# Renders an SVG icon into a Windows .ico holding the sizes the shell and the dialogs ask for.
# Usage: svg-to-ico.sh IN.svg OUT.ico
set -eu
in=$1 out=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for n in 16 20 24 32 48 64 256; do
  rsvg-convert -w "$n" -h "$n" "$in" -o "$tmp/$n.png"
done
convert "$tmp/16.png" "$tmp/20.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" "$tmp/64.png" "$tmp/256.png" "$out"
