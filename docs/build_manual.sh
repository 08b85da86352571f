#!/usr/bin/env bash
# Builds the user manual docs/manual.md (with its screenshots in
# docs/images/) into the PDF that sits beside the program and that the web
# update replaces. Optional: needs python3-markdown and weasyprint
# (`bash scripts/setup.sh --manual`); exits 77 without them.
# Usage: docs/build_manual.sh [output.pdf]   (default build/manual/Sonic-Loom.pdf)
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-build/manual/Sonic-Loom.pdf}"
command -v weasyprint >/dev/null 2>&1 || exit 77
# The system's Python, where Debian's python3-markdown lives.
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
"$python" -c 'import markdown' 2>/dev/null || exit 77
mkdir -p "$(dirname "$out")"
html="$(dirname "$out")/manual.html"
"$python" - docs/manual.md "$html" <<'PY'
import sys, markdown
body = markdown.markdown(open(sys.argv[1], encoding="utf-8").read(), extensions=["tables"])
open(sys.argv[2], "w", encoding="utf-8").write(
    '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Sonic-Loom</title></head><body>'
    + body + "</body></html>")
PY
weasyprint --base-url docs/ -s docs/manual.css "$html" "$out"
echo "manual: $out"
