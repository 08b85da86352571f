#!/usr/bin/env bash
# Prints how many non-blank lines the tests hold against the source: the
# project keeps tests at most about 35 % of the code. Informative only.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { find "$1" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inl' -o -name '*.sh' -o -name '*.py' \) -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'; }
src=$(count src)
tests=$(count tests)
echo "test lines: $tests, source lines: $src, ratio: $((tests * 100 / src)) % (goal: at most 35 %)"
