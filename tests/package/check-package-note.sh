#!/usr/bin/env bash
# Reads the ELF package note of the built program with readelf and checks the version record:
# the Debian package's own fields, and the strings of the record list, each as "Key=Value".
#   check-package-note.sh <program> <version-record.txt>
set -euo pipefail
note=$(readelf -n "$1" | sed -n 's/^ *Packaging Metadata: //p')
[[ -n $note ]] || { echo "no .note.package in $1"; readelf -n "$1"; exit 1; }
echo "$note"
pairs=('"type":"deb"' '"name":"halvern-fee"' '"FileVersionNumber":"1.0.0.0"'
       '"ProductVersionNumber":"1.0.0.0"' '"Language":"0409"' '"CodePage":"04B0"')
while IFS='=' read -r key value; do
  pairs+=("\"$key\":\"$value\"")
done <"$2"
pairs+=("\"version\":\"$(sed -n 's/^FileVersion=//p' "$2")\"")
failures=0
for pair in "${pairs[@]}"; do
  grep -qF -- "$pair" <<<"$note" || { echo "MISSING: $pair"; failures=$((failures + 1)); }
done
exit "$failures"
