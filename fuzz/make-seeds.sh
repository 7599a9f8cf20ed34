#!/usr/bin/env bash
# Seed corpora of the fuzz targets that read binary or generated files, made by the program
# itself in a throw-away home: the options file, the aspect table, the Hindu aspect table, a
# horoscope file and its export line, and small slices of the atlas of data/countries.
# Usage: fuzz/make-seeds.sh TELLURIM_BINARY OUT_DIR
set -euo pipefail
tellurim=$1
out=$2
here=$(cd "$(dirname "$0")/.." && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
mkdir -p "$out"/{options_image,aspects_file,hindu_aspects,horoscope_file,import_line,registry,atlas_index,atlas_cities,atlas_corrections}

"$tellurim" --yes chart --name Sample --first-name Birth --sex F --local "1944-06-06 08:00:00" --correction -2 \
  --lon "2d20'56.00\"E" --lat "48d51'24.00\"N" --city Paris --country France --save >/dev/null 2>&1
"$tellurim" --yes hindu-aspects reset >/dev/null 2>&1 || true
private=$home/.local/share/tellurim
cp "$private/options.pra" "$out/options_image/default"
cp "$private/aspects.pra" "$out/aspects_file/default"
[ -f "$private/hindus_aspects.ini" ] && cp "$private/hindus_aspects.ini" "$out/hindu_aspects/default"
cp "$home/.config/tellurim/2.4.7/registry" "$out/registry/default"
xml=$(ls "$home"/Tellurim/horoscopes/*.xml | head -1)
cp "$xml" "$out/horoscope_file/sample.xml"
"$tellurim" --yes export text "$xml" --out "$home/export.txt" >/dev/null 2>&1 || true
[ -f "$home/export.txt" ] && tr -d '\r\n' <"$home/export.txt" >"$out/import_line/export"

# Atlas slices: the query on the first line, then whole records of the real files.
countries=$here/data/countries
if [ -f "$countries/dircountries.pra" ]; then
  { printf 'France|\n'; head -c 20000 "$countries/dircountries.pra"; } >"$out/atlas_index/head"
  { printf 'USA|Texas\n'; head -c 10000 "$countries/dircountries.pra"; } >"$out/atlas_index/state"
  { printf 'Paris|\n'; head -c $((296 * 20)) "$countries/France/lonlat.pra"; } >"$out/atlas_cities/france"
  z=$(ls "$countries/France"/Z*.pra | head -1)
  { printf '1944-06-06 08:00:00\n'; head -c $((344 * 12)) "$z"; } >"$out/atlas_corrections/france"
  { printf '2000-01-01 12:00:00\n'; head -c 344 "$z"; } >"$out/atlas_corrections/lmt"
fi

# The interpretation list and the index of the sample text (its length in the first 4 bytes).
mkdir -p "$out/interp_files"
"$tellurim" --yes interp list >/dev/null 2>&1 || true
[ -f "$private/interlist.pra" ] && cp "$private/interlist.pra" "$out/interp_files/list"
sample=$here/data/txtinterpretation/us/inter_us1.txt
if [ -f "$private/index1.pra" ]; then
  python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<I", int(sys.argv[1])))' \
    "$(stat -c %s "$sample")" >"$out/interp_files/index"
  cat "$private/index1.pra" >>"$out/interp_files/index"
fi
