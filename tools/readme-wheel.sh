#!/usr/bin/env bash
# Draws the README's pictures with the program: the sample chart's wheel, with default
# settings in a throw-away private directory, into docs/sample-wheel.png, and the same chart
# with the transits of 2000-01-01 12:00 UT superposed into docs/sample-transits.png.
# Usage: tools/readme-wheel.sh build/bin/tellurim [DIR]
# With DIR the pictures go there instead of docs/ (the test that compares the committed
# pictures with what the program draws now uses a temporary DIR).
set -euo pipefail
tellurim=$1
out=${2:-docs}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/sample-birth.sh
source "$here/sample-birth.sh"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
run() { "$tellurim" --yes --private-dir "$home/private" --horoscopes-dir "$home/horoscopes" "$@" >/dev/null; }
mkdir -p "$out"
run chart "${sample[@]}" --wheel "$out/sample-wheel.png"
run chart "${sample[@]}" --wheel "$out/sample-transits.png" --outside-ut "2000-01-01 12:00:00"
