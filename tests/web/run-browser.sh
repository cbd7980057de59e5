#!/usr/bin/env bash
# Runs the browser test for one browser; WebKit's MiniBrowser gets a virtual display of its own.
# Exit 77 (skipped) where the audit tool or the browser is missing.
#   run-browser.sh <browser> <site> <axe.min.js> <screenshot.png>
set -euo pipefail
browser=$1
here=$(dirname "$0")
[[ -f $3 ]] || { echo "axe-core is not installed at $3 (make test installs it): skipped"; exit 77; }
[[ -f $2/index.html ]] || { echo "FAILED: no site at $2"; exit 1; }
if [[ $browser == webkit ]]; then
  command -v xvfb-run >/dev/null || { echo "xvfb-run is not installed (make test installs it): skipped"; exit 77; }
  exec xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" python3 "$here/browser-test.py" "$@"
fi
exec python3 "$here/browser-test.py" "$@"
