#!/usr/bin/env bash
# The real KIVODialer.exe under Wine against the exchange simulator running natively on loopback: with
# the profile in the registry, a first instance registers and holds the login flag, and a second
# instance started with a number places the call through WinINet.
# Usage: second-instance-dial.sh WINE_RUN KIVODIALER_EXE KIVO_PBX_SIM
set -euo pipefail
WINE_RUN=$1 EXE=$2 SIM=$3
unset http_proxy https_proxy no_proxy HTTP_PROXY
LOG=$(mktemp)
FIRST=""
SIM_ID=""
cleanup() {
  if [ -n "$FIRST" ]; then kill "$FIRST" 2>/dev/null || true; wait "$FIRST" 2>/dev/null || true; fi
  if [ -n "$SIM_ID" ]; then kill "$SIM_ID" 2>/dev/null || true; wait "$SIM_ID" 2>/dev/null || true; fi
  rm -f "$LOG" "$WINE_OUT"
  return 0
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; echo "--- simulator log"; cat "$LOG"; exit 1; }

# Wine's own processes (wineserver, services, explorer) outlive the test: started here with their
# output elsewhere, they never hold the test's pipes open.
WINE_OUT=$(mktemp)
"$WINE_RUN" cmd /c exit >"$WINE_OUT" 2>&1 </dev/null

coproc SIM { exec "$SIM" --account 2001:secret --log "$LOG" 2>/dev/null; }
SIM_ID=$SIM_PID
read -r LINE <&"${SIM[0]}"
PBX=${LINE##* }

KEY='HKCU\Software\Selvane-Works\KIVODialer\Settings'
"$WINE_RUN" reg delete 'HKCU\Software\Selvane-Works\KIVODialer' /f >>"$WINE_OUT" 2>&1 2>&1 || true
"$WINE_RUN" reg add "$KEY" /v User /t REG_SZ /d 2001 /f >>"$WINE_OUT" 2>&1
"$WINE_RUN" reg add "$KEY" /v Pass /t REG_SZ /d secret /f >>"$WINE_OUT" 2>&1
"$WINE_RUN" reg add "$KEY" /v PBX /t REG_SZ /d "$PBX" /f >>"$WINE_OUT" 2>&1
"$WINE_RUN" reg add "$KEY" /v Cbtime /t REG_DWORD /d 15 /f >>"$WINE_OUT" 2>&1

"$WINE_RUN" "$EXE" >>"$WINE_OUT" 2>&1 </dev/null &
FIRST=$!
for _ in $(seq 100); do
  grep -q $'\t/manager/kivodialer/regist\t' "$LOG" && break
  sleep 0.2
done
grep -q $'\t/manager/kivodialer/regist\tcallid=2001&passwd=secret&port=10640&type=0\tKIVODialer Browser$' "$LOG" ||
  fail "the first instance did not register"
sleep 0.5 # the flag is published right after the reply

# A call the exchange accepts shows nothing, so the second instance ends by itself.
timeout 60 "$WINE_RUN" "$EXE" 03-1234-5678 >>"$WINE_OUT" 2>&1 </dev/null || fail "the second instance did not end by itself"
grep -q $'\t/manager/kivodialer/call\tcallid=2001&passwd=secret&dialno=0312345678&cbtime=15\tKIVODialer Browser$' \
  "$LOG" || fail "no call request with dialno=0312345678 and the stored Cbtime"
echo "second instance dialled: $(grep -c $'\t/manager/kivodialer/call\t' "$LOG") call request(s)"
