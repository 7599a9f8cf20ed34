#!/usr/bin/env bash
# The gallery of the settings dialogs, docs/dialogs.md and docs/dialogs/*.png, taken under a
# throw-away X server (Xvfb) with default settings in a throw-away private directory.
# Usage: tools/dialog-gallery.sh build
set -euo pipefail
build=$1
# A fixed directory, so that the paths the dialogs show stay the same from one run to the next.
home="${TMPDIR:-/tmp}/tellurim-dialog-gallery"
rm -rf "$home"
mkdir -m 700 -p "$home"
trap 'rm -rf "$home"' EXIT
mkdir -p docs/dialogs
rm -f docs/dialogs/*.png
XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/dialog_gallery" docs "$home"
