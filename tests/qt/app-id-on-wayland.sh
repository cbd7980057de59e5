#!/usr/bin/env bash
# The real program on Wayland names itself by its desktop entry, which is how a compositor finds
# its icon and name for the task bar: app-id-on-wayland.sh PROGRAM DESKTOP-ENTRY-NAME, under
# under-weston.sh. A first start on a loaded machine may take a while, as the smoke runs know.
set -euo pipefail
log=$(mktemp)
WAYLAND_DEBUG=client "$1" >"$log" 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 300); do
  given=$(grep -o -m1 'set_app_id("[^"]*")' "$log" || true)
  if [[ -n $given ]]; then
    [[ $given == "set_app_id(\"$2\")" ]] || { echo "FAILED: $given, wanted $2"; exit 1; }
    echo "the window's app id: $2"
    exit 0
  fi
  sleep 0.1
done
echo "FAILED: no app id given within 30 s; wanted $2"
exit 1
