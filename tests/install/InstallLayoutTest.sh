#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what the desktop relies on: the files where it
# looks for them, desktop entries and manual pages that their validators accept, and the telephone link
# handler as xdg-utils finds and runs it.
#
#   InstallLayoutTest.sh BUILD_DIR BINDIR DATADIR MANDIR AUTOSTART_DIR
set -uo pipefail
BUILD=$1 BINDIR=$2 DATADIR=$3 MANDIR=$4 AUTOSTART=$5

TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
ROOT=$TMP/root
FAILED=0
fail() {
  echo "FAIL: $*"
  FAILED=1
}

if ! DESTDIR=$ROOT cmake --install "$BUILD" >"$TMP/install.log" 2>&1; then
  cat "$TMP/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# Files.
[ -x "$ROOT$BINDIR/KIVODialer" ] || fail "program not installed in $BINDIR"
[ -x "$ROOT$BINDIR/kivo-pbx-sim" ] || fail "simulator not installed in $BINDIR"
DESKTOP=$ROOT$DATADIR/applications/kivodialer.desktop
AUTOSTART_ENTRY=$ROOT$AUTOSTART/kivodialer.desktop
[ -f "$DESKTOP" ] || fail "no menu entry $DATADIR/applications/kivodialer.desktop"
[ -f "$AUTOSTART_ENTRY" ] || fail "no autostart entry $AUTOSTART/kivodialer.desktop"
ICONS=$ROOT$DATADIR/icons/hicolor
grep -q '<svg' "$ICONS/scalable/apps/kivodialer.svg" 2>/dev/null || fail "no scalable icon"
for n in 16 22 24 32 48 64 128 256; do
  png=$ICONS/${n}x$n/apps/kivodialer.png
  desc=$(file -b "$png" 2>&1)
  case "$desc" in
    "PNG image data, $n x $n, 8-bit/color RGBA"*) ;;
    *) fail "icon ${n}x$n: $desc" ;;
  esac
done

# Validators: no errors and no warnings either.
for entry in "$DESKTOP" "$AUTOSTART_ENTRY"; do
  [ -f "$entry" ] || continue
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate ${entry#$ROOT}"
  [ -z "$out" ] || fail "desktop-file-validate ${entry#$ROOT}: $out"
done
for page in KIVODialer kivo-pbx-sim; do
  gz=$ROOT$MANDIR/man1/$page.1.gz
  if [ ! -f "$gz" ]; then
    fail "no manual page $MANDIR/man1/$page.1.gz"
    continue
  fi
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$gz" 2>&1 >"$TMP/page.txt")
  [ -z "$warnings" ] || fail "man -l $page.1.gz: $warnings"
  grep -q "@KIVO_VERSION@" "$TMP/page.txt" && fail "$page.1: version not filled in"
  grep -q "^NAME" "$TMP/page.txt" || fail "man -l $page.1.gz shows no NAME section"
done

# The telephone link handler, seen by xdg-utils in a generic session that knows only this installation:
# after update-desktop-database (run by desktop-file-utils' dpkg trigger on a real install), the entry is
# the default for both schemes, and xdg-open hands the URI to the program unchanged as one argument.
# A recorder named KIVODialer, first on PATH, takes the place of the program: what is checked here is
# the entry's Exec line as xdg-open reads it.
if [ -f "$DESKTOP" ]; then
  # xdg-open appends the URI to an Exec line without a field code, browsers refuse such a handler.
  grep -Eq '^Exec=[^ ]+ .*%[uU]' "$DESKTOP" || fail "the menu entry's Exec line takes no URI (%u)"
  update-desktop-database "$ROOT$DATADIR/applications" || fail "update-desktop-database"
  mkdir -p "$TMP/home" "$TMP/xdg" "$TMP/bin"
  printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >"%s"\n' "$TMP/argv" >"$TMP/bin/KIVODialer"
  chmod +x "$TMP/bin/KIVODialer"
  session=(env -i PATH="$TMP/bin:/usr/bin:/bin" HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/home/.config"
    XDG_CONFIG_DIRS="$TMP/xdg" XDG_DATA_HOME="$TMP/home/.local/share" XDG_DATA_DIRS="$ROOT$DATADIR"
    XDG_CURRENT_DESKTOP=X-Generic DISPLAY=:0 BROWSER=false)
  for scheme in tel callto; do
    handler=$("${session[@]}" xdg-mime query default "x-scheme-handler/$scheme")
    [ "$handler" = kivodialer.desktop ] || fail "xdg-mime default for $scheme: '$handler'"
  done
  for uri in 'tel:03%201234%205678' 'tel:+81-3-1234-5678;ext=9' 'callto://0312345678'; do
    rm -f "$TMP/argv"
    "${session[@]}" xdg-open "$uri" >"$TMP/open.log" 2>&1 || fail "xdg-open $uri: $(cat "$TMP/open.log")"
    [ "$(cat "$TMP/argv" 2>/dev/null)" = "$(printf '1\n%s' "$uri")" ] ||
      fail "xdg-open $uri ran KIVODialer with: $(tr '\n' ' ' <"$TMP/argv" 2>/dev/null)"
  done
fi

[ $FAILED = 0 ] && echo "install layout OK"
exit $FAILED
