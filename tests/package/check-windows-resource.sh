#!/usr/bin/env bash
# Compiles the generated Windows resource script with MinGW's windres, decompiles the compiled
# resource and checks the version record and the icon in what comes back.
set -euo pipefail
rc=$1
windres=x86_64-w64-mingw32-windres
command -v "$windres" >/dev/null || { echo "$windres is not installed (make test installs it)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The host's C preprocessor stands in for MinGW's, which the resource script does not need.
"$windres" --preprocessor=cpp -i "$rc" -O coff -o "$work/version.o"
"$windres" -i "$work/version.o" -O rc -o "$work/readback.rc"

failures=0
expect() {
  if grep -qF -- "$1" "$work/readback.rc"; then
    echo "ok: $1"
  else
    echo "MISSING: $1"; failures=$((failures + 1))
  fi
}
expect 'FILEVERSION 1, 0, 0, 0'
expect 'PRODUCTVERSION 1, 0, 0, 0'
expect 'FILEOS 0x4'
expect 'FILETYPE 0x1'
expect 'BLOCK "040904B0"'
expect 'VALUE "ProductName", "Project1"'
expect 'VALUE "FileVersion", "1.00"'
expect 'VALUE "ProductVersion", "1.00"'
expect 'VALUE "InternalName", "HalvernFee 1.1"'
expect 'VALUE "OriginalFilename", "HalvernFee 1.1.exe"'
expect 'VALUE "Translation", 0x409, 1200'
expect 'RT_GROUP_ICON'
# No flags: windres leaves out a FILEFLAGS of zero.
if grep -q 'FILEFLAGS ' "$work/readback.rc"; then echo "FLAGS SET"; failures=$((failures + 1)); fi
icons=$(grep -c 'RT_ICON \*/' "$work/readback.rc" || true)
[[ $icons == 3 ]] && echo "ok: three icon images" || { echo "WRONG: $icons icon images"; failures=$((failures + 1)); }
exit "$failures"
