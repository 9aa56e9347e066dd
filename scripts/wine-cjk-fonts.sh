#!/usr/bin/env bash
# Makes a Wine prefix draw Chinese text: Wine's default GUI fonts have no
# CJK glyphs, so WenQuanYi Micro Hei (fonts-wqy-microhei) is linked behind
# them. Windows with a Chinese font does this by itself.
#   bash scripts/wine-cjk-fonts.sh WINEPREFIX
set -euo pipefail
prefix=$1
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for font in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
  WINEPREFIX=$prefix /usr/lib/wine/wine64 reg add "$link" /v "$font" /t REG_MULTI_SZ \
    /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
