#!/usr/bin/env bash
# The installer under Wine: a silent install puts KIVODialer.exe under Program Files with its Start-menu
# entry, the start with the logon and the tel: and callto: links for the user; the installed program
# starts, registers with the exchange simulator, and a tel: link opened through the shell dials from a
# second instance; a silent uninstall then leaves none of the files or entries behind, and the user's
# settings stay.
# Usage: installer.sh WINE_RUN INSTALLER KIVO_PBX_SIM
set -euo pipefail
WINE_RUN=$1 SETUP=$2 SIM=$3
unset http_proxy https_proxy no_proxy HTTP_PROXY

LOG=$(mktemp)
WINE_OUT=$(mktemp)
FIRST=""
SIM_ID=""
cleanup() {
  if [ -n "$FIRST" ]; then kill "$FIRST" 2>/dev/null || true; wait "$FIRST" 2>/dev/null || true; fi
  if [ -n "$SIM_ID" ]; then kill "$SIM_ID" 2>/dev/null || true; wait "$SIM_ID" 2>/dev/null || true; fi
  rm -f "$LOG" "$WINE_OUT"
  return 0
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- wine"; cat "$WINE_OUT"; echo "--- simulator log"; cat "$LOG"; exit 1; }
ok() { echo "ok: $*"; }
wine_() { LC_ALL=ja_JP.UTF-8 "$WINE_RUN" "$@" >>"$WINE_OUT" 2>&1 </dev/null; }
reg_value() { # KEY VALUE
  "$WINE_RUN" reg query "$1" /v "$2" 2>/dev/null </dev/null | tr -d '\r' | awk -v k="$2" '$1 == k {
    v = $0; sub(/^ *[^ ]+ +[^ ]+ +/, "", v); print v; exit }'
}
wait_for() { # SECONDS COMMAND...
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}

wine_ cmd /c exit
DRIVE_C=$("$WINE_RUN" winepath -u 'C:\' 2>/dev/null </dev/null)
APP_DIR="${DRIVE_C}Program Files/KIVODialer"
CLASSES='HKCU\Software\Classes'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KIVODialer'
start_menu_entry() { find "$DRIVE_C" -name 'KIVODialer.lnk' -path '*Start Menu*' 2>/dev/null | head -1; }

wine_ "$SETUP" /S || fail "the silent install failed"
[ -f "$APP_DIR/KIVODialer.exe" ] && [ -f "$APP_DIR/Uninstall.exe" ] || fail "KIVODialer.exe is not under Program Files"
cmp -s "$APP_DIR/KIVODialer.exe" "$(dirname "$SETUP")/KIVODialer.exe" || fail "the installed program is not the one built"
[ -n "$(start_menu_entry)" ] || fail "no Start-menu entry"
ok "installed: $APP_DIR, $(start_menu_entry | sed "s|$DRIVE_C||")"
COMMAND='"C:\Program Files\KIVODialer\KIVODialer.exe" %1'
for scheme in tel callto; do
  "$WINE_RUN" reg query "$CLASSES\\$scheme\\shell\\open\\command" 2>/dev/null </dev/null | grep -qF "$COMMAND" ||
    fail "$scheme: is not the program's"
  "$WINE_RUN" reg query "$CLASSES\\$scheme" /v 'URL Protocol' >/dev/null 2>&1 </dev/null ||
    fail "$scheme: is not marked as a URL protocol"
done
ok "tel: and callto: open the program"
[ "$(reg_value "$RUN_KEY" KIVODialer)" = '"C:\Program Files\KIVODialer\KIVODialer.exe"' ] ||
  fail "no start with the logon in the user's Run key"
ok "starts with the logon"

# The installed program against the simulator, then a tel: link through the shell's URL protocols.
coproc SIM_CO { exec "$SIM" --account 2001:secret --log "$LOG" 2>/dev/null; }
SIM_ID=$SIM_CO_PID
read -r LINE <&"${SIM_CO[0]}"
PBX=${LINE##* }
KEY='HKCU\Software\Selvane-Works\KIVODialer\Settings'
wine_ reg add "$KEY" /v User /t REG_SZ /d 2001 /f
wine_ reg add "$KEY" /v Pass /t REG_SZ /d secret /f
wine_ reg add "$KEY" /v PBX /t REG_SZ /d "$PBX" /f
"$WINE_RUN" 'C:\Program Files\KIVODialer\KIVODialer.exe' >>"$WINE_OUT" 2>&1 </dev/null &
FIRST=$!
wait_for 20 grep -q $'\t/manager/kivodialer/regist\tcallid=2001&passwd=secret&' "$LOG" ||
  fail "the installed program did not register"
ok "the installed program starts and registers"
sleep 0.5 # the login flag is published right after the reply
# The link as the shell would open it: the registered command with the link for %1. (Wine's shell looks
# schemes up in HKEY_CLASSES_ROOT without the user's own classes, which Windows merges in.)
LINK_COMMAND=$("$WINE_RUN" reg query "$CLASSES\\tel\\shell\\open\\command" 2>/dev/null </dev/null | tr -d '\r' |
  grep -oF "$COMMAND")
[ "$LINK_COMMAND" = "$COMMAND" ] || fail "no command for tel: links"
timeout 60 env LC_ALL=ja_JP.UTF-8 "$WINE_RUN" 'C:\Program Files\KIVODialer\KIVODialer.exe' tel:03-1234-5678 \
  >>"$WINE_OUT" 2>&1 </dev/null || fail "the second instance did not end by itself"
wait_for 20 grep -q $'\t/manager/kivodialer/call\tcallid=2001&passwd=secret&dialno=0312345678&' "$LOG" ||
  fail "the tel: link did not dial through the installed program"
ok "a tel: link dials through the installed program"
wine_ taskkill /im KIVODialer.exe
wait_for 10 eval '! kill -0 "$FIRST" 2>/dev/null' || fail "the program did not end on WM_CLOSE"
wait "$FIRST" 2>/dev/null || fail "the program ended with status $?"
FIRST=""

# The uninstaller copies itself away and returns at once: its work is waited for.
wine_ "$APP_DIR/Uninstall.exe" /S || fail "the silent uninstall failed"
wait_for 30 test ! -e "$APP_DIR" || fail "files are left: $(ls -A "$APP_DIR" | tr '\n' ' ')"
[ -z "$(start_menu_entry)" ] || fail "the Start-menu entry is left"
for key in "$CLASSES\\tel" "$CLASSES\\callto" "$UNINSTALL_KEY"; do
  ! "$WINE_RUN" reg query "$key" >/dev/null 2>&1 </dev/null || fail "$key is left"
done
[ -z "$(reg_value "$RUN_KEY" KIVODialer)" ] || fail "the start with the logon is left"
[ "$(reg_value "$KEY" PBX)" = "$PBX" ] || fail "the user's settings went with the program"
ok "uninstalled: no file, entry or link left; the user's settings stay"
