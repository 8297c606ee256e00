# What a user of this desktop sees of the program: the icon grey, then in colour after the registration,
# with its tooltip; the dial dialog one click away and every command of both menus reachable; an incoming
# call as a popup (a desktop notification of normal urgency, or the program's own balloon next to an
# XEmbed icon) with its title and text, the icon unchanged meanwhile; the icon back within 5 s of a
# restart of the tray host; 終了(&X) ending with status 0 and the calls in the profile, the call history
# window's rectangle with them where the program can place its windows (not natively on Wayland); and the
# host started 3 s after the program: the icon within 5 s. Where the host draws the item's exported menu on
# a left click (GNOME Shell), that click shows every command, the dial command first, and a second click on
# an item runs it. Where the program shows its own menu, it is a small window, floating where the window
# manager tiles (sway: the desktop's window_floats), and it closes on Escape, on a click outside it and on
# a click on an item.
# desktops: trayer sni xfce plasma gnome sway sway-xwayland

desktop_start
# (No delayed reply to hold the grey state: the program waits for the exchange's reply on its user
# interface thread, and would show no tooltip meanwhile.) The first registration comes 2 s after the start.
start_sim
write_profile "$PBX" 0
start_app
# Grey until the first registration 2 s after the start; a host slow to take the item may only see it
# after that, which is noted, as for the tooltip below.
GREY=""
wait_until 2 eval 'icon_is_grey && GREY=1 || [ "$(pbx_count regist)" -gt 0 ]'
if [ -n "$GREY" ] || [ "$(pbx_count regist)" -eq 0 ]; then
  check "the icon is grey before the first registration" test -n "$GREY"
else
  note "the registration came before the host showed the item"
fi
require "the icon shows in the tray" wait_until 10 icon_shown
note "at $ICON_X,$ICON_Y after $(secs_since "$APP_START") s"

# The tooltip: the text where the host has it, else that it shows on the pointer.
tooltip_is() { # TEXT
  local tip
  if tip=$(icon_tooltip); then
    [ "$tip" = "$1" ] || {
      note "tooltip: $tip"
      return 1
    }
  else
    # Tried twice: a pointer that arrives while the host is still busy may not count as a rest.
    icon_hover && wait_until 2 tooltip_shown && return 0
    icon_hover && wait_until 3 tooltip_shown
  fi
}
if [ "$(pbx_count regist)" -eq 0 ]; then
  check "with the tooltip KIVODialer(未接続)" tooltip_is "KIVODialer(未接続)"
else
  note "the registration came before the tooltip could be read"
fi
require "the program registers" wait_until 6 pbx_count_at_least regist 1
check "the icon turns to colour" wait_until 3 icon_is_colour
check "with the tooltip KIVODialer" wait_until 3 tooltip_is KIVODialer
icon_hover
wait_until 3 tooltip_shown && shot tooltip
mouse_away

# --- The commands. A left click: the five-item menu, its first command the dial dialog (where the host
# draws the menu of a left click, as GNOME Shell does, the exported menu with every command).
left_command() { # KEY: a left click on the icon, then the command by its mnemonic
  menu_command 1 "$1"
}
# The program's own menu, open (MENU): a small window that has come to its place, floating where the
# desktop tiles windows.
own_menu_checks() {
  wait_until 2 window_settled "$MENU"
  window_geometry "$MENU"
  if declare -F window_floats >/dev/null; then
    check "floating, not tiled" window_floats "$MENU"
  fi
  check "small (${WW}x$WH), not the whole screen" eval '[ "$WW" -lt 400 ] && [ "$WH" -lt 300 ]'
}
# Its rectangle the same twice, 0.2 s apart (a compositor may centre a new window after its first frame).
window_settled() {
  local was
  window_geometry "$1"
  was="$WX $WY $WW $WH"
  sleep 0.2
  window_geometry "$1"
  [ "$WX $WY $WW $WH" = "$was" ]
}
mark_windows
if check "a left click on the icon shows the program's menu" open_icon_menu 1; then
  shot_menu menu-left
  if [ -n "$MENU" ]; then
    own_menu_checks
    keys Escape
    check "Escape closes it" wait_until 3 no_win menu
    if open_icon_menu 1 && [ -n "$MENU" ]; then
      wait_until 2 window_settled "$MENU"
      click_at "$((SCREEN_W - 100))" "$((SCREEN_H - 100))" 1
      mouse_away
      check "a click outside the menu closes it" wait_until 3 no_win menu
    fi
    open_icon_menu 1
  fi
  menu_choose 1 d
  check "ダイヤル(&D) there opens the dial dialog" wait_until 3 find_new_win window KIVODialer
  DIAL=$WIN
  check "the menu closed" no_win menu
  shot dial
  focus "$DIAL"
  keys Escape
  wait_until 3 window_gone "$DIAL"
fi
check "発着信履歴(&C) opens the call history window" \
  eval 'left_command c && wait_until 3 find_win window 発着信履歴'
if [ -n "$WIN" ]; then
  focus "$WIN"
  keys Escape
  check "Escape hides it" wait_until 3 window_gone "$WIN"
