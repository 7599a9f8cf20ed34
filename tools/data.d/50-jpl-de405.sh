#!/usr/bin/env bash
# data/ephemeris/de405_1960_2060.eph: JPL's DE405 for 1960-2060 as a standard JPL binary
# ephemeris file, converted from the casacore table of Debian's casacore-data-jpl-de405 by
# tools/jpl_convert/casacore_to_jpl.py (python3-casacore reads the table). New options files
# point their JPL file here. Skips when the output is newer than the table and the converter.
set -euo pipefail
root=$1
table=/usr/share/casacore/data/ephemerides/DE405
tool="$root/tools/jpl_convert/casacore_to_jpl.py"
out="$root/data/ephemeris/de405_1960_2060.eph"

if [ ! -f "$table/table.dat" ]; then
  echo "jpl: missing $table (run tools/setup.sh, which installs casacore-data-jpl-de405)" >&2
  exit 1
fi
if [ -f "$out" ] && [ "$out" -nt "$table/table.f0" ] && [ "$out" -nt "$tool" ]; then
  exit 0
fi
mkdir -p "$(dirname "$out")"
echo "data: converting DE405 (1960-2060) to $out" >&2
/usr/bin/python3 "$tool" "$table" "$out"
