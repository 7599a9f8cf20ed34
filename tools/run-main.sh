#!/usr/bin/env bash
# The main job: what "make run" shows a new user. A sample birth, then the present moment at
# "My city", with the default (precise) ephemeris.
set -euo pipefail
tellurim=$1
echo "== A sample birth: Paris, 6 June 1944, 08:00 legal time (UT = legal - 2 h)"
"$tellurim" --yes chart --name Sample --first-name Birth --sex F \
  --local "1944-06-06 08:00:00" --correction -2 \
  --lon "2d20'56.00\"E" --lat "48d51'24.00\"N" --city Paris --country France \
  --house-system Placidus --zodiac movable
echo
echo "== Now at My city"
"$tellurim" --yes chart --name Now --now --my-city
