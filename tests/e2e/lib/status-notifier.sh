# The program's StatusNotifierItem read over the session bus (kivo-sni-probe), for the desktops whose
# tray host is a StatusNotifierItem host: whatever watcher the desktop runs, the probe reads the item the
# way a host does.

sni_probe() { "$E2E_BUILD/tests/e2e/kivo-sni-probe" "$@" 2>/dev/null; }

# SNI_PROPS: the item's properties, read afresh; false while the program has no item registered.
sni_read_props() { SNI_PROPS=$(sni_probe props) && [ -n "$SNI_PROPS" ]; }
sni_prop() { sed -n "s/^prop $1 //p" <<<"$SNI_PROPS"; }
sni_registered() { sni_read_props; }

# colour, grey or none, from the item's icon pixmap; attention while the item asks for attention (a host
# then shows its attention icon instead).
sni_icon_state() {
  sni_read_props || {
    echo none
    return
  }
  [ "$(sni_prop Status)" = Active ] || {
    echo attention
    return
  }
  local r g b
  read -r r g b <<<"$(sni_prop IconColour)"
  if [ -n "$g" ] && is_colour_rgb "$r" "$g"; then
    echo colour
  elif [ -n "$g" ] && is_grey_rgb "$r" "$g"; then
    echo grey
  else
    echo none
  fi
}
sni_tooltip() { sni_read_props && sni_prop ToolTip.Title; }
# The labels of the item's exported menu, space-separated, in the protocol's form ("終了(_X)").
sni_menu_labels() { sni_probe menu | sed -n 's/^menu //p' | tr '\n' ' '; }
