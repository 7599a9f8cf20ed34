#!/usr/bin/env bash
# The main job: what "make run" shows a new user. A sample birth, saved as a horoscope file,
# opened again and exported to the default SQLite database; then the present moment at
# "My city", with the default (precise) ephemeris.
set -euo pipefail
tellurim=$1
out=out
mkdir -p "$out"
echo "== A sample birth: Paris, 6 June 1944, 08:00 legal time (UT = legal - 2 h), saved"
said=$(mktemp)
trap 'rm -f "$said"' EXIT
# shellcheck source=tools/sample-birth.sh
source "$(dirname "$0")/sample-birth.sh"
"$tellurim" --yes chart "${sample[@]}" --save --wheel "$out/sample-wheel.png" 2> >(tee "$said" >&2)
wait
"$tellurim" --yes chart "${sample[@]}" --wheel "$out/sample-wheel.svg" >/dev/null
saved=$(sed -n 's/^Horoscope saved in: //p' "$said" | tail -1)
echo
echo "== The sample chart's wheel: $out/sample-wheel.png and $out/sample-wheel.svg"
"$tellurim" --yes chart "${sample[@]}" --report "$out/sample-report.html" >/dev/null
"$tellurim" --yes chart "${sample[@]}" --report "$out/sample-report.rtf" >/dev/null
echo "== The sample chart's results report: $out/sample-report.html and $out/sample-report.rtf"
echo
echo "== The saved file, opened again: $saved"
"$tellurim" --yes open "$saved" --house-system Placidus --zodiac movable | sed -n 1,8p
echo
echo "== Exported to the default SQLite database"
"$tellurim" --yes db setup
"$tellurim" --yes export db "$saved"
echo
echo "== Now at My city"
"$tellurim" --yes chart --name Now --now --my-city --no-stars
