#!/usr/bin/env bash
# Builds everything and runs every test. Fresh Debian 12, as root:
#   bash scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh test

# windows-clang only has to compile cleanly: it has no tests of its own.
for preset in native fuzz windows windows-clang; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
cmake --build --preset windows --target package

# The tests run in a network namespace of their own with only loopback up.
exec unshare --net bash tests/rig/sandbox.sh
