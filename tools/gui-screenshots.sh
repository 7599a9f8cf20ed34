#!/usr/bin/env bash
# Takes the README's pictures of the desktop application under a throw-away X server (Xvfb),
# with default settings in a throw-away private directory: docs/gui-new-chart.png,
# docs/gui-main-window.png, docs/gui-results.png, docs/gui-moving.png, docs/gui-transits.png
# and the drawing, fonts and colours dialogs (docs/gui-*-dialog.png).
# Usage: tools/gui-screenshots.sh build
set -euo pipefail
build=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p docs
XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home" \
  xvfb-run -a -s "-screen 0 1600x1000x24" "$build/bin/gui_screenshots" docs "$home"
