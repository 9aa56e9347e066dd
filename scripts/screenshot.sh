#!/usr/bin/env bash
# Regenerates the README's screenshots (docs/window.png, docs/running.png):
# the tool under Xvfb with a CJK font, idle and during a run against a
# loopback web server. Runs as root:
#   bash scripts/screenshot.sh
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ -z "${URLCHECK_WINEPREFIX:-}" ]]; then
  bash scripts/setup-debian.sh screenshot
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target urlcheck
  exec unshare --net bash tests/rig/sandbox.sh bash "$0"
fi

drive_d=$(mktemp -d)
trap 'rm -rf "$drive_d"; kill $(jobs -p) 2>/dev/null' EXIT
printf 'http://127.0.0.1:8080/\r\nhttp://127.0.0.1:8080/missing\r\nhttp://127.0.0.1:8080/\r\n' >"$drive_d/url.txt"
python3 -m http.server 8080 --bind 127.0.0.1 --directory "$drive_d" >/dev/null 2>&1 &
ln -sfn "$drive_d" "$URLCHECK_WINEPREFIX/dosdevices/d:"

# Wine's own GUI fonts have no CJK glyphs: link a CJK font behind them.
bash scripts/wine-cjk-fonts.sh "$URLCHECK_WINEPREFIX"

WINEPREFIX=$URLCHECK_WINEPREFIX /usr/lib/wine/wine64 build/windows/src/urlcheck.exe >/dev/null 2>&1 &
app=$!
sleep 3
# The window is centred on the 1920x1080 screen: outer rectangle 701,496 518x88.
import -window root -crop 518x88+701+496 +repage docs/window.png
# The Start/Stop button sits at the right of the client area.
xdotool mousemove 1180 540 click 1
sleep 1.5
import -window root -crop 518x88+701+496 +repage docs/running.png
xdotool key Escape
wait "$app"
