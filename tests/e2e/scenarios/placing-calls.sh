# Placing calls, each time checked in the simulator's request log:
# - from the dial dialog: opened by a double click on the icon with a telephone number in the clipboard
#   (prefilled, filtered to digits), and from "ダイヤル(&D)" with a number typed; the exchange's reply shows
#   in a message box, the dialled numbers go to the dial history and the call history; a refused call
#   keeps the dialog open and stores nothing;
# - from the call history window: a double click on a row asks "確認" first; No sends nothing, Yes calls;
# - through a telephone link, `xdg-open tel:0312345678`, with the program's desktop entry as the handler
#   (on Windows the shell, with the program as the URL protocol's command).
# desktops: trayer wine

start_registered_app

# A reply box: the newest dialog named KIVODialer; answered with Return.
answer_reply() { # SCREENSHOT-NAME
  wait_until 5 find_new_win window KIVODialer || return 1
  local box=$WIN
  [ -n "${1:-}" ] && shot_window "$1" "$box"
  focus "$box"
  keys Return
  wait_until 3 window_gone "$box"
}
call_sent() { # DIALNO: the simulator's last call request asked for it (ring time 10 s)
  [ "$(pbx_last_query call)" = "callid=2001&passwd=2001&dialno=$1&cbtime=10" ]
}

# --- The dial dialog, opened by a double click, the clipboard holding a business card's line.
printf 'TEL 045-222-3333\nFAX 045-222-3334\n' >"$WORK/card.txt"
spawn xclip xclip -selection clipboard -quiet -i "$WORK/card.txt"
CLIP_PID=$SPAWNED
wait_until 2 eval '[ "$(clipboard)" = "$(cat "$WORK/card.txt")" ]'
mark_windows
icon_click 1 2
require "a double click opens the dial dialog" wait_until 3 find_new_win window KIVODialer
DIAL=$WIN
shot_window dial "$DIAL"
focus "$DIAL"
mark_windows
keys Return
check "ダイヤル places the call with the number from the clipboard's first line" wait_until 5 eval 'call_sent 0452223333'
check "the exchange's reply shows in a message box" answer_reply dial-reply
check "the dialog closes after the accepted call" wait_until 3 window_gone "$DIAL"
check "the number heads the dial history" profile_is DstNo list1 0452223333
check "and is a placed call in the call history" \
  eval 'profile_is CDR CallNum1 0452223333 && profile_is CDR Mode1 0 && profile_is CDR CallName1 ""'
stop "$CLIP_PID"

# --- From the left-click menu, a number typed as people write it.
require "ダイヤル(&D) in the left-click menu opens the dial dialog" menu_command 1 d
require "a fresh dial dialog" wait_until 3 find_win window KIVODialer
DIAL=$WIN
focus "$DIAL"
keys ctrl+a
type_text "(03) 1234-5678 #2"
mark_windows
keys Return
check "the call goes out with the digits only" wait_until 5 eval 'call_sent 03123456782'
check "the reply shows" answer_reply
check "the typed text heads the dial history, the earlier number follows" \
  eval 'profile_is DstNo list1 "(03) 1234-5678 #2" && profile_is DstNo list2 0452223333'
check "the call history keeps the number as typed" profile_is CDR CallNum2 "(03) 1234-5678 #2"

# --- A refused call: the dialog stays, nothing is stored.
sim "force?kind=call&body=Call_NG" >/dev/null
menu_command 1 d
require "the dial dialog opens again" wait_until 3 find_win window KIVODialer
DIAL=$WIN
focus "$DIAL"
keys ctrl+a
type_text 0399990000
mark_windows
keys Return
check "the refused call was asked for" wait_until 5 eval 'call_sent 0399990000'
check "its message shows" answer_reply dial-refused
check "the dial dialog stays open" find_win window KIVODialer
check "the dial history is unchanged" profile_is DstNo list1 "(03) 1234-5678 #2"
check "the call history has no new record" eval '[ -z "$(profile_get CDR CallNum3)" ]'
focus "$DIAL"
keys Escape
check "閉じる (Esc) closes it" wait_until 3 window_gone "$DIAL"

# --- From the call history window: calling back a caller.
mouse_away
notify 0355556666 %E5%B1%B1%E7%94%B0 %E5%96%B6%E6%A5%AD %E7%9D%80%E4%BF%A1
wait_until 4 profile_is CDR CallNum3 0355556666
open_history_window
check "the caller is the first row" row_copied "" "着信|0355556666|山田[営業]"
check "the call placed from the dial dialog is the next row" row_copied Down "発信|(03) 1234-5678 #2|"
shot_window history "$HIST"
CALLS=$(pbx_count call)
mark_windows
click_first_row "$HIST" 2
if check "a double click on the row asks 確認 first" wait_until 3 find_new_win window 確認; then
  shot_window call-back-question "$WIN"
  focus "$WIN"
  keys Escape
  check "No sends nothing" for_seconds 1 eval '[ "$(pbx_count call)" -eq "$CALLS" ]'
fi
mark_windows
click_first_row "$HIST" 2
if wait_until 3 find_new_win window 確認; then
  focus "$WIN"
  mark_windows
  keys Return
  check "Yes calls the row's number" wait_until 5 eval 'call_sent 0355556666'
  check "the reply shows" answer_reply
fi
check "calling back adds no record to the call history" eval '[ -z "$(profile_get CDR CallNum4)" ]'
check "nor to the dial history" profile_is DstNo list1 "(03) 1234-5678 #2"
focus "$HIST"
keys Escape
wait_until 3 window_gone "$HIST"

# --- A telephone link, handed to the program by the desktop (xdg-open and the desktop entry; on Windows
# the shell and the URL protocol).
install_link_handler
PANEL_WIDTH=$(trayer_panel_geometry | cut -d' ' -f1)
check "the program handles tel: links" link_handler_is_ours
CALLS=$(pbx_count call)
check "opening tel:0312345678 ends" open_link tel:0312345678
check "the link placed the call to 0312345678" wait_until 3 eval 'call_sent 0312345678'
check "with one request" test "$(pbx_count call)" -eq $((CALLS + 1))
check "the program runs on, the one icon in the tray" \
  eval 'kill -0 "$APP_PID" && [ "$(trayer_panel_geometry | cut -d" " -f1)" = "$PANEL_WIDTH" ]'
shot screen
