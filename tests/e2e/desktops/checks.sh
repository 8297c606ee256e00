#!/usr/bin/env bash
# checks.sh DESKTOP: the desktop checks (DESKTOP-checks.sh beside this file, or sway-checks.sh for both
# sway desktops) on the desktop tests/e2e/desktops/DESKTOP.sh, inside the sandbox where the desktop needs
# one. Ends with the suite's summary line "e2e DESKTOP.desktop-checks: PASS|FAIL ...".
set -uo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
DESKTOP=${1:?desktop}
[ -f "$HERE/$DESKTOP.sh" ] || { echo "no desktop $DESKTOP" >&2; exit 2; }
if [ -z "${KIVO_E2E_SANDBOXED:-}" ]; then
  exec "$HERE/sandbox.sh" "$0" "$@"
fi
# shellcheck source=scripts/e2e-lib.sh
. "$HERE/../../../scripts/e2e-lib.sh"
e2e_begin "$DESKTOP" desktop-checks
# shellcheck source=tests/e2e/desktops/sway-checks.sh
. "$HERE/sway-checks.sh"
