#!/usr/bin/env bash
# Draws the README's picture of the Tk script hindu_horoscope_tk.tcl: the window of the sample
# chart (its rasi as the South Indian square) under Xvfb, into docs/hindu-horoscope.png.
# Usage: tools/readme-hindu.sh build/bin/tellurim build/bin/screen_grab
set -euo pipefail
tellurim=$1
grab=$2
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/sample-birth.sh
source "$here/sample-birth.sh"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() { "$tellurim" --yes --private-dir "$home/private" --horoscopes-dir "$home/horoscopes" "$@"; }
run chart "${sample[@]}" --save "$home/sample.xml" >/dev/null 2>&1
mkdir -p docs
export tellurim home grab
# The window opens in the top left corner of the screen (no window manager) and closes by
# itself once the picture is taken.
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
  TELLURIM_TK_CLOSE_AFTER=4000 "$tellurim" --yes --private-dir "$home/private" --horoscopes-dir "$home/horoscopes" \
    script --tk hindu_horoscope_tk.tcl --horoscope "$home/sample.xml" &
  sleep 2
  QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$home" "$grab" docs/hindu-horoscope.png 500 540
  wait'
