# sway with the program on Xwayland (QT_QPA_PLATFORM=xcb): the sway desktop otherwise.
SWAY_XWAYLAND=1
# shellcheck source=tests/e2e/desktops/sway.sh
. "$(dirname "${BASH_SOURCE[0]}")/sway.sh"
