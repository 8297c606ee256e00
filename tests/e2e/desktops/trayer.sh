# trayer: an XEmbed system tray on Xvfb, with dunst for notifications. The program docks its icon as an
# X window in the panel and draws its own balloon; the icon's state is read from its pixels.
# shellcheck source=tests/e2e/lib/x11.sh
. "$E2E_LIB/x11.sh"
# shellcheck source=tests/e2e/lib/dunst.sh
. "$E2E_LIB/dunst.sh"

DESKTOP_POPUP=balloon
DESKTOP_RIGHT_MENU=program

desktop_start() { # [--no-host]
  x11_start_display
  e2e_start_bus
  dunst_start
  [ "${1:-}" = --no-host ] || host_start
  return 0
}

host_start() {
  spawn trayer trayer --edge top --align right --widthtype request --height 24 --transparent true \
    --alpha 0 --tint 0x404040
  TRAYER_PID=$SPAWNED
  require "trayer shows its panel" wait_until 10 trayer_has_panel
}
host_stop() {
  # Killed, as a crashed tray host would be; bash's "Killed" notice is not news here.
  stop "$TRAYER_PID" KILL 2>/dev/null
  TRAYER_PID=""
}

# The trayer panel's geometry as "W H X Y", or false while it has none.
trayer_panel_geometry() {
  local g
  g=$(xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $(NF-1); exit}')
  [ -n "$g" ] || return 1
  local w=${g%%x*} rest=${g#*x}
  local h=${rest%%+*} xy=${rest#*+}
  echo "$w $h ${xy%%+*} ${xy#*+}"
}
trayer_has_panel() { trayer_panel_geometry >/dev/null; }

# The icon in the trayer panel: the panel is as wide as its icons, and the program's is the only one.
icon_shown() {
  local w h x y
  read -r w h x y < <(trayer_panel_geometry) || return 1
  [ "${w:-0}" -gt 10 ] || return 1
  ICON_X=$((x + w / 2)) ICON_Y=$((y + h / 2))
}
icon_state() {
  icon_shown || {
    echo none
    return
  }
  x11_icon_pixels_state
}
# Qt draws the tooltip of an XEmbed icon itself, as a window of the program; its text is not readable.
icon_tooltip() { return 1; }
tooltip_shown() { find_win balloon; }
host_menu_shown() { return 1; }
