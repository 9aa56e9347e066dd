#!/usr/bin/env bash
# Installs the Debian 12 packages that building (and, with "test", testing)
# needs, when they are missing. Runs as root on a fresh machine.
set -euo pipefail

packages=(cmake ninja-build g++ g++-mingw-w64-x86-64 wine64 xvfb fonts-wqy-microhei)
case "${1:-}" in
  test) packages+=(googletest clang lld libclang-rt-14-dev clang-tidy cppcheck iproute2 util-linux) ;;
  bench) packages+=(googletest iproute2 util-linux python3 curl) ;;
  screenshot) packages+=(iproute2 util-linux python3 imagemagick xdotool) ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi
