# wine: the Windows program, KIVODialer.exe of the Windows build, under Wine on trayer. Wine's own shell
# (explorer.exe) docks the program's notification-area icon into the XEmbed tray and draws its balloons;
# the profile is the registry of a Wine prefix kept for these scenarios. The Windows build runs these
# scenarios (tests/win32): KIVO_WIN_BUILD_DIR names it, KIVO_BUILD_DIR the Linux build that gives the
# simulator.
E2E_WINDOWS=1
# shellcheck source=tests/e2e/desktops/trayer.sh
. "$E2E_ROOT/tests/e2e/desktops/trayer.sh"

E2E_WIN_BUILD=${KIVO_WIN_BUILD_DIR:-$E2E_ROOT/build-win}
WINE_EXE=$E2E_WIN_BUILD/KIVODialer.exe
export WINEPREFIX=$E2E_WIN_BUILD/wineprefix-e2e WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
PROFILE_KEY='HKCU\Software\Selvane-Works\KIVODialer'
DESKTOP_PROFILE=registry

# A Japanese Windows: code page 932 for the program (no glibc locale needed).
wine_run() { LC_ALL=ja_JP.UTF-8 wine "$@" </dev/null; }

desktop_start() { # [--no-host]
  x11_start_display
  e2e_start_bus
  dunst_start
  [ "${1:-}" = --no-host ] || host_start
  wine_session_start
}

# Wine's processes for this display: a wineserver of the scenario's own, whose shell docks into this
# display's tray. The prefix is made once (wineboot takes about 15 s), with the dialogs' font mapped to
# an installed CJK font.
wine_session_start() {
  wineserver -k 2>/dev/null
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    require "the Wine prefix is made" eval 'wine_run wineboot -i >"$WORK/wineboot.log" 2>&1'
    wine_run reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v 'MS UI Gothic' \
      /d 'Noto Sans CJK JP' /f >>"$WORK/wineboot.log" 2>&1
    wineserver -w
  fi
  at_exit 'wineserver -k 2>/dev/null'
  # Started before the program, with their output away from ours: wineserver and the shell.
  wineserver -p
  wine_run cmd /c exit >"$WORK/wine.log" 2>&1
  wine_run reg delete "$PROFILE_KEY" /f >>"$WORK/wine.log" 2>&1
  return 0
}

start_app() { # [ARGS...]
  spawn app env LC_ALL=ja_JP.UTF-8 wine "$WINE_EXE" "$@"
  APP_PID=$SPAWNED
  APP_START=$(now_ms)
}
# The end of the logon session as the system asks a program to go: WM_CLOSE to its windows.
end_app_session() {
  wine_run taskkill /im KIVODialer.exe >>"$WORK/wine.log" 2>&1
  wait_app_exit 10
  STOPPED_RC=${APP_RC:-}
}

# --- The profile: the registry -------------------------------------------------------------------------

write_profile() { # PBX [DBLCLK]
  UDP_PORT=$(free_udp_port)
  printf 'REGEDIT4\n\n[%s\\Settings]\n"User"="2001"\n"Pass"="2001"\n"PBX"="%s"\n"PortNum"=dword:%08x\n"DblClk"=dword:%08x\n' \
    'HKEY_CURRENT_USER\Software\Selvane-Works\KIVODialer' "$1" "$UDP_PORT" "${2:-0}" >"$WORK/profile.reg"
  wine_run reg import "$(winepath -w "$WORK/profile.reg" 2>/dev/null)" >>"$WORK/wine.log" 2>&1
}
# One value: a string as it is, a number in decimal. reg writes in the system's code page.
profile_get() { # SECTION KEY
  local type value
  read -r type value < <(wine_run reg query "$PROFILE_KEY\\$1" /v "$2" 2>/dev/null | iconv -f CP932 -t UTF-8 |
    tr -d '\r' | awk -v k="$2" '$1 == k {v = $0; sub(/^ *[^ ]+ +[^ ]+ +/, "", v); print $2, v; exit}')
  if [ "$type" = REG_DWORD ]; then
    echo $((value))
  elif [ -n "$type" ]; then
    echo "$value"
  fi
}
profile_erase_section() { # SECTION
  wine_run reg delete "$PROFILE_KEY\\$1" /f >>"$WORK/wine.log" 2>&1
}

# --- Windows: the program's, and the balloons and tooltips that Wine's shell draws for its icon ---------

app_windows() {
  x11_windows_of "$APP_PID"
  local w
  for w in $(xdotool search --onlyvisible --classname '^explorer\.exe$' 2>/dev/null); do
    [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "" ] || continue
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_DIALOG || continue
    local geom
    geom=$(xdotool getwindowgeometry "$w" 2>/dev/null | awk '/Geometry:/ {print $2}')
    [ -n "$geom" ] && echo "$w ${geom%x*} ${geom#*x} "
  done
}
# Wine gives every window the dialog type: a popup menu is the one without a name that its owner, the
# hidden tray window, is transient for; what the shell shows is a balloon (or the icon's tooltip).
window_kind() {
  local props
  props=$(xprop -id "$1" WM_CLASS WM_TRANSIENT_FOR 2>/dev/null)
  if [[ $props == *'"explorer.exe"'* ]]; then
    echo balloon
  elif [[ $props == *'WM_TRANSIENT_FOR(WINDOW)'* ]] && [ -z "$(xdotool getwindowname "$1" 2>/dev/null)" ]; then
    echo menu
  else
    echo window
  fi
}

# --- Telephone links: the URL protocols, as the installer registers them for the user ---------------------

# Wine's shell looks link schemes up in HKEY_CLASSES_ROOT without the user's own classes, which Windows
# merges in: the scenarios register them in both.
install_link_handler() {
  local exe root scheme
  exe=$(winepath -w "$WINE_EXE" 2>/dev/null | sed 's/\\/\\\\/g')
  {
    printf 'REGEDIT4\n'
    for root in HKEY_CURRENT_USER HKEY_LOCAL_MACHINE; do
      for scheme in tel callto; do
        printf '\n[%s\\Software\\Classes\\%s]\n@="URL:%s"\n"URL Protocol"=""\n' "$root" "$scheme" "$scheme"
        printf '\n[%s\\Software\\Classes\\%s\\shell\\open\\command]\n@="\\"%s\\" %%1"\n' "$root" "$scheme" "$exe"
      done
    done
  } >"$WORK/links.reg"
  wine_run reg import "$(winepath -w "$WORK/links.reg" 2>/dev/null)" >>"$WORK/wine.log" 2>&1
}
link_handler_is_ours() {
  wine_run reg query 'HKCR\tel\shell\open\command' 2>/dev/null | grep -qF "$(basename "$WINE_EXE")"
}
# The shell's start, which waits for the program the link starts (a second instance that dials and ends).
open_link() { timeout 20 env LC_ALL=ja_JP.UTF-8 wine start /wait "$1" >>"$WORK/wine.log" 2>&1 </dev/null; }
