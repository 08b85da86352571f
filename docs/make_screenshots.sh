#!/usr/bin/env bash
# Makes the manual's and the README's screenshots again from the real
# program under a virtual X server (the end-to-end run with a screenshot
# folder), after the pages changed. Needs Xvfb, xdotool and ImageMagick.
# Usage: docs/make_screenshots.sh <program file>
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "$1")"
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
sh tests/e2e/program_e2e.sh "$program" "$shots"
mkdir -p docs/images
# The e2e run's names, and the names the manual uses.
while read -r shot image; do
  [ -f "$shots/$shot.png" ] && convert "$shots/$shot.png" -crop 1024x768+0+0 +repage "docs/images/$image.png"
done <<'LIST'
menu-mode0 menu
vorta-mode0 vorta
analysis analysis
viewer viewer
LIST
ls -l docs/images
