# A virtual X display with a window manager, for the scripts that drive a program on it as a
# person would. Sourced, not run: it sets $work (a scratch folder), DISPLAY and the pids to end
# on exit, $title and $size (the window's title and client area, WIDTHxHEIGHT, as
# what-users-see.tsv has them), and defines fail, clipboard_holds, eventually and the steps every
# window's person takes (launch, find_window, calculate_100, paste_refused, close_with_alt_f4).
# The caller sets $who, the name its lines start with.
for tool in Xvfb openbox xprop xkbevd; do
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

# A display number of our own choosing, below the 99 and up that xvfb-run -a takes: Xvfb's own
# choice (-displayfd) tries taken numbers too, and removes the socket of the server it finds there
# as it gives up. This machine's Xvfbs start one at a time, each until it takes connections or has
# ended; one that finds its number taken ends, and the next is tried. With -noreset the server
# does not reset when the probe, its last client, leaves, and refuse the window manager meanwhile.
# It listens on its socket file alone (-nolisten local: no abstract socket, which every system
# in this network namespace shares): a server another system starts on the same number then
# neither stops it from starting nor answers its clients in its stead.
exec {start_lock}>"${TMPDIR:-/tmp}/halvern-xvfb-start.lock"
flock -w 120 "$start_lock" || fail "another Xvfb held the start for two minutes"
unset DISPLAY
for number in $(seq 20 98); do
  [[ -e /tmp/.X$number-lock || -e /tmp/.X11-unix/X$number ]] && continue
  # A server of another system in this network namespace (a chroot's), which clients would
  # reach first through its abstract socket.
  grep -qs "@/tmp/.X11-unix/X$number\$" /proc/net/unix && continue
  Xvfb ":$number" -screen 0 800x600x24 -nolisten tcp -nolisten local -noreset 2>"$work/xvfb.log" {start_lock}>&- &
  xvfb=$!
  within=30 eventually sh -c "! kill -0 $xvfb || xprop -display :$number -root" || true
  if kill -0 "$xvfb" 2>/dev/null && xprop -display ":$number" -root >/dev/null 2>&1; then
    pids+=("$xvfb")
    export DISPLAY=":$number"
    break
  fi
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
done
exec {start_lock}>&-
[[ -n ${DISPLAY:-} ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
pids+=("$wm")
# A first start on a loaded machine (two fresh systems building side by side) has been seen to
# take more than ten seconds; a window manager that died says why.
within=60 eventually sh -c "! kill -0 $wm || xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'" || true
kill -0 "$wm" 2>/dev/null || fail "the window manager ended: $(cat "$work/openbox.log")"
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" ||
  fail "no window manager after a minute: $(cat "$work/openbox.log")"

# The alert sound both windows make is the display's bell: xkbevd writes a line for each.
printf 'Bell() shell "echo >>%s"\n' "$work/bells" >"$work/xkbevd.cf"
: >"$work/bells"
xkbevd -cfg "$work/xkbevd.cf" >"$work/xkbevd.log" 2>&1 &
pids+=($!)

# Whether a process still runs (a zombie has ended), and where its threads wait.
process_state() { # what it is, pid
  [[ -e /proc/$2/status ]] || { echo "the $1 has ended"; return; }
  echo "the $1: $(grep -m1 '^State' "/proc/$2/status" | cut -f2), its threads waiting in" \
    "$(for task in /proc/"$2"/task/*; do cat "$task/wchan"; echo; done | sort | uniq -c | tr -s ' \n' ' ')"
}
# What a window that never showed leaves to go on: the program and the window manager; the
# windows of the title with their map states (one the manager never mapped is there, unviewable),
# and every named window; the manager's last words.
session_state() {
  process_state program "${app:-0}"
  process_state "window manager" "$wm"
  echo "windows titled so: $(xdotool search --name "^$title\$" | while read -r id; do
    echo "$id, $(xwininfo -id "$id" | grep -m1 'Map State' | tr -s ' ');"
  done)"
  echo "every named window: $(xwininfo -root -tree | grep -oE '^ +0x[0-9a-f]+ "[^"]*"' | tr -s ' \n' ' ')"
  echo "the window manager said: $(tail -n 5 "$work/openbox.log")"
}

# Starts the program, as $app, its output in program.log.
launch() {
  "$@" >"$work/program.log" 2>&1 &
  app=$!
  pids+=("$app")
}

# The program's window, once shown, as $window; its client area checked with the table's.
find_window() { # seconds
  window=$(timeout "$1" xdotool search --sync --onlyvisible --name "^$title\$" | head -n 1) ||
    fail "no window titled '$title' within $1 s; $(session_state)"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  [[ "${WIDTH}x${HEIGHT}" == "$size" ]] || fail "client area is ${WIDTH}x${HEIGHT}, not $size"
  echo "$who: window '$title' is up, client area ${WIDTH}x${HEIGHT}"
}

# 100 typed into the amount, the button pressed with Space from the keyboard, the fee copied out
# of its field: it reads 1 at the gold price of 550 the window starts with.
calculate_100() { # delay between keys, ms
  xdotool windowactivate --sync "$window"
  sleep 0.5
  xdotool type --delay "$1" 100
  xdotool key --delay 100 Tab space             # amount -> Calculate fee, pressed with Space
  xdotool key --delay 100 Tab Tab ctrl+a ctrl+c # -> gprice -> fee, then copy the fee
  eventually clipboard_holds 1 || fail "fee reads '$(timeout 2 xclip -o -selection clipboard 2>&1)', not 1"
  echo "$who: typed 100 at a gold price of 550, the fee field reads 1"
}

# A paste past the bound, made by xdotool with the arguments given: the note shows, with the
# alert sound, and closes with Enter.
paste_refused() { # xdotool arguments
  local rung
  rung=$(wc -l <"$work/bells")
  xdotool "$@"
  eventually titled -ge 2 || fail "no note for a paste past the bound"
  eventually bells_since "$rung" || fail "the note came without the alert sound"
  xdotool key Return
  eventually titled -eq 1 || fail "the note did not close with Enter"
}
# Whether the count of shown windows titled as the calculator compares so with the number given.
titled() { test "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)" "$1" "$2"; }
# Whether the display has rung since it had rung the number of times given.
bells_since() { (($(wc -l <"$work/bells") > $1)); }

# Alt+F4 on the window: the program $app ends by itself within fifteen seconds, with status 0.
close_with_alt_f4() {
  xdotool key alt+F4
  for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the program did not end when its window was closed"
  wait "$app" || fail "the program ended with status $? when its window was closed"
  echo "$who: Alt+F4 closed the window and the program ended"
}
