#!/usr/bin/env bash
# Sets up, builds a release, installs it into a stable folder outside the
# build tree (the sound library lives beside the program), adds it to the
# desktop for this user (menu entry, icons, "Open with" for audio files;
# no root needed) and starts it. Files given as arguments are imported.
set -euo pipefail
cd "$(dirname "$0")/.."

prefix="${SONICLOOM_HOME:-$HOME/Sonic-Loom}"
bash scripts/setup.sh --manual
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DSONICLOOM_BUILD_TESTS=OFF -DSONICLOOM_BUILD_BENCH=OFF
cmake --build build/release -j"$(nproc)"
cmake --install build/release --prefix "$prefix"
prefix="$(cd "$prefix" && pwd)"
# The manual sits beside the program (the web update replaces it there); a
# manual that could not be built never keeps the program from starting.
if bash docs/build_manual.sh build/release/Sonic-Loom.pdf >/dev/null 2>&1; then
  cp build/release/Sonic-Loom.pdf "$prefix/Sonic-Loom.pdf"
else
  echo "run.sh: the manual was not built (docs/build_manual.sh)" >&2
fi

# The desktop entry's Exec line: the program's path in double quotes, with
# the characters the Desktop Entry rules reserve escaped.
data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
mkdir -p "$data_home/applications" "$data_home/icons/hicolor"
quoted="$(printf '%s' "$prefix/Sonic-Loom" | sed -e 's/[\\"`$]/\\\\&/g')"
exec_line="Exec=\"$quoted\" %F" awk '/^Exec=/ { print ENVIRON["exec_line"]; next } { print }' \
  "$prefix/desktop/Sonic-Loom.desktop" > "$data_home/applications/Sonic-Loom.desktop"
cp -R "$prefix/desktop/icons/." "$data_home/icons/hicolor/"
command -v update-desktop-database >/dev/null && update-desktop-database -q "$data_home/applications" || true
command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true

exec "$prefix/Sonic-Loom" "$@"
