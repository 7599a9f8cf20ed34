#!/usr/bin/env bash
# The main job: what "make run" shows a new user. A sample birth, then the present moment at
# "My city". The low-precision ephemeris is named until the precise providers are built.
set -euo pipefail
tellurim=$1
out=out
mkdir -p "$out"
echo "== A sample birth: Paris, 6 June 1944, 08:00 legal time (UT = legal - 2 h)"
"$tellurim" --yes chart --name Sample --first-name Birth --sex F \
  --local "1944-06-06 08:00:00" --correction -2 \
  --lon "2d20'56.00\"E" --lat "48d51'24.00\"N" --city Paris --country France \
  --house-system Placidus --zodiac movable --ephemeris low \
  --wheel "$out/sample-wheel.png"
"$tellurim" --yes chart --name Sample --first-name Birth --sex F \
  --local "1944-06-06 08:00:00" --correction -2 \
  --lon "2d20'56.00\"E" --lat "48d51'24.00\"N" --city Paris --country France \
  --house-system Placidus --zodiac movable --ephemeris low \
  --wheel "$out/sample-wheel.svg" >/dev/null
echo
echo "== The sample chart's wheel: $out/sample-wheel.png and $out/sample-wheel.svg"
echo
echo "== Now at My city"
"$tellurim" --yes chart --name Now --now --my-city --ephemeris low
