#!/usr/bin/env bash
# The benchmarks, inside the test sandbox (see scripts/bench.sh):
#   bench/in-sandbox.sh BUILD_DIR
set -uo pipefail
build_dir=$1
port=18080
address=http://127.0.0.1:$port/

# One loopback server answers the run benchmark and, beside it, a curl loop
# over the same 1,000 addresses.
python3 bench/loopback_server.py "$port" &
server=$!
trap 'kill $server' EXIT
sleep 1

status=0
echo "=== append_bench: one log record, appending vs rewriting, on a 1 KB and a 100 MB log"
tests/rig/wine-exec "$build_dir/bench/append_bench.exe" || status=1
echo "=== run_bench: CPU while waiting, stop latency, addresses per second"
tests/rig/wine-exec "$build_dir/bench/run_bench.exe" "$address" || status=1

echo "=== curl, one process per address, same server"
start=$(date +%s.%N)
for _ in $(seq 1000); do curl -s -o /dev/null -w '%{http_code}' "$address" >/dev/null; done
python3 -c "import sys; print('addresses per second, curl loop:  %6.0f' % (1000 / (float(sys.argv[2]) - float(sys.argv[1]))))" \
  "$start" "$(date +%s.%N)"
exit "$status"
