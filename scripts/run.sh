#!/usr/bin/env bash
# Builds urlcheck.exe and starts it under Wine. Fresh Debian 12, as root,
# from a shell with an X display:
#   bash scripts/run.sh
# Drive D: is the folder drive-d/ of the checkout: put the list in
# drive-d/url.txt (an example is created when it is missing); the logs
# appear beside it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh

if [[ -z "${DISPLAY:-}" ]]; then
  cat >&2 <<'MSG'
urlcheck is a desktop program and needs an X display. Run this from a desktop
session or `ssh -X`, or start a virtual one and look at it with a VNC viewer:
  Xvfb :5 -screen 0 1920x1080x24 &  export DISPLAY=:5
MSG
  exit 1
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target urlcheck

export WINEPREFIX=${URLCHECK_WINEPREFIX:-$HOME/.local/share/urlcheck/wineprefix} WINEDEBUG=-all
if [[ ! -d $WINEPREFIX/dosdevices ]]; then
  echo "Preparing the Wine prefix $WINEPREFIX (once)..."
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  bash scripts/wine-cjk-fonts.sh "$WINEPREFIX"
fi

mkdir -p drive-d
[[ -f drive-d/url.txt ]] || cp resources/url.txt.example drive-d/url.txt
ln -sfn "$PWD/drive-d" "$WINEPREFIX/dosdevices/d:"

echo "urlcheck is running; drive D: is $PWD/drive-d"
exec /usr/lib/wine/wine64 build/windows/src/urlcheck.exe
