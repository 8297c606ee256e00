# The desktop checks on sway: the icon in swaybar's tray, grey then in colour, with its tooltip; the menus
# as small floating windows that close on Escape and on a choice; the dial dialog one click away and every
# command of both menus; a call as a desktop notification of normal urgency with the icon unchanged;
# swaybar restarted and started after the program; the exit with the history kept.
desktop_start
start_sim --force regist=delay:1500
write_profile "$PBX" 0
start_app
require "the icon shows in swaybar's tray" wait_until 10 locate_icon
note "icon at $ICON_X,$ICON_Y"
icon_rgb() { local r g b; read -r r g b < <(icon_colour); [ -n "$g" ] && "is_${1}_rgb" "$r" "$g"; }
if [ "$(pbx_count regist)" -eq 0 ]; then
  check "grey before the registration" icon_rgb grey
  check "with the tooltip KIVODialer(未接続)" test "$(sni_tooltip)" = "KIVODialer(未接続)"
fi
require "the program registers" wait_until 6 pbx_count_at_least regist 1
check "in colour after it" wait_until 5 icon_rgb colour
check "with the tooltip KIVODialer" wait_until 3 eval '[ "$(sni_tooltip)" = KIVODialer ]'
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

# The other commands, each from its menu by its mnemonic.
menu_key() { # MENU-TITLE KEY
  icon_click "$([ "$1" = トレイ右クリック ] && echo 3 || echo 1)"
  wait_until 3 find_win "$1" && keys "$2"
}
: >"$WORK/browser.log"
page_opened() { wait_until 5 grep -q "^200 http://127.0.0.1:[0-9]*$1\$" "$WORK/browser.log"; }
check "KIVO-PBX Manager(&M) opens the manager page" eval 'menu_key トレイ左クリック m && page_opened /manager/'
check "PBXのアドレス帳を開く(&O) opens the address book" eval 'menu_key トレイ左クリック o && page_opened /addrbook'
check "PBXの通話履歴を開く(&R) opens the exchange's call history" eval 'menu_key トレイ左クリック r && page_opened /cdr'
if check "環境設定(&S) from the right-click menu opens the settings dialog" \
  eval 'menu_key トレイ右クリック s && wait_until 3 find_win 環境設定'; then
  keys Escape
  wait_until 3 no_win 環境設定
fi

# swaybar killed and started again: the icon comes back.
host_stop
t0=$(now_ms)
host_start
if check "the icon comes back within 5 s of the host's restart" wait_until 5 locate_icon; then
  note "after $(secs_since "$t0") s"
  check "in colour" wait_until 2 icon_rgb colour
fi

# A call: a notification of normal urgency or none, its text as the balloon's; the icon stays.
before=$(notification_count)
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
sent=$(now_ms)
# The drain takes a queued call within a second; its popup within 2 s of that.
if check "the call becomes a desktop notification within 3 s" \
  wait_until 3 eval '[ "$(notification_count)" -gt '"$before"' ]'; then
  note "after $(secs_since "$sent") s"
  notified $((before + 1))
  check "with the caller's name and number" test "$N_BODY" = "Vazi[Sales] - 0312345678"
  check "titled 着信" eval '[[ $N_SUMMARY == 着信* ]]'
  check "of normal urgency (1, or none given)" eval '[ -z "$N_URGENCY" ] || [ "$N_URGENCY" = 1 ]'
  check "from KIVODialer, with its own icon, for 10 s" \
    eval '[ "$N_APP" = KIVODialer ] && [ "$N_ICON" = kivodialer ] && [ "$N_TIMEOUT" = 10000 ]'
fi
check "the icon and its tooltip stay as they were while it shows" \
  for_seconds 2 eval 'icon_rgb colour && [ "$(sni_tooltip)" = KIVODialer ]'
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

# The ordinary start at login: the program first, the tray host 3 s later.
host_stop
start_app
sleep 3
late=$(now_ms)
host_start
if check "swaybar started 3 s after the program: the icon within 5 s" wait_until 5 locate_icon; then
  note "after $(secs_since "$late") s"
  check "in colour once registered" wait_until 5 icon_rgb colour
fi
stop "$APP_PID" TERM
check "SIGTERM ends it with status 0" test "$STOPPED_RC" = 0
