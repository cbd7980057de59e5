#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own:
#   wine-run.sh --prepare <prefix> null|x11 [dpi]
#                                             makes the prefix, with that graphics driver and
#                                             the screen's density (96 unless given)
#   wine-run.sh --remove <folder of prefixes>  ends their Wine servers and removes them
#   wine-run.sh <prefix> <program.exe> [arguments...]
# Exit 77 (skipped) where Wine is missing or cannot run here; never a pass without a run.
set -euo pipefail
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

if [[ $1 == --remove ]]; then
  for prefix in "$2"/*/; do
    if [[ -d $prefix ]] && command -v wineserver >/dev/null; then
      WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    fi
  done
  rm -rf "$2"
  echo "Wine prefixes removed"
  exit 0
fi

wine=$(command -v wine64 || command -v wine || true)
[[ -n $wine ]] || { echo "Wine is not installed (make test installs it): skipped"; exit 77; }
wineserver=$(dirname "$wine")/wineserver
[[ -x $wineserver ]] || wineserver=wineserver

if [[ $1 == --prepare ]]; then
  prefix=$2
  driver=$3
  dpi=${4:-}
  # A prefix holds some 700 MB of Wine's DLLs. Both drivers' prefixes share those, hard-linked,
  # with a prefix made once; everything else is copied, since Wine rewrites its registry files
  # in place. The tests remove them all at the end.
  base=$(dirname "$prefix")/base
  mkdir -p "$(dirname "$prefix")"
  exec 9>"$(dirname "$prefix")/.lock"
  flock 9
  if [[ ! -f $base/.halvern-ready ]]; then
    rm -rf "$base"
    if ! WINEPREFIX=$base DISPLAY= timeout 150 "$wine" wineboot --init >"$base.log" 2>&1; then
      echo "Wine could not make a prefix here: skipped"; tail -n 20 "$base.log"; exit 77
    fi
    WINEPREFIX=$base "$wineserver" -w 2>/dev/null || true
    touch "$base/.halvern-ready"
  fi
  if [[ ! -f $prefix/.halvern-$driver ]]; then
    rm -rf "$prefix"
    cp -al "$base" "$prefix"
    rm -f "$prefix"/.halvern-*
    find "$prefix" -type f -links +1 ! -path '*/system32/*' ! -path '*/winsxs/*' \
      -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv "$f.copy" "$f"; done' sh {} +
    export WINEPREFIX=$prefix
    # A program that crashes ends at once, its backtrace on stderr, rather than waiting on a
    # crash dialog that no one will close until the test's time runs out.
    settings=$'[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    if [[ $driver == null ]]; then
      settings+=$'[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\n"Graphics"="null"\n\n'
    fi
    if [[ -n $dpi ]]; then
      settings+=$(printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"LogPixels"=dword:%08x' "$dpi")
    fi
    # One import sets them all. Wine's first start in a new prefix has, once in many CI runs,
    # failed without a word; it is tried again, and a last failure shows what Wine said.
    printf 'REGEDIT4\n\n%s\n' "$settings" >"$prefix/drive_c/halvern-settings.reg"
    for attempt in 1 2 3; do
      if said=$(DISPLAY= "$wine" reg import 'C:\halvern-settings.reg' 2>&1); then
        break
      fi
      "$wineserver" -k 2>/dev/null || true
      if ((attempt == 3)); then
        echo "Wine could not set the prefix's registry:"; echo "$said"; exit 1
      fi
      sleep 2
    done
    rm "$prefix/drive_c/halvern-settings.reg"
    "$wineserver" -w 2>/dev/null || true
    # The server writes the registry out as it ends: read back what the tests rely on.
    if [[ $driver == null ]] && ! grep -q '^"Graphics"="null"' "$prefix/user.reg"; then
      echo "the prefix's registry lacks the null driver"; exit 1
    fi
    if [[ -n $dpi ]] && ! grep -q "^\"LogPixels\"=dword:$(printf %08x "$dpi")" "$prefix/user.reg"; then
      echo "the prefix's registry lacks its density, $dpi dpi"; exit 1
    fi
    touch "$prefix/.halvern-$driver"
  fi
  echo "Wine prefix $prefix ready ($driver driver${dpi:+, $dpi dpi})"
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
