#!/usr/bin/env bash
# Builds the reader's fuzz target with clang, libFuzzer and AddressSanitizer
# in build/fuzz and runs it.
#   fuzz/run.sh [seconds]     run time, default 300
# Seeds are made with sox and, for the wavetable formats, by the program's
# own writers (make_format_seeds); the corpus grows in build/fuzz/corpus.
# The longest seed (a one-wave Dune2 file) sets the input length limit.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"

bash scripts/setup.sh --fuzz
build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSONICLOOM_BUILD_FUZZ=ON -DSONICLOOM_BUILD_TESTS=OFF -DSONICLOOM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_read_sound_file make_format_seeds

corpus="$build/corpus"
mkdir -p "$corpus"
seed() {  # seed NAME SELECTOR SOX-OUTPUT-OPTIONS...
  local name="$1" selector="$2"
  shift 2
  local wav="$build/seed.wav"
  sox -q -r 44100 -c 1 -n "$@" "$wav" synth 300s sine 441
  { printf "\\x$selector"; cat "$wav"; } >"$corpus/seed-$name"
}
seed pcm8 00 -b 8
seed pcm16 00 -b 16
seed pcm32 00 -t wavpcm -b 32
seed float 00 -e floating-point -b 32
seed ext24 00 -b 24
seed wt 02 -b 16
seed syx 03 -b 16
"$build/fuzz/make_format_seeds" "$corpus"

"$build/fuzz/fuzz_read_sound_file" -max_total_time="$seconds" -max_len=110000 -dict=fuzz/riff.dict \
  -print_final_stats=1 "$corpus"
