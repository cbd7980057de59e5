#!/usr/bin/env bash
# Starts the real program under Xvfb on a private D-Bus session with the accessibility bus, and
# lets screen-reader-view.py look at it as an assistive technology would.
set -euo pipefail
program=$1
here=$(dirname "$0")

for tool in dbus-run-session /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "screen reader: $tool is not installed (make test installs it)"; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
  { echo "screen reader: python3-pyatspi is not installed (make test installs it)"; exit 1; }

who="screen reader"
source "$here/../support/desktop-session.sh"
export XDG_RUNTIME_DIR=$work
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0

# Inside one private session bus: the program, then the reader; the bus ends with them.
dbus-run-session -- bash -c '
  "$1" >"$2/program.log" 2>&1 &
  app=$!
  /usr/bin/python3 "$3"
  status=$?
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  [[ $status -eq 0 ]] || { echo "the program said:"; head -n 40 "$2/program.log"; }
  exit $status
' _ "$program" "$work" "$here/screen-reader-view.py"
