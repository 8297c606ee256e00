# sni: the suite's own StatusNotifierItem watcher and host panel (kivo-sni-host) on Xvfb, with dunst for
# notifications. The program registers an item instead of docking an XEmbed icon; a left click in the
# panel calls the item's Activate, a right click shows the item's exported menu drawn by the host.
# shellcheck source=tests/e2e/lib/x11.sh
. "$E2E_LIB/x11.sh"
# shellcheck source=tests/e2e/lib/dunst.sh
. "$E2E_LIB/dunst.sh"
# shellcheck source=tests/e2e/lib/status-notifier.sh
. "$E2E_LIB/status-notifier.sh"

DESKTOP_POPUP=notification
DESKTOP_RIGHT_MENU=host

desktop_start() { # [--no-host]
  x11_start_display
  e2e_start_bus
  dunst_start
  [ "${1:-}" = --no-host ] || host_start
  return 0
}

# The host's report lines go to $WORK/sni.out (see tests/e2e/sni/SniHost.h). It ends when its standard
# input does: a pipe that this shell holds open, read and written, so that neither side waits to open it.
host_start() {
  [ -p "$WORK/sni.in" ] || {
    mkfifo "$WORK/sni.in"
    exec 7<>"$WORK/sni.in"
  }
  : >"$WORK/sni.out"
  "$E2E_BUILD/tests/e2e/kivo-sni-host" <"$WORK/sni.in" >"$WORK/sni.out" 2>>"$WORK/sni.log" &
  SNI_PID=$!
  E2E_PIDS+=("$SNI_PID")
  require "the host owns org.kde.StatusNotifierWatcher" wait_until 10 sni_saw '^ready$'
  local panel
  panel=$(xdotool search --name '^kivo-sni-host$' | head -1)
  window_geometry "$panel"
  SNI_X=$((WX + WW / 2)) SNI_Y=$((WY + WH / 2))
}
host_stop() {
  stop "$SNI_PID" KILL 2>/dev/null
  SNI_PID=""
}
sni_saw() { grep -q "$1" "$WORK/sni.out" 2>/dev/null; }

icon_shown() {
  [ -n "${SNI_PID:-}" ] && sni_registered || return 1
  ICON_X=$SNI_X ICON_Y=$SNI_Y
}
icon_state() { sni_icon_state; }
icon_tooltip() { sni_tooltip; }
tooltip_shown() {
  local id w h rest
  while read -r id w h rest; do
    [ -n "$id" ] && [ "$(window_kind "$id")" = balloon ] && return 0
  done < <(x11_windows_of "$SNI_PID")
  return 1
}
host_menu_shown() { x11_menu_of "$SNI_PID"; }
