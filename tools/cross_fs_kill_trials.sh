#!/bin/sh
# Kill trials of a sort that copies across file systems.
#
#   tools/cross_fs_kill_trials.sh path/to/sonic-loom-cli [TRIALS] [DISK_DIR] [TMPFS_DIR]
#
# Each trial builds a library whose "01 Samples (WAV)" folder lies on the
# other file system (a symbolic link), drops a few large samples into the
# library root, starts `sonic-loom-cli sort` and kills it (SIGKILL) after a
# random delay while it copies. Then it checks that no file under a final
# name in the target folder differs from an original (no cut copy) and that
# every original is intact somewhere; a second, unkilled sort must then
# bring every original home. Half of the trials copy from the disk to the
# tmpfs, half the other way. Exit status 1 when any trial failed.
set -eu

CLI=$(realpath "$1")
TRIALS=${2:-40}
DISK=${3:-${TMPDIR:-/tmp}}
SHM=${4:-/dev/shm}
WORK_DISK=$(mktemp -d "$DISK/sonicloom-kill-XXXXXX")
WORK_SHM=$(mktemp -d "$SHM/sonicloom-kill-XXXXXX")
trap 'rm -rf "$WORK_DISK" "$WORK_SHM"' EXIT

# Three stereo 16-bit samples of 60 to 85 seconds of noise (10 to 15 MB).
make_samples() {
  python3 - "$1" <<'EOF'
import os, struct, sys
folder = sys.argv[1]
for i, seconds in enumerate((60, 72, 85)):
    data = os.urandom(seconds * 44100 * 4)
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " + struct.pack(
        "<IHHIIHH", 16, 1, 2, 44100, 44100 * 4, 4, 16) + b"data" + struct.pack("<I", len(data))
    with open(os.path.join(folder, "noise%d.wav" % i), "wb") as f:
        f.write(header + data)
EOF
}

hashes() { (cd "$1" && find . -maxdepth 1 -type f ! -name '.*' -exec sha256sum {} + | awk '{print $1}' | sort); }

failed=0
cut=0
leftover=0
interrupted=0
trial=1
while [ "$trial" -le "$TRIALS" ]; do
  if [ $((trial % 2)) -eq 1 ]; then home=$WORK_DISK; far=$WORK_SHM; else home=$WORK_SHM; far=$WORK_DISK; fi
  lib="$home/lib$trial"
  target="$far/samples$trial/01 Samples (WAV)"
  mkdir -p "$lib/data" "$target"
  ln -s "$target" "$lib/data/01 Samples (WAV)"
  make_samples "$lib"
  originals=$(hashes "$lib")

  "$CLI" sort "$lib" >/dev/null 2>&1 &
  pid=$!
  sleep "0.$(shuf -i 20-400 -n 1 | xargs printf '%03d')"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true

  # Under final names only whole copies; every original somewhere.
  for h in $(hashes "$target"); do
    if ! echo "$originals" | grep -q "$h"; then
      echo "trial $trial: a cut file under a final name" >&2
      cut=$((cut + 1))
      failed=1
    fi
  done
  present=$( (hashes "$lib"; hashes "$target") | sort -u)
  for h in $originals; do
    if ! echo "$present" | grep -q "$h"; then
      echo "trial $trial: an original is lost" >&2
      failed=1
    fi
  done
  temps=$(find "$target" -maxdepth 1 -name '.*.wav.??????' | wc -l)
  leftover=$((leftover + temps))
  if [ -n "$(hashes "$lib")" ]; then interrupted=$((interrupted + 1)); fi

  "$CLI" sort "$lib" >/dev/null 2>&1 || true
  if [ "$(hashes "$target")" != "$originals" ]; then
    echo "trial $trial: the second sort did not bring every original home" >&2
    failed=1
  fi
  rm -rf "$lib" "$far/samples$trial"
  trial=$((trial + 1))
done
echo "$TRIALS kill trials, $interrupted killed before the sort was done: $cut cut files under a final name," \
  "$leftover temporary copies left behind"
exit "$failed"
