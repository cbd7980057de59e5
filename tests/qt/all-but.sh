#!/usr/bin/env bash
# Runs a Qt Test program's test functions but the ones named: all-but.sh PROGRAM FUNCTION...
set -euo pipefail
program=$1
shift
mapfile -t functions < <("$program" -functions | sed -n 's/()$//p' | grep -vxF -f <(printf '%s\n' "$@"))
exec "$program" "${functions[@]}"
