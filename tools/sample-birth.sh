# The sample birth of the main job and of the README's wheel picture: Paris, 6 June 1944,
# 08:00 legal time (UT = legal - 2 h). Sourced by tools/run-main.sh and tools/readme-wheel.sh.
sample=(--name Sample --first-name Birth --sex F
  --local "1944-06-06 08:00:00" --correction -2
  --lon "2d20'56.00\"E" --lat "48d51'24.00\"N" --city Paris --country France
  --house-system Placidus --zodiac movable)
