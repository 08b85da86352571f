#!/usr/bin/env bash
# CI step: builds the fuzz targets (fuzz/build.sh) and runs every target once
# over its seeds (fuzz/seeds.sh), the inputs of fuzz/regressions/TARGET and,
# where one exists, the corpus a fuzz run saved in build/fuzz/corpus/TARGET.
# Fails on any crash, sanitizer report, check or slow input (the time
# limit of fuzz/limits.sh); every target is replayed even after a failure.
# Replaying takes seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
source fuzz/limits.sh
bash fuzz/build.sh
build=build/fuzz
bash fuzz/seeds.sh "$build" "$build/seeds"

failed=0
for target in wav wt syx efe wts settings; do
  inputs=("$build/seeds/$target")
  for extra in "$build/seeds/slow/$target" "fuzz/regressions/$target" "$build/corpus/$target"; do
    [ -d "$extra" ] && inputs+=("$extra")
  done
  log="$build/replay-$target.log"
  if "$build/fuzz/fuzz_$target" "${FUZZ_OPTIONS[@]}" -runs=0 -artifact_prefix="$build/replay-" "${inputs[@]}" \
    >"$log" 2>&1; then
    echo "fuzz_$target: $(find "${inputs[@]}" -type f | wc -l) inputs replayed"
  else
    grep -E 'ERROR|SUMMARY|#[0-9]+ 0x' "$log" | head -n 12 >&2
    echo "fuzz_$target FAILED on an input of ${inputs[*]} (log: $log)" >&2
    failed=1
  fi
done
exit "$failed"
