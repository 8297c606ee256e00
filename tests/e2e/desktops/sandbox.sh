#!/usr/bin/env bash
# sandbox.sh COMMAND...: runs COMMAND as uid 1000 in private user, network and mount namespaces, as a
# Wayland compositor needs here: sway refuses to run as root, and its Xwayland takes the lowest free X
# display number and its sockets in /tmp, which the machine's other desktops may hold. The network
# namespace has its own loopback only, so every test address stays inside it; /tmp is an empty tmpfs.
# A process namespace of its own: whatever is left running (the compositor's bar and background, which
# it starts detached) ends with the sandbox.
#
# Needs unprivileged user namespaces (or root). KIVO_E2E_SANDBOXED=1 is set inside.
set -euo pipefail
if [ "${1:-}" = --inner ]; then
  shift
  ip link set lo up
  # A checkout or build under /tmp stays reachable: the folder below /tmp that holds it is bound back
  # from the hidden /tmp, reached through a descriptor opened before the tmpfs covers it.
  keep=()
  for path in "$(cd "$(dirname "$0")/../../.." && pwd)" "${KIVO_BUILD_DIR:-}" "${KIVO_E2E_SCREENS:-}"; do
    [[ $path == /tmp/?* ]] || continue
    top=${path#/tmp/}
    keep+=("${top%%/*}")
  done
  exec 9</tmp
  mount -t tmpfs -o mode=1777 tmpfs /tmp
  for top in "${keep[@]}"; do
    [ -d "/tmp/$top" ] && continue
    mkdir "/tmp/$top"
    # (Not canonicalized: that would turn the descriptor back into the path /tmp, now the tmpfs.)
    mount --no-canonicalize --bind "/proc/self/fd/9/$top" "/tmp/$top"
  done
  exec 9<&-
  # X servers of the compositors put their sockets here, and Mutter does not make the folder itself.
  mkdir -m 1777 /tmp/.X11-unix
  # Not the machine's logind: a desktop that finds /run/systemd would ask it for a session.
  [ -d /run/systemd ] && mount -t tmpfs tmpfs /run/systemd
  export KIVO_E2E_SANDBOXED=1 TMPDIR=/tmp
  exec unshare --user --map-user=1000 --map-group=1000 -- "$@"
fi
exec unshare --user --map-root-user --net --mount --propagation private --pid --fork --mount-proc -- \
  "$0" --inner "$@"
