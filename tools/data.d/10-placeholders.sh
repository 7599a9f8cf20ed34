#!/usr/bin/env bash
# Every default path of a new options file must exist after the build, so that the start-up
# configuration check passes. Data that later parts of the program fill (the stars catalogue,
# the Tcl scripts, the database access file) gets an empty placeholder here; a generator
# that writes the real data replaces it. An existing file is never touched.
set -euo pipefail
root=$1
data="$root/data"
mkdir -p "$data/tcltkscript" "$data/stars" "$data/db/sqlite" "$data/images"
[ -e "$data/stars/stars.spra" ] || : > "$data/stars/stars.spra"
if [ ! -e "$data/db/sqlite/tellurimdb.ini" ]; then
  printf '; Tellurim database access (written empty at setup; the export settings fill it)\r\n' \
    > "$data/db/sqlite/tellurimdb.ini"
fi
