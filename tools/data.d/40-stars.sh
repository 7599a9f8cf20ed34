#!/usr/bin/env bash
# The stars catalogue data/stars/stars.spra, built by stars_gen from the fixed-star list of
# Debian's swe-basic-data (CC0). Skips when the catalogue is newer than the list and was
# written by a generator of the same catalogue version (kept in stars.spra.version), so that a
# checkout whose generator changed gets the new catalogue even when the old one looks newer.
set -euo pipefail
root=$1
build_dir=$2
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
list=/usr/share/libswe/ephe/sefstars.txt
gen="$build_dir/bin/stars_gen"
out="$root/data/stars/stars.spra"
stamp="$out.version"

if [ ! -f "$list" ]; then
  echo "stars: missing $list (run tools/setup.sh, which installs swe-basic-data)" >&2
  exit 1
fi
if [ ! -x "$gen" ]; then
  if [ -f "$out" ]; then exit 0; fi
  echo "stars: $gen not built" >&2
  exit 1
fi
version=$("$gen" --version)
if [ -f "$out" ] && [ "$out" -nt "$list" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$version" ]; then
  exit 0
fi
mkdir -p "$root/data/stars"
"$gen" --in "$list" --out "$out"
echo "$version" > "$stamp"
