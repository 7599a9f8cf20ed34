#!/usr/bin/env bash
# Runs every fuzz target of BUILD/fuzz in turn from its seeds (fuzz/seeds/<name> committed,
# SEEDS/<name> made by fuzz/make-seeds.sh), growing its corpus in BUILD/fuzz-corpus/<name>.
# Usage: fuzz/run.sh BUILD SEEDS runs=N      (the long runs of make fuzz)
#        fuzz/run.sh BUILD SEEDS seconds=S   (a run of S seconds)
#        fuzz/run.sh BUILD SEEDS short=N     (the short runs of make test: N executions from
#                                             the seeds alone with a fixed random seed, so that
#                                             every machine runs the same inputs)
# A crash, leak or sanitizer report stops the run with libFuzzer's status; the input is kept
# in BUILD/fuzz-crashes. Each target's last lines (executions, speed) go to BUILD/fuzz-logs.
set -euo pipefail
build=$1
seeds=$2
mode=$3
here=$(cd "$(dirname "$0")" && pwd)
case $mode in
  runs=*) limit=(-runs="${mode#runs=}") ;;
  seconds=*) limit=(-max_total_time="${mode#seconds=}") ;;
  short=*) limit=(-runs="${mode#short=}" -seed=1) ;;
  *) echo "usage: $0 BUILD SEEDS runs=N|seconds=S|short=N" >&2; exit 2 ;;
esac
# FUZZ_MAX_TIME caps each long run in seconds; FUZZ_TARGETS names the targets to run ("date_text ...").
[ -n "${FUZZ_MAX_TIME:-}" ] && limit+=(-max_total_time="$FUZZ_MAX_TIME")
# FUZZ_JOBS > 1 runs a long run in libFuzzer's fork mode on that many cores, sharing one
# corpus; the executions are counted over all of them.
jobs=${FUZZ_JOBS:-1}
[[ $mode != short=* ]] && [ "$jobs" -gt 1 ] && limit+=(-fork="$jobs")
only=${FUZZ_TARGETS:-}
mkdir -p "$build/fuzz-corpus" "$build/fuzz-logs" "$build/fuzz-crashes"
status=0
for target in "$build"/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  short=${name#fuzz_}
  if [ -n "$only" ] && [[ " $only " != *" $short "* ]]; then continue; fi
  corpus=$build/fuzz-corpus/$short
  # A short run grows a corpus of its own, thrown away before the next one.
  [[ $mode == short=* ]] && corpus=$build/fuzz-corpus-short/$short && rm -rf "$corpus"
  mkdir -p "$corpus"
  dirs=("$corpus")
  [ -d "$here/seeds/$short" ] && dirs+=("$here/seeds/$short")
  [ -d "$seeds/$short" ] && dirs+=("$seeds/$short")
  # Room for the seeds of the binary files (the options image is 65,280 bytes); the texts keep
  # libFuzzer's own limit, which grows from short inputs and keeps the runs fast.
  case $short in
    options_image) max_len=(-max_len=65536) ;;
    atlas_index) max_len=(-max_len=21000) ;;
    atlas_cities | atlas_corrections | aspects_file) max_len=(-max_len=8192) ;;
    *) max_len=() ;;
  esac
  # The round-trip targets get the file's tags and the line's fixed words as a dictionary.
  case $short in
    horoscope_roundtrip | export_import) dict=(-dict="$here/seeds/roundtrip.dict") ;;
    *) dict=() ;;
  esac
  log=$build/fuzz-logs/$short.log
  echo "== $short (${mode})"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
     "$target" "${limit[@]}" "${max_len[@]}" "${dict[@]}" -rss_limit_mb=4096 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-crashes/$short-" "${dirs[@]}" >"$log" 2>&1; then
    grep -aE 'stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added|INFO: fuzzed for|INFO: exiting' "$log" | sed 's/^/   /'
  else
    status=1
    echo "   FAILED: see $log" >&2
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 >&2 || true
  fi
done
exit $status
