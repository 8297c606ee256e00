# sway with the program on Xwayland (QT_QPA_PLATFORM=xcb): the sway desktop otherwise. (The suite reads
# these lines from the desktop's own file: real, in the sandbox, with the input client.)
E2E_REAL_DESKTOP=1
E2E_SANDBOX=1
E2E_NEEDS=kivo-wl-input
SWAY_XWAYLAND=1
# shellcheck source=tests/e2e/desktops/sway.sh
. "$(dirname "${BASH_SOURCE[0]}")/sway.sh"
