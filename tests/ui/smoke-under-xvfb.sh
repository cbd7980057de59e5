#!/usr/bin/env bash
# Drives the real program as a person would: on a virtual X display with a window manager, it
# finds the window, types an amount, tabs to the button, presses Space, copies the fee out of its
# field and closes the window with Alt+F4, then expects the program to have ended by itself.
set -euo pipefail
program=$1
title='Halvern Fee Calculator'

for tool in Xvfb openbox xdotool xclip xprop; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is not installed (make test installs it)"; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke: FAILED: $*"
  [[ -s $work/program.log ]] && { echo "the program said:"; head -n 40 "$work/program.log"; }
  exit 1
}
# Repeats a command until it succeeds, for at most about ten seconds.
eventually() {
  for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
eventually test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
eventually sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "no window manager"

"$program" >"$work/program.log" 2>&1 &
app=$!
pids+=("$app")
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
  fail "no window titled '$title'"

[[ $(xdotool getwindowname "$window") == "$title" ]] || fail "title"
eval "$(xdotool getwindowgeometry --shell "$window")"
[[ "${WIDTH}x${HEIGHT}" == 312x213 ]] || fail "client area is ${WIDTH}x${HEIGHT}, not 312x213"
echo "smoke: window '$title' is up, client area ${WIDTH}x${HEIGHT}"

xdotool windowactivate --sync "$window"
xdotool type --delay 30 100
xdotool key Tab space        # amount -> Calculate fee, pressed with Space
xdotool key Tab Tab ctrl+a ctrl+c # -> gprice -> fee, then copy the fee
read_fee() { [[ $(timeout 2 xclip -o -selection clipboard 2>/dev/null) == "$1" ]]; }
eventually read_fee 1 || fail "fee reads '$(timeout 2 xclip -o -selection clipboard 2>&1)', not 1"
echo "smoke: typed 100 at a gold price of 550, the fee field reads 1"

xdotool key alt+F4
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
wait "$app" || fail "the program ended with status $?: $(cat "$work/program.log")"
echo "smoke: Alt+F4 closed the window and the program ended"
