#!/usr/bin/env bash
# Configures and builds the fuzz targets with clang in build/fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
# Ninja builds only what the targets need; a folder configured by another
# generator is started afresh.
if [ -f "$build/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$build/CMakeCache.txt"; then
  rm -rf "$build"
fi
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# -O1 with line tables only: quick to build, fast enough to fuzz, and the
# sanitizers' reports still name file and line.
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Fuzz \
  -DCMAKE_CXX_FLAGS_FUZZ="-O1 -gline-tables-only" \
  -DSONICLOOM_BUILD_FUZZ=ON -DSONICLOOM_BUILD_TESTS=OFF -DSONICLOOM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_wav fuzz_wt fuzz_syx fuzz_efe fuzz_wts fuzz_settings make_format_seeds
