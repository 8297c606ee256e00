# The desktop checks on sway: the icon in swaybar's tray, grey then in colour; the menus as small
# floating windows that close on Escape and on a choice; the dial dialog one click away; a call as a
# desktop notification with the icon unchanged; swaybar restarted; the exit with the history kept.
desktop_start
start_sim --force regist=delay:1500
write_profile "$PBX" 0
start_app
require "the icon shows in swaybar's tray" wait_until 10 locate_icon
note "icon at $ICON_X,$ICON_Y"
icon_rgb() { local r g b; read -r r g b < <(icon_colour); [ -n "$g" ] && "is_${1}_rgb" "$r" "$g"; }
if [ "$(pbx_count regist)" -eq 0 ]; then
  check "grey before the registration" icon_rgb grey
fi
require "the program registers" wait_until 6 pbx_count_at_least regist 1
check "in colour after it" wait_until 5 icon_rgb colour
shot icon "200x$SWAY_BAR_H+$((SWAY_W - 200))+0"

# A left click: Activate, and 200 ms later the five-item menu as a window of its own.
mouse_away
icon_click 1
if check "a left click opens the left-click menu" wait_until 3 find_win トレイ左クリック; then
  check "floating, not tiled" test "$WFLOAT" = 1
  check "small ($WW x $WH), not the whole screen" eval '[ "$WW" -lt 400 ] && [ "$WH" -lt 300 ]'
  shot menu-left
  keys Escape
  check "Escape closes it" wait_until 3 no_win トレイ左クリック
fi
icon_click 1
if wait_until 3 find_placed_win トレイ左クリック; then
  pointer_move "$((SWAY_W - 100))" "$((SWAY_H - 100))"
  pointer_click 1
  mouse_away
  check "a click outside the menu closes it" wait_until 3 no_win トレイ左クリック
fi

icon_click 3
if check "a right click opens the right-click menu" wait_until 3 find_placed_win トレイ右クリック; then
  check "floating and small" eval '[ "$WFLOAT" = 1 ] && [ "$WW" -lt 400 ]'
  shot menu-right
  # A click on an item chooses it: バージョン情報(&A), the second of three.
  pointer_move "$((WX + WW / 2))" "$((WY + WH / 2))"
  pointer_click 1
  check "a click on an item closes the menu" wait_until 3 no_win トレイ右クリック
  check "and runs it: the about box" wait_until 3 find_win バージョン情報
  keys Return
  check "the about box closes" wait_until 3 no_win バージョン情報
fi

# The dial dialog: one click on the icon, then the menu's first item.
icon_click 1
wait_until 3 find_win トレイ左クリック
keys d
check "ダイヤル(&D) from the left-click menu opens the dial dialog" wait_until 3 find_win KIVODialer
check "the menu closed" no_win トレイ左クリック
shot dial
keys Escape
wait_until 3 no_win KIVODialer

# swaybar killed and started again: the icon comes back.
host_stop
t0=$(now_ms)
host_start
if check "the icon comes back within 5 s of the host's restart" wait_until 5 locate_icon; then
  note "after $(secs_since "$t0") s"
  check "in colour" wait_until 2 icon_rgb colour
fi

# A call: a notification of normal urgency or none, its text as the balloon's; the icon stays.
before=$(notify_calls)
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
if check "the call becomes a desktop notification" wait_until 4 eval '[ "$(notify_calls)" -gt '"$before"' ]'; then
  call=$(last_notify)
  check "with the caller's name and number" grep -q 'string "Vazi\[Sales\] - 0312345678"' <<<"$call"
  check "titled 着信" grep -q 'string "着信' <<<"$call"
  note "urgency: $(grep -A1 '"urgency"' <<<"$call" | tail -1 | xargs)"
fi
# Qt 6.4 shows its attention icon for a notification's time-out; until the tray code keeps the icon, this
# is reported, not checked.
if for_seconds 2 icon_rgb colour; then
  note "the icon stayed in colour"
else
  note "KNOWN FAULT: the icon changed during the notification"
fi
check "the call is in the history" wait_until 2 profile_is CDR CallNum1 0312345678
shot notification

# The call history window, placed by the compositor.
icon_click 1
wait_until 3 find_win トレイ左クリック
keys c
check "発着信履歴(&C) opens the call history window" wait_until 3 find_win 発着信履歴
keys Escape
check "Escape hides it" wait_until 3 no_win 発着信履歴

# 終了(&X): asks, Yes ends the program with status 0, the history kept.
icon_click 3
wait_until 3 find_win トレイ右クリック
keys x
check "終了(&X) asks the exit question" wait_until 3 find_win KIVODialer
keys Return
check "Yes ends the program" wait_app_exit 5
check "with status 0" test "${APP_RC:-}" = 0
check "the history is in the profile" profile_is CDR CallNum1 0312345678
if [ -n "${SWAY_XWAYLAND:-}" ]; then
  check "under Xwayland the call history window's rectangle is kept" test -n "$(profile_get cdr right)"
else
  check "on Wayland the call history window's rectangle is not kept" test -z "$(profile_get cdr right)"
fi

# The ordinary start at login: the program first, the tray host 3 s later. Until the tray code makes its
# icon anew when a host appears, this is reported, not checked.
host_stop
start_app
sleep 3
host_start
if wait_until 5 locate_icon; then
  note "started before swaybar, the icon shows once swaybar is there"
else
  note "KNOWN FAULT: started before swaybar, the program gets no icon"
fi
stop "$APP_PID"
