# The desktop's tray is a StatusNotifierItem host, as on most current desktops and under Wayland (here the
# suite's own watcher and host panel, kivo-sni-host, and dunst as the notification server): the icon
# registers with the watcher, its tooltip and icon follow the login state, Activate (a click in the host's
# panel) opens the left-click menu, the right-click menu is the item's exported menu and works from the
# host, and the balloon becomes a desktop notification, the caller's text escaped for a server that reads
# markup.
# desktops: sni

desktop_start
# The first registration is answered late, so that the state before it can be read in peace.
start_sim --force regist=delay:1500
write_profile "$PBX" 0
start_app
require "the icon registers with the StatusNotifierWatcher" wait_until 10 sni_saw '^registered '
note "$(grep '^registered ' "$WORK/sni.out")"
require "the item's properties can be read" sni_read_props
check "its id is KIVODialer" test "$(sni_prop Id)" = KIVODialer
check "its status is Active" test "$(sni_prop Status)" = Active
check "it has an icon picture" test -n "$(sni_prop IconPixmap)"
if [ "$(pbx_count regist)" -eq 0 ]; then
  check "before the first registration: grey, with the tooltip KIVODialer(未接続)" \
    eval '[ "$(icon_state)" = grey ] && [ "$(icon_tooltip)" = "KIVODialer(未接続)" ]'
  icon_shown && icon_hover && wait_until 2 tooltip_shown
  shot tooltip-grey "260x60+$((SCREEN_W - 260))+0"
fi

require "the program registers" wait_until 6 pbx_count_at_least regist 1
check "then: colour, with the tooltip KIVODialer" \
  wait_until 5 eval '[ "$(icon_state)" = colour ] && [ "$(icon_tooltip)" = KIVODialer ]'
icon_shown && icon_hover && wait_until 2 tooltip_shown
shot tooltip-colour "260x60+$((SCREEN_W - 260))+0"
check "the program shows no XEmbed icon" test "$(count_of icon)" -eq 0

check "the item exports the right-click menu with its three commands" \
  test "$(sni_menu_labels)" = "環境設定(_S) バージョン情報(_A) 終了(_X) "

# A click in the host's panel: Activate, which opens the left-click menu after the click timer.
mouse_away
icon_click 1
check "a left click in the panel activates the item" wait_until 3 sni_saw '^activated '
if check "which opens the program's left-click menu" wait_until 3 find_win menu; then
  window_geometry "$WIN"
  check "the five-item menu" test "$WH" -gt 90
  shot menu-left "320x$((WY + WH + 10))+$((SCREEN_W - 320))+0"
fi
keys Escape
wait_until 2 no_win menu

# A call: a desktop notification instead of the program's own balloon.
mouse_away
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
check "the call becomes a desktop notification" wait_until 4 notified 1
check "titled 着信 ($N_SUMMARY)" eval '[[ $N_SUMMARY == 着信* ]]'
check "with the caller's name and number" test "$N_BODY" = "Vazi[Sales] - 0312345678"
check "shown for 10 s" test "$N_TIMEOUT" = 10000
check "from KIVODialer" test "$N_APP" = KIVODialer
check "the program draws no balloon of its own" test "$(count_of balloon)" -eq 0
check "the call is in the history" wait_until 2 profile_is CDR CallNum1 0312345678
sleep 0.3
shot notification "420x140+$((SCREEN_W - 420))+0"

# A caller's name with markup in it: dunst reads the body as markup, so the program escapes the text and
# the name shows as it came, never as a link or formatting.
MARKUP_NAME='%3Cb%3EVazi%3C%2Fb%3E%20%26%20%3Ca%20href%3D%22http%3A%2F%2Fevil.invalid%2F%22%3Ex%3C%2Fa%3E'
notify 0312345005 "$MARKUP_NAME" "" %3Ci%3ET%3C%2Fi%3E
check "a name with markup reaches the server escaped" wait_until 4 eval 'notified 2 &&
  [ "$N_BODY" = "&lt;b&gt;Vazi&lt;/b&gt; &amp; &lt;a href=&quot;http://evil.invalid/&quot;&gt;x&lt;/a&gt; - 0312345005" ]'
check "the title is never markup ($N_SUMMARY)" eval '[[ $N_SUMMARY == "<i>T</i>"* ]]'

# The right-click menu, drawn by the host from the exported menu: 終了(&X) ends the program.
notifications_close
icon_click 3
check "a right click in the panel shows the item's menu" wait_until 3 host_menu_shown
sleep 0.3
shot menu-right "320x120+$((SCREEN_W - 320))+0"
mark_windows
keys x
check "終了(&X) from the host's menu asks the exit question" wait_until 3 find_new_win window KIVODialer
focus "$WIN"
keys Return
check "Yes ends the program" wait_app_exit 5
check "with status 0" test "${APP_RC:-}" = 0
check "and the item leaves the watcher" wait_until 3 sni_saw '^unregistered '
