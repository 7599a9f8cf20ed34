#!/usr/bin/env bash
# The stars catalogue data/stars/stars.spra, built by stars_gen from the fixed-star list of
# Debian's swe-basic-data (CC0). Skips when the catalogue is newer than its inputs.
set -euo pipefail
root=$1
build_dir=$2
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
list=/usr/share/libswe/ephe/sefstars.txt
gen="$build_dir/bin/stars_gen"
out="$root/data/stars/stars.spra"

if [ ! -f "$list" ]; then
  echo "stars: missing $list (run tools/setup.sh, which installs swe-basic-data)" >&2
  exit 1
fi
if [ -f "$out" ] && [ "$out" -nt "$list" ] && { [ ! -e "$gen" ] || [ "$out" -nt "$gen" ]; }; then
  exit 0
fi
if [ ! -x "$gen" ]; then
  echo "stars: $gen not built" >&2
  exit 1
fi
mkdir -p "$root/data/stars"
"$gen" --in "$list" --out "$out"
