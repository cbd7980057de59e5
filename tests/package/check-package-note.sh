#!/usr/bin/env bash
# Reads the ELF package note of the built program with readelf and checks the version record.
set -euo pipefail
note=$(readelf -n "$1" | sed -n 's/^ *Packaging Metadata: //p')
[[ -n $note ]] || { echo "no .note.package in $1"; readelf -n "$1"; exit 1; }
echo "$note"
failures=0
for pair in '"type":"deb"' '"name":"halvern-fee"' '"version":"1.00"' '"ProductName":"Project1"' \
            '"FileVersion":"1.00"' '"ProductVersion":"1.00"' '"FileVersionNumber":"1.0.0.0"' \
            '"ProductVersionNumber":"1.0.0.0"' '"InternalName":"HalvernFee 1.1"' \
            '"OriginalFilename":"HalvernFee 1.1.exe"' '"Language":"0409"' '"CodePage":"04B0"'; do
  grep -qF -- "$pair" <<<"$note" || { echo "MISSING: $pair"; failures=$((failures + 1)); }
done
exit "$failures"
