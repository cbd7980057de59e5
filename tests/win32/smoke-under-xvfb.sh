#!/usr/bin/env bash
# Drives the Windows program under Wine as a person would: on a virtual X display with a window
# manager it finds the window, types an amount, tabs to the button, presses Space, copies the
# fee out of its field through the clipboard, pastes past the bound (a note, with the alert
# sound), keeps a screenshot, and closes the window with Alt+F4, then expects the program to have
# ended. Exit 77 (skipped) where Wine cannot run.
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
launch "$wine_run" "$prefix" "$program"
find_window 60
calculate_100 50
xdotool key Tab # fee -> amount
head -c 4001 /dev/zero | tr '\0' 9 | xclip -selection clipboard
paste_refused key ctrl+v
echo "smoke: a paste of 4,001 characters refused with a note and a sound"

if [[ -n $screenshot ]] && command -v import >/dev/null; then
  import -window root "$screenshot" && echo "smoke: screenshot in $screenshot"
fi

close_with_alt_f4
