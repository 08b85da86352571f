#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
#   scripts/test.sh             the normal build
#   scripts/test.sh --sanitize  with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/test
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build/sanitize
  flags=(-DCMAKE_BUILD_TYPE=Debug -DSONICLOOM_SANITIZE=ON -DSONICLOOM_BUILD_BENCH=OFF)
fi

bash scripts/setup.sh
# A compiler cache, where the machine has one, makes rebuilds of an
# unchanged tree quick; the result is the same without it.
if command -v ccache >/dev/null; then
  flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" "${flags[@]}"
cmake --build "$build" -j"$(nproc)"
# Window and sound tests run on a virtual screen with SDL's dummy sound.
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
else
  ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
fi
