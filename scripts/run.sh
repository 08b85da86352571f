#!/usr/bin/env bash
# Sets up, builds a release, installs it into a stable folder outside the
# build tree (the sound library lives beside the program) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="${SONICLOOM_HOME:-$HOME/Sonic-Loom}"
bash scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSONICLOOM_BUILD_TESTS=OFF -DSONICLOOM_BUILD_BENCH=OFF
cmake --build build/release -j"$(nproc)"
cmake --install build/release --prefix "$prefix"
exec "$prefix/Sonic-Loom"
