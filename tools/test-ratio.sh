#!/usr/bin/env bash
# The size of the tests against the size of the code: non-blank lines of the C++ sources and
# headers (*.cpp, *.h) and the test scripts (*.sh, *.py) under tests/, against the non-blank
# lines of the C++ sources and headers under src/. Build files (CMakeLists.txt), the string
# tables (src/**/*.def) and the reference data under tests/data/ are not counted.
# The budget is 35%: the script fails above it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
budget=${TEST_RATIO_BUDGET:-35}
count() {  # non-blank lines of the files under $1 whose names match the patterns after it
  local dir=$1; shift
  local args=()
  for p in "$@"; do args+=(${args:+-o} -name "$p"); done
  find "$root/$dir" -path "$root/tests/data" -prune -o -type f \( "${args[@]}" \) -print0 |
    xargs -0 cat | grep -c '[^[:space:]]' || true
}
tests=$(count tests '*.cpp' '*.h' '*.sh' '*.py')
src=$(count src '*.cpp' '*.h')
awk -v t="$tests" -v s="$src" -v b="$budget" 'BEGIN {
  r = 100 * t / s
  printf "tests/ %d lines, src/ %d lines: %.1f%% (budget %d%%)\n", t, s, r, b
  exit r > b }'
