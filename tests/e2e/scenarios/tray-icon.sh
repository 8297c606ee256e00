# The icon in an XEmbed tray: grey with "KIVODialer(未接続)" until the first registration two seconds after
# the start, then colour; a click opens the left-click menu once the 200 ms click timer has run out, a
# double click runs the double-click action (here the exchange's address book) and opens no menu, a right
# click opens the right-click menu at once; "バージョン情報(&A)" opens the about box.
# desktops: trayer wine

desktop_start
start_sim
write_profile "$PBX" 3
start_app
require "the icon docks in the tray" wait_until 10 icon_shown

# The tooltip shows after the pointer rests on the icon.
hover_icon() {
  mouse_away
  wait_until 2 no_win balloon
  icon_hover
  wait_until 3 tooltip_shown
}
check "grey icon before the first registration ($(secs_since "$APP_START") s after the start)" icon_is_grey
if check "the tooltip shows while the pointer rests on the icon" hover_icon &&
  [ "$(pbx_count regist)" -eq 0 ]; then
  shot tooltip-grey "280x60+$((ICON_X - 260))+0"
fi
mouse_away

wait_until 5 pbx_count_at_least regist 1
t=$(secs_since "$APP_START")
check "one registration, about 2 s after the start ($t s)" within 1 4 "$t"
check "it sends the account, the password and the notification port" \
  test "$(pbx_last_query regist)" = "callid=2001&passwd=2001&port=$UDP_PORT&type=0"
check "the icon turns to colour" wait_until 2 icon_is_colour
shot_icon icon-colour
hover_icon && shot tooltip-colour "280x60+$((ICON_X - 260))+0"
mouse_away

# A single click: the menu comes with the click timer, not at once.
wait_until 2 no_win balloon
icon_click 1
check "no menu at the moment of the click" no_win menu
check "a single click opens the left-click menu" wait_until 2 find_win menu
window_geometry "$WIN"
LEFT_HEIGHT=$WH
shot_window menu-left "$WIN" 0
shot menu-left-tray "300x$((WH + 30))+$((SCREEN_W - 300))+0"
keys Escape
wait_until 2 no_win menu

: >"$WORK/browser.log"
icon_click 1 2
check "a double click opens no menu" for_seconds 0.8 no_win menu
check "the double click opened the address book, logged in" \
  wait_until 5 grep -q '^200 http://127.0.0.1:[0-9]*/addrbook$' "$WORK/browser.log"
check "through the exchange's login page with the account" \
  grep -q "^http://$PBX/manager/login?username=2001&password=2001&redirecturl=%2Faddrbook$" "$WORK/browser.log"

check "the next single click opens the menu again" open_icon_menu 1
keys Escape
wait_until 2 no_win menu

t0=$(now_ms)
if check "a right click opens the right-click menu" open_icon_menu 3; then
  note "after $(secs_since "$t0") s"
  window_geometry "$MENU"
  check "the right-click menu is shorter (3 items against 5)" test "$WH" -lt "$LEFT_HEIGHT"
  shot_window menu-right "$MENU" 0
  shot menu-right-tray "300x$((WH + 30))+$((SCREEN_W - 300))+0"
fi

# About: the right-click menu's "バージョン情報(&A)".
keys a
if check "バージョン情報(&A) opens the about box" wait_until 3 find_win window; then
  ABOUT=$WIN
  note "its caption: $(xdotool getwindowname "$ABOUT")"
  shot_window about "$ABOUT"
  focus "$ABOUT"
  keys Return
  check "OK closes it" wait_until 3 window_gone "$ABOUT"
fi
shot screen
