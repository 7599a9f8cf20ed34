#!/usr/bin/env bash
# The main job of the moment: what "make run" shows a new user.
set -euo pipefail
tellurim=$1
now=$(date -u '+%Y-%m-%d %H:%M:%S')
"$tellurim" calc date "$now"
"$tellurim" options show
