#!/usr/bin/env bash
# Runs the fault and load tests of the whole program under Wine (in the
# test sandbox: loopback-only network, fresh Wine prefixes, a fresh drive D:
# for each test) and writes what they saw into docs/reliability.md. As root:
#   bash scripts/reliability.sh [build-folder]     (default build/windows)
# Takes 15 to 20 minutes, most of it the 100,000-entry load test.
#
# Each test case adds one line to a report file named by
# URLCHECK_RELIABILITY_REPORT (see tests/support/reliability_report_win.h);
# the table is made from those lines, so it shows what actually happened in
# this run, failures included. The exit status is CTest's.
set -uo pipefail
cd "$(dirname "$0")/.."

# The table: one row per reported case, then the totals and the cases that
# showed a fault (a record lost, a crash, or a process that did not end).
render() {
  local report=$1
  cat <<EOF
# Reliability

What the fault and load tests did to urlcheck and what came of it. Every
case runs the real \`urlcheck.exe\` under Wine against a loopback HTTP server
in the test process, with a fresh drive D:. Random moments and random input
come from generators with fixed seeds, so a run repeats.

Regenerate this page (as root, 15 to 20 minutes; it runs the tests):

    bash scripts/reliability.sh

The tests are \`tests/windows/fault_test.cpp\`, \`fault_nobody_test.cpp\` and
\`load_test.cpp\`. Columns:

- **Tries**: program runs started (or Start presses) with that fault.
- **Records checked**: log records read back and matched to the list:
  \`<address> <status>\\r\\n\`, status 200 in \`日志.txt\`, others in
  \`error.txt\`, in list order.
- **Records lost**: records written before the fault that changed or
  vanished, entries that should have been logged and were not, and torn,
  duplicated or misplaced records (each bad log counts once). Records dropped
  by design (a read-only log) are not losses; the note says so.
- **Crashes**: exits with an exception code (0xC0000005 and the like).
- **Hangs**: processes that had not ended at the test's bound after a close
  (the test then ends them).
- **Exit codes seen**: how the processes ended. 9 is the test's own
  TerminateProcess.

Last run: ${wine_version}, $(date -u '+%Y-%m-%d'), ${minutes} min. CTest: ${summary:-no summary}.

| Fault or input | Tries | Records checked | Records lost | Crashes | Hangs | Exit codes seen | Notes |
|---|---:|---:|---:|---:|---:|---|---|
EOF
  awk -F '\t' '
    function cell(text) { gsub(/[|]/, "\\|", text); return text }
    NF >= 6 {
      hangs = 0
      if (match($6, /no exit x[0-9]+/)) hangs = substr($6, RSTART + 9, RLENGTH - 9) + 0
      codes = $6
      gsub(/ x/, " ×", codes)
      printf "| %s | %d | %d | %d | %d | %d | %s | %s |\n", cell($1), $2, $3, $4, $5, hangs, cell(codes), cell($7)
      tries += $2; checked += $3; lost += $4; crashes += $5; hung += hangs; cases++
      if ($4 > 0 || $5 > 0 || hangs > 0) {
        faults = faults sprintf("- %s: %d records lost, %d crashes, %d hangs in %d tries\n", $1, $4, $5, hangs, $2)
      }
    }
    END {
      printf "| **Total (%d cases)** | **%d** | **%d** | **%d** | **%d** | **%d** | | |\n", cases, tries, checked, lost, crashes, hung
      printf "\n## Faults in this run\n\n"
      if (faults == "") print "None: no record lost, no crash, no hang."
      else printf "%s", faults
    }' "$report"
}

bash scripts/setup-debian.sh test || exit 1
build_dir=${1:-build/windows}
cmake --preset windows -B "$build_dir" >/dev/null || exit 1
cmake --build "$build_dir" --target urlcheck fault_test fault_nobody_test load_test || exit 1

work=$(mktemp -d /tmp/urlcheck-reliability.XXXXXX)
trap 'rm -rf "$work"' EXIT
report=$work/report.tsv
: >"$report"
# The read-only case runs as an unprivileged user and reports here too.
chmod 0755 "$work"
chmod 0666 "$report"

started=$(date +%s)
URLCHECK_RELIABILITY_REPORT=$report unshare --net bash tests/rig/sandbox.sh \
  ctest --test-dir "$build_dir" -R '^(Fault[A-Za-z]*|Load)Test\.' --output-on-failure 2>&1 | tee "$work/ctest.log"
status=${PIPESTATUS[0]}
minutes=$(( ($(date +%s) - started + 30) / 60 ))
summary=$(grep -E 'tests passed|tests failed' "$work/ctest.log" | tail -n 1)
wine_version=$(/usr/lib/wine/wine64 --version 2>/dev/null || echo "Wine")

render "$report" >docs/reliability.md
echo "docs/reliability.md written ($(grep -c . "$report") cases)"
exit "$status"
