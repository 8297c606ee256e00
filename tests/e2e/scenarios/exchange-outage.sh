# The exchange goes away and comes back. While it is gone, the registration that follows OK in the
# settings dialog fails: the icon turns grey, four retries follow 10 s apart, and the fifth failure
# shows one give-up message and stops retrying. The exchange comes back on the same port: nothing
# happens by itself, and after OK in the settings dialog the program registers again.

start_registered_app

# Opens the settings dialog from the right-click menu and closes it with OK, unchanged.
settings_ok() {
  menu_command 3 s || return 1
  wait_until 3 find_win window 環境設定 || return 1
  local conf=$WIN
  focus "$conf"
  keys Return
  wait_until 3 window_gone "$conf"
}

stop_sim
check "the exchange is gone" eval '! curl -s --max-time 2 "http://$PBX/" >/dev/null'
require "settings, OK" settings_ok
OK_AT=$(now_ms)
check "the registration a second later fails: the icon turns grey" wait_until 4 icon_is_grey
note "grey after $(secs_since "$OK_AT") s"
shot_icon icon-grey

mark_windows
if check "the fifth failure shows the give-up message" wait_until 50 find_new_win window KIVODialer; then
  BOX=$WIN
  t=$(secs_since "$OK_AT")
  check "after four retries 10 s apart, about 41 s after OK ($t s)" within 38 47 "$t"
  shot_window give-up "$BOX"
  check "it is the only message" for_seconds 2 eval '[ "$(count_of window KIVODialer)" -eq 1 ]'
  check "the icon stays grey" icon_is_grey
  focus "$BOX"
  keys Return
  check "OK closes it" wait_until 3 window_gone "$BOX"
fi

# The exchange comes back where it was.
start_sim --port "$SIM_PORT"
REGISTS=$(pbx_count regist)
check "the retries have stopped: nothing is sent by itself" for_seconds 3 eval '[ "$(pbx_count regist)" -eq "$REGISTS" ]'
require "settings, OK" settings_ok
OK_AT=$(now_ms)
check "the program registers again" wait_until 5 pbx_count_at_least regist $((REGISTS + 1))
note "after $(secs_since "$OK_AT") s"
check "the icon turns to colour" wait_until 3 icon_is_colour
shot_icon icon-colour
