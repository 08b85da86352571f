#!/usr/bin/env bash
# Installs what Sonic-Loom needs to build, run and test on Debian 12
# (with --fuzz also what fuzz/run.sh needs, with --manual what
# docs/build_manual.sh and docs/make_screenshots.sh need).
# Runs apt only for packages that are missing; uses sudo when not root.
set -euo pipefail

# x11-apps brings xwd: the end-to-end run waits for a computing page by
# watching the screen until it stops changing; without it only fixed pauses
# are left, too short for a slow (sanitizer) build.
packages=(
  cmake g++ make pkg-config
  libsdl2-dev libcurl4-openssl-dev libsodium-dev
  googletest libgtest-dev libbenchmark-dev libfftw3-dev
  console-setup-linux
  xvfb xauth xdotool x11-utils x11-apps sox libsndfile1-dev libsoxr-dev desktop-file-utils zenity xdg-utils
  python3 openssl ninja-build
)
for option in "$@"; do
  case "$option" in
    # fuzz/run.sh builds its targets with clang and libFuzzer.
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # The manual: Markdown to HTML to PDF, and screenshots cut to the canvas.
    --manual) packages+=(python3-markdown weasyprint fonts-dejavu-core imagemagick) ;;
    *) echo "setup.sh: unknown option $option" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
