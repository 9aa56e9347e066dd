#!/usr/bin/env bash
# Builds the Windows programs and runs the benchmarks under Wine, in the same
# sandbox as the tests (loopback-only network, fresh Wine prefix, a fresh
# folder as drive D: for each program). As root, from anywhere:
#   bash scripts/bench.sh
# URLCHECK_BENCH_BUILD_DIR picks another build folder than build/windows.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup-debian.sh bench
build_dir=${URLCHECK_BENCH_BUILD_DIR:-build/windows}
cmake --preset windows -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target append_bench run_bench

exec unshare --net bash tests/rig/sandbox.sh bash bench/in-sandbox.sh "$build_dir"
