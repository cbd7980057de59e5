#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own:
#   wine-run.sh --prepare <prefix> null|x11   makes the prefix, with that graphics driver
#   wine-run.sh <prefix> <program.exe> [arguments...]
# Exit 77 (skipped) where Wine is missing or cannot run here; never a pass without a run.
set -euo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

wine=$(command -v wine64 || command -v wine || true)
[[ -n $wine ]] || { echo "Wine is not installed (make test installs it): skipped"; exit 77; }

if [[ $1 == --prepare ]]; then
  export WINEPREFIX=$2
  driver=$3
  if [[ ! -f $WINEPREFIX/.halvern-$driver ]]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    if ! DISPLAY= timeout 150 "$wine" wineboot --init >"$WINEPREFIX.log" 2>&1; then
      echo "Wine could not make a prefix here: skipped"; tail -n 20 "$WINEPREFIX.log"; exit 77
    fi
    if [[ $driver == null ]]; then
      DISPLAY= "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
    fi
    "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
    touch "$WINEPREFIX/.halvern-$driver"
  fi
  echo "Wine prefix $WINEPREFIX ready ($driver driver)"
  exit 0
fi

export WINEPREFIX=$1
shift
[[ -f $(echo "$WINEPREFIX"/.halvern-*) ]] ||
  { echo "no Wine prefix at $WINEPREFIX (its fixture was skipped): skipped"; exit 77; }
# Wine ends lines with CR LF; the test's own output is read as plain lines.
set +e
"$wine" "$@" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
exit "$status"
