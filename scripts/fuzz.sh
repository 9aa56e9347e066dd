#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each one for a while, keeping what it
# finds between runs. The tests run each target only briefly; this is the
# run that has time to reach deep inputs.
#   bash scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
# The corpora live in build/fuzz/corpus/<target>, crash inputs in
# build/fuzz/artifacts/. FUZZ_BUILD_DIR picks another build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS_PER_TARGET]" >&2
  exit 2
fi
build=${FUZZ_BUILD_DIR:-build/fuzz}

cmake --preset fuzz -B "$build" >/dev/null
cmake --build "$build"

targets=()
for exe in "$build"/tests/fuzz/*_fuzz; do
  [[ -f $exe && -x $exe ]] && targets+=("$exe")
done
if ((${#targets[@]} == 0)); then
  echo "no fuzz targets in $build/tests/fuzz" >&2
  exit 1
fi

mkdir -p "$build/artifacts"
failed=()
for exe in "${targets[@]}"; do
  name=$(basename "$exe")
  corpus=$build/corpus/$name
  mkdir -p "$corpus"
  echo "=== $name: ${seconds} s, corpus $corpus"
  # One failing target must not hide what the others find.
  if ! "$exe" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$name-" "$corpus"; then
    failed+=("$name")
  fi
done

if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]} (inputs in $build/artifacts/)" >&2
  exit 1
fi
echo "all ${#targets[@]} fuzz targets ran ${seconds} s without a finding"
