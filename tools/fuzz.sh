#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer), replays
# the committed corpus through each, then fuzzes each for the given number of seconds. New inputs
# go to build/fuzz/work/, never into the committed corpus; a crash leaves its input in
# build/fuzz/artifacts/ and fails the run.
#   tools/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts

for pair in TextToNumberFuzzer:text-to-number PressFuzzer:press; do
  target=${pair%%:*}
  name=${pair#*:}
  binary=build/fuzz/fuzz/$target
  corpus=fuzz/corpus/$name
  work=build/fuzz/work/$name
  mkdir -p "$work"
  log=build/fuzz/$name.log
  echo "== $target: replaying the $(find "$corpus" -type f | wc -l) committed inputs"
  "$binary" -runs=0 "$corpus" >"$log" 2>&1 || { tail -n 40 "$log"; exit 1; }
  echo "== $target: fuzzing for $seconds s"
  if ! "$binary" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/artifacts/"$target"- "$work" "$corpus" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target failed: its input is in build/fuzz/artifacts/"
    exit 1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log"
done
echo "fuzz: no failures"
