# The tray host goes away (killed) and comes back: the program runs on meanwhile and keeps every
# call; the icon docks in the new tray by itself, in colour, and works there: menus and balloons.
# desktops: trayer wine

start_registered_app

host_stop
check "the tray is gone" wait_until 3 eval '! icon_shown'
mouse_away
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
check "a call without a tray is still kept" wait_until 4 profile_is CDR CallNum1 0312345678
check "the program runs on" kill -0 "$APP_PID"

host_start
check "the icon docks in the new tray" wait_until 10 icon_shown
check "in colour, as the login state is" wait_until 3 icon_is_colour
shot_corner icon-back 120 28
check "a click on it opens the left-click menu" open_icon_menu 1
keys Escape
wait_until 2 no_win menu
mouse_away
notify 0398765432 "" "" %E7%9D%80%E4%BF%A1
check "an incoming call shows its balloon from the new tray" wait_until 4 find_win balloon
shot_corner balloon 440 100
check "and is kept after the first" wait_until 2 profile_is CDR CallNum2 0398765432
