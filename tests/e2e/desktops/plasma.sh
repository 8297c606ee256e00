# plasma: KDE Plasma 5.27 on Xvfb: kwin_x11 as the window manager, kded5 with its StatusNotifierWatcher,
# xembedsniproxy for XEmbed icons, and plasmashell with its default panel at the bottom, whose system
# tray hosts the items and draws their exported menus, and which is the notification server. The
# program's item is read over the bus; where the tray draws it is found from the panel's pixels.
# shellcheck source=tests/e2e/lib/x11.sh
. "$E2E_LIB/x11.sh"
# shellcheck source=tests/e2e/lib/status-notifier.sh
. "$E2E_LIB/status-notifier.sh"

E2E_REAL_DESKTOP=1
DESKTOP_POPUP=notification
DESKTOP_RIGHT_MENU=host
PLASMA_PANEL_H=44

desktop_start() { # [--no-host]
  export XDG_CURRENT_DESKTOP=KDE XDG_SESSION_DESKTOP=KDE KDE_SESSION_VERSION=5 KDE_FULL_SESSION=true
  export KWIN_COMPOSE=N
  # Links open through kde-open, which takes the web browser from the settings, not from $BROWSER.
  printf '[General]\nBrowserApplication=!%s\n' "$BROWSER" >"$XDG_CONFIG_HOME/kdeglobals"
  x11_start_display
  e2e_start_bus --activation
  spawn kwin kwin_x11
  spawn kded kded5
  require "kded5 owns org.kde.StatusNotifierWatcher" wait_until 15 bus_has_name org.kde.StatusNotifierWatcher
  spawn xembedsniproxy xembedsniproxy
  [ "${1:-}" = --no-host ] || host_start
  return 0
}

# The host: plasmashell, ready once its panel is drawn and it serves notifications.
host_start() {
  spawn plasmashell plasmashell --no-respawn
  PLASMA_PID=$SPAWNED
  require "plasmashell owns org.freedesktop.Notifications" \
    wait_until 30 bus_has_name org.freedesktop.Notifications
  require "plasmashell draws its panel" wait_until 30 plasma_panel_shown
}
host_stop() {
  stop "$PLASMA_PID" KILL 2>/dev/null
  PLASMA_PID=""
  wait_until 5 eval '! bus_has_name org.freedesktop.Notifications'
}
plasma_panel_shown() {
  local pid id w h rest
  while read -r id w h rest; do
    [ "$w" = "$SCREEN_W" ] && [ "$h" = "$PLASMA_PANEL_H" ] && return 0
  done < <(x11_windows_of "$PLASMA_PID")
  return 1
}

# The icon: the program's item registered, and its colour in the tray's part of the panel (the right
# half; the task manager's launchers on the left may be coloured too). Only the colour icon can be told
# from the tray's other, monochrome icons, so the icon is found once registered.
icon_shown() {
  [ -n "${PLASMA_PID:-}" ] && sni_registered || return 1
  local top=$((SCREEN_H - PLASMA_PANEL_H)) left=$((SCREEN_W / 2)) box
  box=$(import -window root -crop "$((SCREEN_W - left))x${PLASMA_PANEL_H}+$left+$top" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[ ,:()]+' 'NR > 1 && $4 > $3 + 40 && $4 > $5 + 20 {
        if (n++ == 0) { x0 = x1 = $1; y0 = y1 = $2 }
        if ($1 < x0) x0 = $1; if ($1 > x1) x1 = $1; if ($2 < y0) y0 = $2; if ($2 > y1) y1 = $2 }
      END { if (n > 20) print x0, y0, x1, y1 }')
  [ -n "$box" ] || return 1
  local x0 y0 x1 y1
  read -r x0 y0 x1 y1 <<<"$box"
  [ $((x1 - x0)) -le 48 ] || return 1
  ICON_X=$((left + (x0 + x1) / 2)) ICON_Y=$((top + (y0 + y1) / 2))
}
icon_state() { sni_icon_state; }
icon_tooltip() { sni_tooltip; }
tooltip_shown() { plasma_has_kind balloon; }
host_menu_shown() { [ -n "${PLASMA_PID:-}" ] && x11_menu_of "$PLASMA_PID"; }
plasma_has_kind() { # KIND: a window of plasmashell of that kind
  local id w h rest
  while read -r id w h rest; do
    [ -n "$id" ] && [ "$h" -gt 10 ] && [ "$(window_kind "$id")" = "$1" ] && return 0
  done < <(x11_windows_of "$PLASMA_PID")
  return 1
}
