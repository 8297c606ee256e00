# Exit keeps the call history: "終了(&X)" asks first (No leaves everything running), Yes ends the program
# with status 0 and removes the icon, and the calls are in the profile. Started again on that profile,
# the program goes on from those calls; the end of the session (SIGTERM; WM_CLOSE on Windows) ends it
# cleanly with every call and the call history window's place saved.
# desktops: trayer wine

start_registered_app
mouse_away
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
wait_until 4 profile_is CDR CallNum1 0312345678
notify 0398765432
require "two calls are in the history" wait_until 4 profile_is CDR CallNum2 0398765432

# 終了(&X): the question, then No.
mark_windows
require "終了(&X) in the right-click menu" menu_command 3 x
require "asks first" wait_until 3 find_new_win window KIVODialer
BOX=$WIN
shot_window exit-question "$BOX"
focus "$BOX"
keys Escape
check "No closes the question" wait_until 3 window_gone "$BOX"
check "and the program runs on" for_seconds 1 kill -0 "$APP_PID"

# The calls go into the profile as they come; erased behind the program's back, only the save on the
# way out brings them back.
profile_erase_section CDR
mark_windows
menu_command 3 x
require "asked again" wait_until 3 find_new_win window KIVODialer
focus "$WIN"
keys Return
check "Yes ends the program" wait_app_exit 5
check "with status 0" test "${APP_RC:-}" = 0
check "the icon is gone from the tray" wait_until 3 eval '! icon_shown'
check "both calls are saved into the profile on the way out, oldest first" \
  eval 'profile_is CDR CallNum1 0312345678 && profile_is CDR CallName1 "Vazi[Sales]" && profile_is CDR CallNum2 0398765432'

# Started again on the same profile.
start_app
require "the icon docks again" wait_until 10 icon_shown
REGISTS=$(pbx_count regist)
require "the program registers again" wait_until 5 pbx_count_at_least regist $((REGISTS + 1))
mouse_away
notify 0355556666 %E5%B1%B1%E7%94%B0 "" %E7%9D%80%E4%BF%A1
check "a new call follows the two kept ones" wait_until 4 profile_is CDR CallNum3 0355556666
open_history_window
check "the window lists the new call first" row_copied "" "着信|0355556666|山田"
check "and the first kept call last" row_copied ctrl+End "着信|0312345678|Vazi[Sales]"
shot_window history "$HIST"

end_app_session
check "the end of the session ends the program with status 0" test "$STOPPED_RC" = 0
check "the three calls are in the profile" \
  eval 'profile_is CDR CallNum1 0312345678 && profile_is CDR CallNum2 0398765432 && profile_is CDR CallNum3 0355556666'
check "the call history window's place is saved" eval '[ "$(profile_get cdr right)" -gt 0 ]'
check "the icon is gone from the tray" wait_until 3 eval '! icon_shown'
shot screen
