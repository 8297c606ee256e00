# xfce: Xfce 4.18 on Xvfb: the xfwm4 window manager, xfce4-notifyd for notifications and one panel at
# the top with the systray plugin alone, which hosts StatusNotifierItems and XEmbed icons. The program's
# item is read over the bus; where the panel draws it is found from the panel's pixels.
# shellcheck source=tests/e2e/lib/x11.sh
. "$E2E_LIB/x11.sh"
# shellcheck source=tests/e2e/lib/status-notifier.sh
. "$E2E_LIB/status-notifier.sh"

E2E_REAL_DESKTOP=1
DESKTOP_POPUP=notification
DESKTOP_RIGHT_MENU=host
XFCE_LIBEXEC=/usr/lib/x86_64-linux-gnu/xfce4
XFCE_PANEL_H=28

desktop_start() { # [--no-host]
  export XDG_CURRENT_DESKTOP=XFCE XDG_SESSION_DESKTOP=xfce
  x11_start_display
  xfce_write_panel_config
  e2e_start_bus --activation
  spawn xfconfd "$XFCE_LIBEXEC/xfconf/xfconfd"
  spawn xfwm4 xfwm4 --compositor=off --sm-client-disable
  spawn notifyd "$XFCE_LIBEXEC/notifyd/xfce4-notifyd"
  require "xfce4-notifyd owns org.freedesktop.Notifications" wait_until 10 bus_has_name org.freedesktop.Notifications
  [ "${1:-}" = --no-host ] || host_start
  return 0
}

# One panel across the top with the systray plugin alone.
xfce_write_panel_config() {
  local dir=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
  mkdir -p "$dir"
  cat >"$dir/xfce4-panel.xml" <<EOF2
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="$XFCE_PANEL_H"/>
      <property name="background-style" type="uint" value="1"/>
      <property name="background-rgba" type="array">
        <value type="double" value="0.25"/><value type="double" value="0.25"/>
        <value type="double" value="0.25"/><value type="double" value="1"/>
      </property>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF2
}

host_start() {
  spawn panel xfce4-panel --disable-wm-check
  PANEL_PID=$SPAWNED
  require "the panel's systray owns org.kde.StatusNotifierWatcher" \
    wait_until 15 bus_has_name org.kde.StatusNotifierWatcher
}
host_stop() {
  stop "$PANEL_PID" KILL 2>/dev/null
  PANEL_PID=""
}

# The panel's processes: the panel and its plugins' wrappers.
xfce_panel_pids() { pgrep -f "xfce4-panel|panel/wrapper" | tr '\n' ' '; }

# The icon: the bounding box of the pixels in the panel that differ from its background (a border of
# that colour first, since trimming takes the corners' colour for the background).
icon_shown() {
  # The program's item, or its XEmbed icon (Qt docks one where it found no watcher at its start).
  [ -n "${PANEL_PID:-}" ] || return 1
  sni_registered || [ "$(count_of icon)" -gt 0 ] || return 1
  local box
  box=$(import -window root png:- 2>/dev/null | convert - -crop "${SCREEN_W}x${XFCE_PANEL_H}+0+0" +repage \
    -bordercolor '#404040' -border 1 -fuzz 12% -trim info:- 2>/dev/null | awk '{print $3, $4}')
  # "WxH PAGE+X+Y", e.g. "20x20 1026x30+3+5"
  [[ $box =~ ^([0-9]+)x([0-9]+)\ [0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] || return 1
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=$((BASH_REMATCH[3] - 1)) y=$((BASH_REMATCH[4] - 1))
  [ "$w" -ge 8 ] && [ "$w" -le 64 ] || return 1
  ICON_X=$((x + w / 2)) ICON_Y=$((y + h / 2))
}
icon_state() {
  if sni_registered; then
    sni_icon_state
  elif icon_shown; then
    x11_icon_pixels_state
  else
    echo none
  fi
}
icon_tooltip() { sni_tooltip; }
tooltip_shown() { xfce_has_kind balloon; }
host_menu_shown() { xfce_has_kind menu; }
xfce_has_kind() { # KIND: a window of the panel's processes of that kind
  local pid id w h rest
  for pid in $(xfce_panel_pids); do
    while read -r id w h rest; do
      [ -n "$id" ] && [ "$h" -gt 10 ] && [ "$(window_kind "$id")" = "$1" ] && return 0
    done < <(x11_windows_of "$pid")
  done
  return 1
}
