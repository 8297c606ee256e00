# Thousands of hostile datagrams from four senders at once, random bytes of every length up to 3000 and
# incoming calls with broken UTF-8: the program neither crashes nor stops answering; a click on the icon
# right after opens the menu, and the end of the session still ends it cleanly.
# desktops: trayer wine

start_registered_app
mouse_away

# SENDER: 2000 datagrams to the program's port, every fourth a call for account 2001.
flood() {
  perl -MSocket -e '
    my ($port, $seed) = @ARGV;
    srand($seed);
    socket(my $s, PF_INET, SOCK_DGRAM, 0) or die "socket: $!";
    my $to = pack_sockaddr_in($port, inet_aton("127.0.0.1"));
    # Random bytes: slices of one block read at the start.
    open(my $random, "<", "/dev/urandom") or die "urandom: $!";
    read($random, my $pool, 65536) == 65536 or die "urandom: short read";
    for my $i (0 .. 1999) {
      my $bytes = $i % 4 == 0 ? "request\t2001\t\t03$i\t" . ("\xe7" x 1500) . "\t"
                              : substr($pool, int(rand(62000)), 1 + int(rand(3000)));
      send($s, $bytes, 0, $to);
    }' "$UDP_PORT" "$1"
}
t0=$(now_ms)
senders=()
for sender in 1 2 3 4; do
  flood "$sender" &
  senders+=($!)
done
wait "${senders[@]}"
note "8000 datagrams sent in $(secs_since "$t0") s"
check "the program runs on" kill -0 "$APP_PID"
check "a click on the icon right after opens the left-click menu" open_icon_menu 1
keys Escape
check "the menu closes" wait_until 2 no_win menu
check "the calls among them reach the history" wait_until 5 eval '[ -n "$(profile_get CDR CallNum1)" ]'
end_app_session
check "the end of the session ends it with status 0" test "$STOPPED_RC" = 0
