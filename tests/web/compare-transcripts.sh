#!/usr/bin/env bash
# Runs the transcript natively and as WebAssembly under node and compares them byte for byte.
# Exit 77 (skipped) where the native build has not been made.
#   compare-transcripts.sh <native transcript> <node> <transcript.js> <work folder>
set -euo pipefail
native=$1 node=$2 wasm=$3 work=$4
[[ -x $native ]] || { echo "no native build at $native (make test builds it first): skipped"; exit 77; }
"$native" >"$work/native.txt"
"$node" "$wasm" >"$work/wasm.txt"
lines=$(wc -l <"$work/native.txt")
((lines >= 100000)) || { echo "FAILED: only $lines texts"; exit 1; }
if ! cmp -s "$work/native.txt" "$work/wasm.txt"; then
  echo "FAILED: the WebAssembly build differs from the native one:"
  diff "$work/native.txt" "$work/wasm.txt" | head -n 20
  exit 1
fi
echo "$lines texts: conversions, presses and reports byte for byte the same natively and in WebAssembly"
