#!/usr/bin/env bash
# Runs every test inside a loopback-only network namespace, so no name lookup
# or request can leave the machine: starts a 1920x1080 Xvfb and fresh Wine
# prefixes, runs the three CTest presets, and stops what it started.
# Called by scripts/test.sh through `unshare --net`. With arguments, runs that
# command in the same sandbox instead (for one test program while developing):
#   unshare --net bash tests/rig/sandbox.sh ctest --test-dir build/windows -R Probe
set -uo pipefail
cd "$(dirname "$0")/../.."

ip link set lo up

work=$(mktemp -d /tmp/urlcheck-tests.XXXXXX)
xvfb_pid=""
cleanup() {
  WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null
  [[ -d $work/nobody/prefix ]] && setpriv --reuid=65534 --regid=65534 --clear-groups \
    env WINEPREFIX="$work/nobody/prefix" /usr/lib/wine/wineserver -k 2>/dev/null
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display number nobody else uses; Xvfb's sockets live in this namespace.
display=91
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=:$display

export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
export URLCHECK_WINEPREFIX=$work/prefix
# Without a window manager on the display, Wine waits for one to confirm
# every unmapped window (seconds per window); unmanaged windows skip that.
x11_unmanaged=(reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f)
WINEPREFIX=$URLCHECK_WINEPREFIX /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
WINEPREFIX=$URLCHECK_WINEPREFIX /usr/lib/wine/wine64 "${x11_unmanaged[@]}" >/dev/null 2>&1
# Keep one wineserver for the whole run instead of one per test program.
WINEPREFIX=$URLCHECK_WINEPREFIX /usr/lib/wine/wineserver -p

mkdir -p "$work/nobody" && chown 65534:65534 "$work/nobody" && chmod 0755 "$work"
export URLCHECK_NOBODY_WINEPREFIX=$work/nobody/prefix
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/nobody" \
  WINEPREFIX="$URLCHECK_NOBODY_WINEPREFIX" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/nobody" \
  WINEPREFIX="$URLCHECK_NOBODY_WINEPREFIX" /usr/lib/wine/wine64 "${x11_unmanaged[@]}" >/dev/null 2>&1
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/nobody" \
  WINEPREFIX="$URLCHECK_NOBODY_WINEPREFIX" /usr/lib/wine/wineserver -p

if (($#)); then
  "$@"
  exit
fi

failed=0
for preset in native fuzz windows-clang windows; do
  echo "=== ctest --preset $preset"
  ctest --preset "$preset" || failed=1
done
exit "$failed"
