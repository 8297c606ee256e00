# First start with an empty profile: the program sends nothing and shows nothing while it knows no
# exchange; the user opens "環境設定(&S)" from the right-click menu (Esc closes it without a trace; while it
# is open the menus still work and its command only brings it to the front), types the account, the
# password, a notification port (a wrong one first, refused with a message) and the exchange's address,
# and presses OK. The settings land in the profile (mode 0600), the registration with them follows about
# a second later, and the icon turns to colour.
# desktops: trayer wine

desktop_start
start_sim
start_app
require "the icon docks in the tray" wait_until 10 icon_shown
check "the icon is grey" icon_is_grey
check "no registration and no message while the settings are empty" for_seconds 3 no_win window
check "the exchange heard nothing" test "$(pbx_count regist)" -eq 0

require "環境設定(&S) in the right-click menu opens the settings dialog" menu_command 3 s
require "the settings dialog shows" wait_until 3 find_win window 環境設定
CONF=$WIN
shot_window settings-empty "$CONF"
focus "$CONF"
keys Escape
check "Esc (キャンセル) closes it" wait_until 3 window_gone "$CONF"
check "and stores nothing" eval '[ -z "$(profile_get Settings User)" ]'

menu_command 3 s
require "the settings dialog opens again" wait_until 3 find_win window 環境設定
CONF=$WIN

# While it is open the tray stays live: the menus open, and a command whose window is open only brings
# that window to the front.
check "the left-click menu opens while the settings dialog is open" open_icon_menu 1
keys Escape
wait_until 2 no_win menu
menu_command 3 s
check "環境設定(&S) again opens no second dialog" for_seconds 0.6 eval '[ "$(count_of window 環境設定)" = 1 ]'
mark_windows
menu_command 3 x
if check "終了(&X) asks beside the open dialog" wait_until 3 find_new_win window KIVODialer; then
  BOX=$WIN
  menu_command 3 x
  check "and again, no second question" for_seconds 0.6 eval '[ "$(count_of window KIVODialer)" = 1 ]'
  focus "$BOX"
  keys Escape
  check "No closes the question" wait_until 3 window_gone "$BOX"
fi
check "the settings dialog is still open" find_win window 環境設定

UDP_PORT=$(free_udp_port)
focus "$CONF"
# The fields in their tab order: account, password, notification port, ring time, exchange.
type_text 2001
keys Tab
type_text 2001
keys Tab ctrl+a
# A port that is no number first: OK refuses it with the framework's message, and the field is selected
# for the correction.
type_text 10x
keys Tab Tab
type_text "$PBX"
mark_windows
keys Return
if check "a notification port that is no number is refused with a message" \
  wait_until 3 find_new_win window KIVODialer; then
  shot_window settings-invalid-port "$WIN"
  focus "$WIN"
  keys Return
  wait_until 3 window_gone "$WIN"
fi
check "the dialog stays open" find_win window 環境設定
check "and nothing is stored yet" eval '[ -z "$(profile_get Settings User)" ]'
focus "$CONF"
type_text "$UDP_PORT"
shot_window settings "$CONF"
keys Return
OK_AT=$(now_ms)
check "OK closes the dialog" wait_until 3 window_gone "$CONF"

check "the profile holds the account" profile_is Settings User 2001
check "the profile holds the password" profile_is Settings Pass 2001
check "the profile holds the exchange" profile_is Settings PBX "$PBX"
check "the profile holds the notification port" profile_is Settings PortNum "$UDP_PORT"
check "the ring time keeps its default, 10 s" profile_is Settings Cbtime 10
# (The registry's user hive is the user's own by itself.)
[ "${DESKTOP_PROFILE:-file}" != file ] ||
  check "the profile is readable by the user alone" test "$(stat -c %a "$(PROFILE)")" = 600

check "the registration reaches the simulator" wait_until 5 pbx_count_at_least regist 1
t=$(secs_since "$OK_AT")
check "about a second after OK ($t s)" within 0 3 "$t"
check "with the typed account, password and port" \
  test "$(pbx_last_query regist)" = "callid=2001&passwd=2001&port=$UDP_PORT&type=0"
check "the icon turns to colour" wait_until 3 icon_is_colour
check "the exchange knows the workstation at the typed port" \
  wait_until 2 eval '[ "$(sim registrations)" = "2001	127.0.0.1	$UDP_PORT" ]'
shot_icon icon-colour
