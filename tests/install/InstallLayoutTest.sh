#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what the desktop relies on: the files where it
# looks for them, desktop entries and manual pages that their validators accept, and telephone links that
# xdg-open hands to the installed program, which dials them.
#
#   InstallLayoutTest.sh BUILD_DIR BINDIR DATADIR MANDIR AUTOSTART_DIR
set -uo pipefail
BUILD=$1 BINDIR=$2 DATADIR=$3 MANDIR=$4 AUTOSTART=$5

TMP=$(mktemp -d)
FIRST="" SIM_PROC=""
trap 'kill $FIRST $SIM_PROC 2>/dev/null; wait; rm -rf "$TMP"' EXIT
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
  out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate ${entry#"$ROOT"}"
  [ -z "$out" ] || fail "desktop-file-validate ${entry#"$ROOT"}: $out"
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

# Telephone links, as a generic session that knows only this installation sees them: after
# update-desktop-database (desktop-file-utils' dpkg trigger runs it on a real install) the menu entry is the
# default handler of both schemes, and xdg-open runs the installed program with the link, which, while a
# first instance runs, has the installed simulator place the call. The offscreen platform is enough: the
# first instance registers and publishes its login without a tray, and the second one shows nothing.
if [ -f "$DESKTOP" ] && [ -x "$ROOT$BINDIR/KIVODialer" ] && [ -x "$ROOT$BINDIR/kivo-pbx-sim" ]; then
  # xdg-open appends the URI to an Exec line without a field code, but browsers refuse such a handler.
  grep -Eq '^Exec=[^ ]+ .*%[uU]' "$DESKTOP" || fail "the menu entry's Exec line takes no URI (%u)"
  update-desktop-database "$ROOT$DATADIR/applications" || fail "update-desktop-database"
  mkdir -p "$TMP/home/.config/Selvane-Works" "$TMP/xdg" "$TMP/run"
  chmod 700 "$TMP/run"
  session=(env -i PATH="$ROOT$BINDIR:/usr/bin:/bin" HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/home/.config"
    XDG_CONFIG_DIRS="$TMP/xdg" XDG_DATA_HOME="$TMP/home/.local/share" XDG_DATA_DIRS="$ROOT$DATADIR"
    XDG_RUNTIME_DIR="$TMP/run" XDG_CURRENT_DESKTOP=X-Generic DISPLAY=:0 QT_QPA_PLATFORM=offscreen BROWSER=false)
  for scheme in tel callto; do
    handler=$("${session[@]}" xdg-mime query default "x-scheme-handler/$scheme")
    [ "$handler" = kivodialer.desktop ] || fail "xdg-mime default for $scheme: '$handler'"
  done

  coproc SIM { exec "$ROOT$BINDIR/kivo-pbx-sim" --log "$TMP/pbx.log"; }
  SIM_PROC=$SIM_PID
  read -t 10 -r line <&"${SIM[0]}"
  # PortNum 0: the notification channel takes a port of the system's choosing, so parallel runs never meet.
  printf '[Settings]\nUser=2001\nPass=2001\nPBX=%s\nPortNum=0\n' "${line##* }" \
    >"$TMP/home/.config/Selvane-Works/KIVODialer.conf"
  "${session[@]}" KIVODialer >"$TMP/first.log" 2>&1 &
  FIRST=$!
  # The first instance is up once it registers, two seconds after its start.
  for _ in $(seq 100); do
    grep -q /regist "$TMP/pbx.log" 2>/dev/null && break
    sleep 0.1
  done
  grep -q /regist "$TMP/pbx.log" 2>/dev/null || fail "the installed program did not register: $(cat "$TMP/first.log")"
  while read -r uri number; do
    timeout 10 "${session[@]}" xdg-open "$uri" >"$TMP/open.log" 2>&1 ||
      fail "xdg-open $uri: $(cat "$TMP/open.log")"
    grep -q "dialno=$number&" "$TMP/pbx.log" || fail "xdg-open $uri placed no call to $number"
  done <<'LINKS'
tel:03%201234%205678 0312345678
tel:+81-3-1234-5679;ext=9 81312345679
callto://0399998888 0399998888
LINKS
  kill "$FIRST" "$SIM_PROC"
  wait "$FIRST" "$SIM_PROC"
  FIRST="" SIM_PROC=""
fi

[ $FAILED = 0 ] && echo "install layout OK"
exit $FAILED
