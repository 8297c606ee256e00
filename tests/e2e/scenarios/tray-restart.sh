# The tray host goes away (trayer killed) and comes back: the program runs on meanwhile and keeps every
# call; the icon docks in the new tray by itself, in colour, and works there: menus and balloons.

start_registered_app

e2e_stop_trayer
check "the tray is gone" wait_until 3 eval '! trayer_has_panel'
mouse_away
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
check "a call without a tray is still kept" wait_until 4 profile_is CDR CallNum1 0312345678
check "the program runs on" kill -0 "$APP_PID"

e2e_start_trayer
check "the icon docks in the new tray" wait_until 10 locate_icon
check "in colour, as the login state is" wait_until 3 icon_is_colour
shot icon-back "120x28+$((1024 - 120))+0"
check "a click on it opens the left-click menu" open_icon_menu 1
keys Escape
wait_until 2 no_win menu
mouse_away
notify 0398765432 "" "" %E7%9D%80%E4%BF%A1
check "an incoming call shows its balloon from the new tray" wait_until 4 find_win balloon
shot balloon "440x100+$((1024 - 440))+0"
check "and is kept after the first" wait_until 2 profile_is CDR CallNum2 0398765432
