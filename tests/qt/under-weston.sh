#!/usr/bin/env bash
# Runs a command as a Wayland client of a headless weston of its own: under-weston.sh COMMAND...
# Exit 77 (skipped) where weston is missing or cannot start here, or where a test the command ran
# skipped itself (Qt Test's "SKIP   :" lines) and none failed: a skip never reads as a pass.
set -euo pipefail
command -v weston >/dev/null || { echo "weston is not installed (make test installs it): skipped"; exit 77; }

export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
socket=halvern-test
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 \
  >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
compositor=$!
trap 'kill "$compositor" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do
  [[ -S $XDG_RUNTIME_DIR/$socket ]] && break
  kill -0 "$compositor" 2>/dev/null || break
  sleep 0.1
done
if [[ ! -S $XDG_RUNTIME_DIR/$socket ]]; then
  echo "weston did not start here: skipped"; cat "$XDG_RUNTIME_DIR/weston.log"; exit 77
fi

export WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland
unset DISPLAY
# A headless weston has no seat, and Qt 6.4's Wayland text input then dereferences a missing
# input device on every key event; real sessions have a seat. No input method avoids it.
export QT_IM_MODULE=none
status=0
"$@" 2>&1 | tee "$XDG_RUNTIME_DIR/output.log" || status=${PIPESTATUS[0]}
# Qt 6.4's Wayland plugin destroys a frame callback on its event thread while the main thread
# destroys it too, now and then, when a window closes as its frame is done (fixed upstream in a
# later Qt). libwayland then aborts on its own assertion, which nothing of ours can reach: that
# one abort, and no other failure, runs the command once more.
if ((status != 0)) && grep -q "wl_proxy_unref: Assertion .proxy->refcount > 0' failed" \
  "$XDG_RUNTIME_DIR/output.log"; then
  echo "Qt's Wayland plugin aborted on its frame callback race: run once more"
  status=0
  "$@" 2>&1 | tee "$XDG_RUNTIME_DIR/output.log" || status=${PIPESTATUS[0]}
fi
if ((status == 0)) && grep -q '^SKIP   :' "$XDG_RUNTIME_DIR/output.log"; then
  echo "$(grep -c '^SKIP   :' "$XDG_RUNTIME_DIR/output.log") tests skipped themselves here: skipped"
  exit 77
fi
exit "$status"
