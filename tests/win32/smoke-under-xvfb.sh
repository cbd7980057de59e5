#!/usr/bin/env bash
# Drives the Windows program under Wine as a person would: on a virtual X display with a window
# manager it finds the window, types an amount, tabs to the button, presses Space, copies the
# fee out of its field through the clipboard, keeps a screenshot, and closes the window with
# Alt+F4, then expects the program to have ended. Exit 77 (skipped) where Wine cannot run.
#   smoke-under-xvfb.sh <wine-run.sh> <x11 prefix> <halvern-fee.exe> [screenshot.png]
set -euo pipefail
wine_run=$1
prefix=$2
program=$3
screenshot=${4:-}

for tool in xdotool xclip; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is not installed (make test installs it)"; exit 1; }
done
command -v wine >/dev/null || { echo "smoke: Wine is not installed: skipped"; exit 77; }
[[ -f $prefix/.halvern-x11 ]] || { echo "smoke: no Wine prefix at $prefix: skipped"; exit 77; }

who=smoke
source "$(dirname "$0")/../support/desktop-session.sh"
on_exit+=("WINEPREFIX='$prefix' wineserver -k 2>/dev/null")

# A wineserver binds to the display it first meets: this prefix is used on this display only.
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
"$wine_run" "$prefix" "$program" >"$work/program.log" 2>&1 &
app=$!
pids+=("$app")
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
  fail "no window titled '$title'"
eval "$(xdotool getwindowgeometry --shell "$window")"
echo "smoke: window '$title' is up under Wine, ${WIDTH}x${HEIGHT}"
[[ "${WIDTH}x${HEIGHT}" == "$size" ]] || fail "client area is ${WIDTH}x${HEIGHT}, not $size"

xdotool windowactivate --sync "$window"
sleep 0.5
xdotool type --delay 50 100
xdotool key --delay 100 Tab space
xdotool key --delay 100 Tab Tab ctrl+a ctrl+c
eventually clipboard_holds 1 || fail "fee reads '$(timeout 2 xclip -o -selection clipboard 2>&1)', not 1"
echo "smoke: typed 100 at a gold price of 550, the fee field reads 1"

if [[ -n $screenshot ]] && command -v import >/dev/null; then
  import -window root "$screenshot" && echo "smoke: screenshot in $screenshot"
fi

xdotool key alt+F4
for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
echo "smoke: Alt+F4 closed the window and the program ended"
