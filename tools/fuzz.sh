#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer), replays their seed corpora, then fuzzes each
# target for the given number of seconds, two at a time. Inputs that fail are
# kept in build/fuzz/failures. Usage: tools/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
ctest --preset fuzz

failures=build/fuzz/failures
mkdir -p "$failures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run() {
  local target=$1
  mkdir -p "$work/$target"
  # No display: the editor opens on its headless layer.
  if DISPLAY= ASAN_OPTIONS=detect_leaks=1 build/fuzz/fuzz/${target}_fuzz \
      -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$failures/$target-" \
      "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    echo "$target: $(grep -E '^#[0-9]+.*DONE' "$work/$target.log" | tail -1)"
  else
    cat "$work/$target.log"
    echo "$target: FAILED (input kept in $failures)"
    return 1
  fi
}

status=0
for pair in "dispatcher events" "chunks render"; do
  pids=()
  for target in $pair; do
    run "$target" & pids+=($!)
  done
  for pid in "${pids[@]}"; do wait "$pid" || status=1; done
done
exit $status
