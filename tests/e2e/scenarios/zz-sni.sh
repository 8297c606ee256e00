e2e_desktop none
coproc SNI { exec "$E2E_BUILD/tests/e2e/kivo-sni-host" 2>"$WORK/sni.log"; }
E2E_PIDS+=("$SNI_PID")
read -r -t 5 line <&"${SNI[0]}"; note "host: $line"
start_sim
write_profile "$PBX" 0
start_app
read -r -t 5 line <&"${SNI[0]}"; note "host: $line"
echo props >&"${SNI[1]}"
while read -r -t 5 line <&"${SNI[0]}"; do note "$line"; [ "$line" = end ] && break; done
wait_until 5 pbx_count_at_least regist 1; sleep 0.5
echo props >&"${SNI[1]}"
while read -r -t 5 line <&"${SNI[0]}"; do note "$line"; [ "$line" = end ] && break; done
echo menu >&"${SNI[1]}"
while read -r -t 5 line <&"${SNI[0]}"; do note "$line"; [ "$line" = end ] && break; done
xdotool search --name kivo-sni-host
w=$(xdotool search --name '^kivo-sni-host$' | head -1); window_geometry $w; note "panel $WX $WY $WW $WH"
xdotool mousemove $((WX+16)) $((WY+12)) sleep 0.05 click 1
read -r -t 5 line <&"${SNI[0]}"; note "host: $line"
sleep 0.8; app_windows
shot menu
keys Escape; sleep 0.3
notify 0312345678 Vazi Sales %E7%9D%80%E4%BF%A1
sleep 1.5
cat "$WORK/notifications.log"
shot balloon
xdotool mousemove $((WX+16)) $((WY+12)) sleep 0.05 click 3
sleep 0.5
shot rmenu
keys x; read -r -t 5 line <&"${SNI[0]}"; note "host: $line"
sleep 0.5; app_windows
cat $WORK/sni.log
