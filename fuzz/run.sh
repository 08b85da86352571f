#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the sanitizers in
# build/fuzz and runs each in turn (one process, nice), so that the machine
# stays usable.
#   fuzz/run.sh [seconds per target] [target...]   default 300, all targets
# Targets: wav, wt, syx, efe, wts (the reader, one branch each) and
# settings. Each corpus grows in build/fuzz/corpus/TARGET from the seeds of
# fuzz/seeds.sh; findings land in build/fuzz/findings/TARGET. An input that
# runs longer than the time limit is a finding (a slow path); the run goes on
# behind it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(wav wt syx efe wts settings)
source fuzz/limits.sh

bash scripts/setup.sh --fuzz
bash fuzz/build.sh
build=build/fuzz
bash fuzz/seeds.sh "$build" "$build/seeds"

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$target for ${seconds}s"
  log="$build/fuzz-$target.log"
  nice "$build/fuzz/fuzz_$target" "${FUZZ_OPTIONS[@]}" -dict=fuzz/riff.dict -fork=1 -ignore_timeouts=1 -print_funcs=0 \
    -max_total_time="$seconds" -artifact_prefix="$findings/" -print_final_stats=1 \
    "$corpus" "$build/seeds/$target" >"$log" 2>&1 || true
  grep -E '^#[0-9]+' "$log" | tail -n 1
  grep -E 'ERROR|SUMMARY|stat::' "$log" | sort | uniq -c | head -n 20 || true
  ls -l "$findings"
done