fi
: >"$WORK/browser.log"
page_opened() { wait_until 5 grep -q "^200 http://127.0.0.1:[0-9]*$1\$" "$WORK/browser.log"; }
check "KIVO-PBX Manager(&M) opens the manager page" eval 'left_command m && page_opened /manager/'
check "PBXのアドレス帳を開く(&O) opens the address book" eval 'left_command o && page_opened /addrbook'
check "PBXの通話履歴を開く(&R) opens the exchange's call history" eval 'left_command r && page_opened /cdr'

# A right click: the three commands, from the program's menu or the host's drawing of the exported one.
mark_windows
if check "環境設定(&S) from a right click opens the settings dialog" \
  eval 'menu_command 3 s && wait_until 3 find_win window 環境設定'; then
  focus "$WIN"
  keys Escape
  wait_until 3 window_gone "$WIN"
fi
# バージョン情報(&A) by a click on it: in the program's own menu the middle one of the three; in the host's
# drawing of the exported menu, its item.
mark_windows
if check "a right click on the icon shows the right-click menu" open_icon_menu 3; then
  shot_menu menu-right
  if [ -n "$MENU" ]; then
    own_menu_checks
    click_at "$((WX + WW / 2))" "$((WY + WH / 2))" 1
    mouse_away
    check "a click on an item closes the menu" wait_until 3 no_win menu
  else
    menu_choose 3 a
  fi
  if check "バージョン情報(&A) opens the about box" wait_until 3 find_new_win window; then
    focus "$WIN"
    keys Return
    check "Return closes it" wait_until 3 window_gone "$WIN"
  fi
fi

# --- An incoming call.
mouse_away
wait_until 3 no_win menu
BEFORE=$(notification_count)
TIP_BEFORE=$(icon_tooltip)
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
SENT=$(now_ms)
popup_shown() {
  if [ "$(notification_count)" -gt "$BEFORE" ]; then
    POPUP=notification
  elif find_win balloon; then
    POPUP=balloon
  else
    return 1
  fi
}
# The drain takes a queued call within a second; its popup within 2 s of that.
if check "the call shows a popup within 3 s of the datagram" wait_until 3 popup_shown; then
  note "a $POPUP after $(secs_since "$SENT") s"
  sleep 0.5
  shot screen
  if [ "$POPUP" = notification ]; then
    notified $((BEFORE + 1))
    note "urgency ${N_URGENCY:-none}, icon ${N_ICON:-none}, time-out $N_TIMEOUT"
    check "of normal urgency (1, or none given)" eval '[ -z "$N_URGENCY" ] || [ "$N_URGENCY" = 1 ]'
    check "titled 着信" eval '[[ $N_SUMMARY == 着信* ]]'
    check "with the caller's name and number" test "$N_BODY" = "Vazi[Sales] - 0312345678"
    check "from KIVODialer, with its own icon (kivodialer)" eval '[ "$N_APP" = KIVODialer ] && [ "$N_ICON" = kivodialer ]'
    check "shown for 10 s" test "$N_TIMEOUT" = 10000
    # Where the desktop can tell what its screen shows of the notification (popup_on_screen).
    if declare -F popup_on_screen >/dev/null; then
      check "on the screen: a banner with the caller" wait_until 2 popup_on_screen "Vazi[Sales] - 0312345678"
    fi
  else
    check "where this desktop shows the program's own balloon" test "$DESKTOP_POPUP" = balloon
  fi
fi
check "the icon and its tooltip stay as they were while it shows" \
  for_seconds 3 eval '[ "$(icon_state)" = colour ] && [ "$(icon_tooltip)" = "$TIP_BEFORE" ]'
check "the call is in the history" wait_until 2 profile_is CDR CallNum1 0312345678

# --- The tray host restarts (once the notification's time is over, so that only the restart counts).
wait_until 11 eval '[ "$(icon_state)" != attention ]'
host_stop
host_start
RESTART=$(now_ms)
if check "the host restarted: the icon back within 5 s" wait_until 5 icon_shown; then
  note "after $(secs_since "$RESTART") s"
  check "in colour" wait_until 2 icon_is_colour
fi

# --- 終了(&X).
mark_windows
require "終了(&X) asks first" eval 'menu_command 3 x && wait_until 3 find_new_win window KIVODialer'
focus "$WIN"
keys Return
check "Yes ends the program" wait_app_exit 5
check "with status 0" test "${APP_RC:-}" = 0
check "the call is in the profile" profile_is CDR CallNum1 0312345678
# The program keeps the call history window's rectangle where it can place its windows again: on X,
# Xwayland included; a Wayland client learns no position.
if [ "$QT_QPA_PLATFORM" = wayland ]; then
  check "natively on Wayland the call history window's rectangle is not kept" \
    test -z "$(profile_get cdr right)"
else
  check "the call history window's rectangle is kept" test -n "$(profile_get cdr right)"
fi

# --- The host 3 s after the program (a session whose panel comes up late).
host_stop
start_app
sleep 3
host_start
LATE=$(now_ms)
if check "the host started 3 s after the program: the icon within 5 s" wait_until 5 icon_shown; then
  note "after $(secs_since "$LATE") s"
  check "in colour once registered" wait_until 5 icon_is_colour
fi
end_app_session
check "the end of the session ends it with status 0" test "$STOPPED_RC" = 0
