#!/usr/bin/env bash
# Removes what scripts/run.sh installed for this user: the program files in
# the install folder and the desktop entry and icons. The sound library (the
# folder "data" beside the program) stays unless --remove-library is given;
# category folders moved to user-defined places are never touched.
set -euo pipefail

prefix="${SONICLOOM_HOME:-$HOME/Sonic-Loom}"
remove_library=0
for arg in "$@"; do
  case "$arg" in
    --remove-library) remove_library=1 ;;
    -h|--help)
      echo "Usage: scripts/uninstall.sh [--remove-library]"
      echo "Removes Sonic-Loom from $prefix (set SONICLOOM_HOME for another folder)"
      echo "and from the desktop; keeps the sound library unless --remove-library."
      exit 0 ;;
    *) echo "uninstall.sh: unknown option '$arg'" >&2; exit 2 ;;
  esac
done

data_home="${XDG_DATA_HOME:-$HOME/.local/share}"
rm -f "$data_home/applications/Sonic-Loom.desktop"
for icon in "$data_home"/icons/hicolor/*/apps/sonic-loom.png; do
  [ -e "$icon" ] && rm -f "$icon"
done
command -v update-desktop-database >/dev/null && update-desktop-database -q "$data_home/applications" || true
command -v gtk-update-icon-cache >/dev/null && [ -d "$data_home/icons/hicolor" ] && \
  gtk-update-icon-cache -q -t "$data_home/icons/hicolor" || true

if [ -d "$prefix" ]; then
  rm -f "$prefix/Sonic-Loom" "$prefix/sonic-loom-cli"
  rm -rf "$prefix/desktop" "$prefix/system"
  if [ "$remove_library" -eq 1 ]; then
    rm -rf "$prefix/data"
  elif [ -d "$prefix/data" ]; then
    echo "The sound library stays in $prefix/data (--remove-library removes it)."
  fi
  rmdir "$prefix" 2>/dev/null || true
fi
echo "Sonic-Loom is removed."
