#!/usr/bin/env bash
# Builds the generated data (not kept in git) under data/ from pinned public packages.
# Each step skips itself when its output is already there.
set -euo pipefail
build_dir=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
for step in "$root"/tools/data.d/*.sh; do
  [ -e "$step" ] || continue
  bash "$step" "$root" "$build_dir"
done
