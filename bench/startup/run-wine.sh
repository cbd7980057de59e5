#!/usr/bin/env bash
# The Windows program's start-up under Wine on a fresh Xvfb display, against a plain Win32 window
# with the same controls and the program's manifest, and that window bare: first paint and peak
# memory, median and range over the rounds, the order rotating. Wine's own server is started
# first and kept, so that no program pays for it. Figures, not a test.
#   run-wine.sh <startup-probe> <halvern-fee.exe> <minimal-win32.exe> <minimal-win32-bare.exe>
#               [rounds, default 15]
set -euo pipefail
probe=$1
rounds=${5:-15}
programs=("$2" "$3" "$4")
names=(halvern-fee.exe minimal-win32 bare-win32)
here=$(cd "$(dirname "$0")" && pwd)
command -v wine >/dev/null || { echo "Wine is not installed: no Windows figures"; exit 0; }

work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
export WINEPREFIX=$work/prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
"$here/../../tools/wine-run.sh" --prepare "$WINEPREFIX" x11 >/dev/null
wineserver -p

# One unmeasured start each, so that every program meets warm caches.
for i in 0 1 2; do "$probe" wine "${programs[$i]}" >/dev/null; done
for ((round = 0; round < rounds; round++)); do
  for ((k = 0; k < 3; k++)); do
    i=$(((round + k) % 3))
    "$probe" wine "${programs[$i]}" >>"$work/${names[$i]}"
  done
done

stats() {
  cut -d' ' -f"$2" "$work/$1" | sort -g | awk '{v[NR] = $1} END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s %s\n", m, v[1], v[NR] }'
}
printf '\nUnder Wine, %d rounds\n%-16s %26s %26s\n' "$rounds" program "first paint ms (min-max)" \
  "peak RSS MiB (min-max)"
declare -A median
for name in "${names[@]}"; do
  read -r fp fpmin fpmax < <(stats "$name" 2)
  read -r rss rssmin rssmax < <(stats "$name" 4)
  median[$name.paint]=$fp
  median[$name.rss]=$rss
  printf '%-16s %10.1f (%5.1f-%6.1f) %12.1f (%4.1f-%4.1f)\n' "$name" "$fp" "$fpmin" "$fpmax" \
    "$(awk "BEGIN {print $rss / 1024}")" "$(awk "BEGIN {print $rssmin / 1024}")" \
    "$(awk "BEGIN {print $rssmax / 1024}")"
done
ratio() { awk "BEGIN {printf \"%.2f\", $1 / $2}"; }
for floor in minimal-win32 bare-win32; do
  echo "halvern-fee.exe / $floor: first paint $(ratio "${median[halvern-fee.exe.paint]}" "${median[$floor.paint]}") x," \
    "peak memory $(ratio "${median[halvern-fee.exe.rss]}" "${median[$floor.rss]}") x"
done
echo "(goal: first paint at most 1.20 x minimal-win32, the same window with the program's manifest)"
