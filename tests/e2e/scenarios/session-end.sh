# The desktop session ends under the program. The session's end request (SIGTERM) while the exit question
# waits for an answer: the open box does not hold the program, which ends at once with every call saved.
# Then the X server goes away under it: whatever way the program ends then, the calls it handled are in
# the profile, complete.
# desktops: trayer wine

start_registered_app
mouse_away
notify 0312345003 Vazi "" %E7%9D%80%E4%BF%A1
notify 0312345004 Vazi
require "two calls are in the history" wait_until 5 profile_is CDR CallNum2 0312345004
profile_erase_section CDR

mark_windows
require "終了(&X) in the right-click menu" menu_command 3 x
require "the exit question waits for an answer" wait_until 3 find_new_win window KIVODialer
t0=$(now_ms)
end_app_session
t=$(secs_since "$t0")
check "the end of the session ends the program at once, the open question notwithstanding ($t s)" within 0 3 "$t"
check "with status 0" test "$STOPPED_RC" = 0
check "both calls are saved" eval 'profile_is CDR CallNum1 0312345003 && profile_is CDR CallNum2 0312345004'

start_app
require "the icon docks again" wait_until 10 icon_shown
REGISTS=$(pbx_count regist)
require "the program registers again" wait_until 5 pbx_count_at_least regist $((REGISTS + 1))
mouse_away
notify 0312345005 Vazi
require "a third call is in the history" wait_until 5 profile_is CDR CallNum3 0312345005
x11_stop_display
check "the program does not outlive its display" wait_app_exit 5
note "it ended with status ${APP_RC:-?}"
check "the three calls are in the profile, complete" eval 'profile_is CDR CallNum1 0312345003 &&
  profile_is CDR CallNum3 0312345005 && profile_is CDR CallName3 Vazi && profile_is CDR Mode3 1 &&
  [ -n "$(profile_get CDR Time3)" ]'
