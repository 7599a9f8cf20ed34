#!/usr/bin/env bash
# Every default path of a new options file must exist after the build, so that the start-up
# configuration check passes. Data that later parts of the program fill (the Tcl scripts, the
# database access file) gets an empty placeholder here; a generator that writes the real
# data replaces it. An existing file is never touched. The stars catalogue has its own
# generator (40-stars.sh), which must not find a placeholder newer than its inputs.
set -euo pipefail
root=$1
data="$root/data"
mkdir -p "$data/tcltkscript" "$data/db/sqlite" "$data/images"
if [ ! -e "$data/db/sqlite/tellurimdb.ini" ]; then
  printf '; Tellurim database access (written empty at setup; the export settings fill it)\r\n' \
    > "$data/db/sqlite/tellurimdb.ini"
fi
