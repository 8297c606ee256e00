# Incoming calls announced by the exchange: each pops up as a balloon from the icon with the caller's
# name and number, and becomes a received record in the profile's call history at once. A call for
# another account leaves no trace. The call history window ("発着信履歴(&C)" in the left-click menu) lists
# the records newest first, and gains the rows of calls that come while it is open; Ctrl+C copies a row.
# desktops: trayer wine

start_registered_app
mouse_away

# Called by Vazi of Sales; the title of the popup is 着信 (incoming call).
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
check "the call shows a balloon from the icon" wait_until 4 find_win balloon
window_geometry "$WIN"
shot balloon "$((WW + 40))x$((WY + WH + 10))+$((SCREEN_W - WW - 40))+0"
check "the call is a received record in the profile" \
  wait_until 2 profile_is CDR CallNum1 0312345678
check "with the caller's name and department" profile_is CDR CallName1 'Vazi[Sales]'
check "marked received" profile_is CDR Mode1 1
check "with the time of the call" \
  eval '[[ $(profile_get CDR Time1) =~ ^20[0-9]{2}/[01][0-9]/[0-3][0-9]\ [0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]]'

# A datagram for account 2002 at our port: the program ignores it.
sim "notify?account=2002&number=0311112222&to=127.0.0.1:$UDP_PORT" >/dev/null
# A call without a name.
notify 0398765432
check "a call without a name is the second record" wait_until 4 profile_is CDR CallNum2 0398765432
check "with an empty name" profile_is CDR CallName2 ""
check "the call for another account left no record" for_seconds 1.5 eval '[ -z "$(profile_get CDR CallNum3)" ]'

# The call history window.
open_history_window
check "the newest call is the first row" row_copied "" "着信|0398765432|"
check "the oldest call is the last row" row_copied ctrl+End "着信|0312345678|Vazi[Sales]"
shot_window history "$HIST"

# A call while the window is open: its row comes on top.
notify 0355556666 %E5%B1%B1%E7%94%B0 %E5%96%B6%E6%A5%AD %E7%9D%80%E4%BF%A1
check "a call while the window is open shows its balloon too" wait_until 4 find_win balloon
wait_until 4 profile_is CDR CallNum3 0355556666
focus "$HIST"
check "and comes on top of the open window's rows" row_copied ctrl+Home "着信|0355556666|山田[営業]"
shot screen
