# dunst as the notification server of the desktops without one of their own.

dunst_start() {
  mkdir -p "$XDG_CONFIG_HOME/dunst"
  cat >"$XDG_CONFIG_HOME/dunst/dunstrc" <<EOF2
[global]
    font = Noto Sans CJK JP 10
    origin = top-right
    offset = 10x40
    width = 320
    frame_width = 1
    frame_color = "#8c8c8c"
[urgency_low]
    background = "#ffffee"
    foreground = "#202020"
[urgency_normal]
    background = "#ffffee"
    foreground = "#202020"
EOF2
  spawn dunst dunst -config "$XDG_CONFIG_HOME/dunst/dunstrc"
  require "dunst owns org.freedesktop.Notifications" wait_until 10 bus_has_name org.freedesktop.Notifications
}
# Closes the notifications on screen.
notifications_close() { dunstctl close-all 2>/dev/null; }
