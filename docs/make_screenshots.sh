#!/usr/bin/env bash
# Makes the manual's and the README's screenshots again from the real
# program under a virtual X server (the end-to-end run with a screenshot
# folder), after the pages changed. Needs Xvfb, xdotool, ImageMagick and
# sox. The journey's pages need the command-line tool: by default the
# "sonic-loom-cli" beside the program.
# Usage: docs/make_screenshots.sh <program file> [command-line tool]
set -euo pipefail
cd "$(dirname "$0")/.."
program="$(realpath "$1")"
cli="$(realpath "${2:-$(dirname "$program")/sonic-loom-cli}")"
[ -x "$cli" ] || { echo "no command-line tool at $cli" >&2; exit 1; }
shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
sh tests/e2e/program_e2e.sh "$program" "$shots" "$cli"
mkdir -p docs/images
# The e2e run's names, and the names the manual uses.
while read -r shot image; do
  [ -f "$shots/$shot.png" ] && convert "$shots/$shot.png" -crop 1024x768+0+0 +repage "docs/images/$image.png"
done <<'LIST'
menu-mode0 menu
vorta-mode0 vorta
vorta-files files
vorta-saved saved
analysis analysis
analysis2 analysis2
viewer viewer
LIST
ls -l docs/images
