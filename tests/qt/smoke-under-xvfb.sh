#!/usr/bin/env bash
# Drives the real program as a person would: on a virtual X display with a window manager, it
# finds the window, types an amount, tabs to the button, presses Space, copies the fee out of its
# field, pastes past the bound with the middle button (a note, with the alert sound), and closes
# it with Alt+F4, then expects the program to have ended by itself, and to end as well when
# another X client destroys its window. Last, with no display it can open, the program must say
# so and exit 1, and Qt's own warnings while it opens one must reach the user as they were.
set -euo pipefail
program=$1

for tool in xdotool xclip /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is not installed (make test installs it)"; exit 1; }
done

who=smoke
source "$(dirname "$0")/../support/desktop-session.sh"

launch "$program"
find_window 60 # a first start on a loaded machine may be slow, as the session says
calculate_100 30

# The X selection, pasted with the middle button at the pointer, is weighed as any paste: its
# trailing line break stays behind, and one past the bound brings the note.
xdotool key Tab ctrl+a BackSpace # fee -> amount, emptied
printf '550\n' | xclip -selection primary
xdotool mousemove --window "$window" 240 65 click 2
xdotool key Tab space Tab Tab ctrl+a ctrl+c # amount -> button, press; -> gprice -> fee, copy
eventually clipboard_holds 5.5 ||
  fail "after a middle-button paste of 550 and a line break the fee reads '$(timeout 2 xclip -o -selection clipboard 2>&1)'"
xdotool key Tab ctrl+a BackSpace # fee -> amount, emptied
head -c 4001 /dev/zero | tr '\0' 9 | xclip -selection primary
paste_refused mousemove --window "$window" 240 65 click 2
echo "smoke: middle-button pastes: 550 with a line break taken, 4,001 characters refused with a note and a sound"

close_with_alt_f4

launch "$program"
find_window 60

# Another client destroys the window, as a session manager or a buggy tool may.
/usr/bin/python3 - "$window" <<'PY' || fail "could not destroy the window"
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
x11.XDestroyWindow(display, int(sys.argv[1]))
x11.XCloseDisplay(display)
PY
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program went on running after its window was destroyed"
wait "$app" || fail "the program ended with status $? when its window was destroyed"
echo "smoke: the program ended when its window was destroyed from outside"

# No display it can open: one line naming the variables with their values, exit status 1, no
# abort.
status=0
env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:999 "$program" >"$work/nodisplay.log" 2>&1 ||
  status=$?
[[ $status == 1 ]] || fail "without a display the program exited with $status: $(cat "$work/nodisplay.log")"
[[ $(wc -l <"$work/nodisplay.log") == 1 ]] &&
  grep -qF '(DISPLAY=:999, WAYLAND_DISPLAY=unset)' "$work/nodisplay.log" ||
  fail "without a display it said: $(cat "$work/nodisplay.log")"
echo "smoke: without a display: $(cat "$work/nodisplay.log")"

# Qt's messages while the display opens are held, then passed on as they were: of their type and
# category, with the category's rules applied.
env -u XDG_RUNTIME_DIR QT_MESSAGE_PATTERN='%{type}: %{category}: %{message}' \
  QT_LOGGING_RULES='qt.qpa.plugin.debug=true' "$program" >"$work/held.log" 2>&1 &
app=$!
pids+=("$app")
timeout 20 xdotool search --sync --onlyvisible --name "^$title\$" >/dev/null ||
  fail "no window without XDG_RUNTIME_DIR"
kill "$app"
grep -q '^warning: default: QStandardPaths: XDG_RUNTIME_DIR not set' "$work/held.log" &&
  grep -q '^debug: qt.qpa.plugin: Successfully loaded Qt platform plugin' "$work/held.log" ||
  fail "Qt's messages at start were lost or changed: $(cat "$work/held.log")"
echo "smoke: Qt's messages while opening the display were passed on with their type and category"
