# A virtual X display with a window manager, for the scripts that drive a program on it as a
# person would. Sourced, not run: it sets $work (a scratch folder), DISPLAY and the pids to end
# on exit, $title and $size (the window's title and client area, WIDTHxHEIGHT, as
# what-users-see.tsv has them), and defines fail, clipboard_holds and eventually. The caller sets
# $who, the name its lines start with.
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "$who: $tool is not installed (make test installs it)"; exit 1; }
done

IFS=$'\t' read -r title size < <(python3 "$(dirname "${BASH_SOURCE[0]}")/tables.py" window)
work=$(mktemp -d)
pids=()
on_exit=() # more commands for the end, from the caller
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for command in "${on_exit[@]}"; do eval "$command" || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "$who: FAILED: $*"
  [[ -s $work/program.log ]] && { echo "the program said:"; head -n 40 "$work/program.log"; }
  exit 1
}
# Whether the clipboard holds $1, as a field copied it (under Wine with CR LF line ends).
clipboard_holds() { [[ $(timeout 2 xclip -o -selection clipboard 2>/dev/null | tr -d '\r') == "$1" ]]; }
# Repeats a command until it succeeds, for at most about ten seconds, or $within seconds.
eventually() {
  for _ in $(seq $((${within:-10} * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
eventually test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# A first start on a loaded machine (two fresh systems building side by side) has been seen to
# take more than ten seconds; a window manager that died says why.
within=60 eventually sh -c "! kill -0 $! || xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'"
kill -0 $! 2>/dev/null || fail "the window manager ended: $(cat "$work/openbox.log")"
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" ||
  fail "no window manager after a minute: $(cat "$work/openbox.log")"
