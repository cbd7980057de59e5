#!/usr/bin/env bash
# Start-up benchmark: on a fresh Xvfb display, starts halvern-fee, the minimal Qt window and
# xcalc in turn, round after round (the order rotates each round), and reports for each the
# median and range of: first paint (first pixels on screen after its window maps), paint settled
# (last drawing before 300 ms of quiet) and peak resident memory. Figures, not a test.
#   run.sh <startup-probe> <halvern-fee> <minimal-window> [rounds, default 15]
set -euo pipefail
probe=$1
rounds=${4:-15}
programs=("$2" "$3" xcalc)
names=(halvern-fee minimal-qt xcalc)

command -v xcalc >/dev/null || { echo "xcalc is not installed (package x11-apps)"; exit 1; }
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

# One unmeasured start each, so that every program meets warm file caches.
for i in 0 1 2; do "$probe" "${programs[$i]}" >/dev/null; done
for ((round = 0; round < rounds; round++)); do
  for ((k = 0; k < 3; k++)); do
    i=$(((round + k) % 3))
    "$probe" "${programs[$i]}" >>"$work/${names[$i]}"
  done
done

# Column c of a program's results: median, min, max.
stats() {
  cut -d' ' -f"$2" "$work/$1" | sort -g | awk '{v[NR] = $1} END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s %s\n", m, v[1], v[NR] }'
}

printf '%d rounds on %s, %s\n\n' "$rounds" "$(uname -m)" "$(date -u +%Y-%m-%d)"
printf '%-12s %26s %26s %26s\n' program "first paint ms (min-max)" "paint settled ms (min-max)" \
  "peak RSS MiB (min-max)"
declare -A median
for name in "${names[@]}"; do
  read -r fp fpmin fpmax < <(stats "$name" 2)
  read -r st stmin stmax < <(stats "$name" 3)
  read -r rss rssmin rssmax < <(stats "$name" 4)
  median[$name.paint]=$fp
  median[$name.rss]=$rss
  printf '%-12s %10.1f (%5.1f-%6.1f) %12.1f (%5.1f-%6.1f) %12.1f (%4.1f-%4.1f)\n' "$name" \
    "$fp" "$fpmin" "$fpmax" "$st" "$stmin" "$stmax" \
    "$(awk "BEGIN {print $rss / 1024}")" "$(awk "BEGIN {print $rssmin / 1024}")" \
    "$(awk "BEGIN {print $rssmax / 1024}")"
done
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
echo
echo "halvern-fee / minimal Qt: first paint $(ratio "${median[halvern-fee.paint]}" "${median[minimal-qt.paint]}") x (goal <= 1.15)," \
  "peak memory $(ratio "${median[halvern-fee.rss]}" "${median[minimal-qt.rss]}") x (goal <= 1.10)"
echo "halvern-fee / xcalc: first paint $(ratio "${median[halvern-fee.paint]}" "${median[xcalc.paint]}") x (goal < 1)"
