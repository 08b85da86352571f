#!/usr/bin/env bash
# Makes the seed corpora of the fuzz targets in FOLDER/TARGET (wav, wt, syx,
# efe, wts, settings): WAV files made by sox, files of every table format and
# a settings file made by the program's own writers (make_format_seeds), and
# inputs for the slow paths: a long sample and several MiB of bytes in which
# no chunk can be found. Every reader input starts with the selector byte of
# fuzz_reader.cpp; inputs that only the replay runs lie in FOLDER/slow/TARGET.
# Deterministic, so CI replays the same seeds.
#   fuzz/seeds.sh BUILD-FOLDER FOLDER
set -euo pipefail
build="$1"
seeds="$2"
rm -rf "$seeds"
mkdir -p "$seeds"/{wav,wt,syx,efe,wts,settings}

wav() {  # wav NAME SELECTOR FRAMES SOX-OUTPUT-OPTIONS...
  local name="$1" selector="$2" frames="$3"
  shift 3
  local file="$seeds/seed.wav"
  sox -q -D -r 44100 -c 1 -n "$@" "$file" synth "${frames}s" sine 441
  { printf "\\x$selector"; cat "$file"; } >"$seeds/wav/seed-$name"
  rm -f "$file"
}
wav pcm8 00 300 -b 8
wav pcm16 00 300 -b 16
wav pcm32 00 300 -t wavpcm -b 32
wav float 00 300 -e floating-point -b 32
wav ext24 00 300 -b 24
wav cycle 80 2048 -b 16
wav sample 00 441000 -b 16      # 10 s, 882 KB: the loader's long path
# Bytes without a chunk: the tag search walks all of them. Replayed only:
# a fuzz run would spend its time on it.
mkdir -p "$seeds/slow/wav"
{ printf '\x00'; head -c 3145728 /dev/zero | tr '\0' 'x'; } >"$seeds/slow/wav/seed-no-chunks"

"$build/fuzz/make_format_seeds" "$seeds"
