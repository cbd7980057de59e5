#!/usr/bin/env bash
# Static analysis of the project's own code: clang-tidy (rules in .clang-tidy) and cppcheck, over
# the sources a configured and built tree compiles, each with its real flags. Runs both tools
# whatever the first finds, and always ends on its verdict. The Windows sources build only with
# MinGW and are checked by its -Werror build instead.
#   tools/lint.sh [build folder, default build/default]
set -uo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${1:-build/default}
database=$build/compile_commands.json
[[ -f $database ]] || { echo "lint: FAILED: no $database (make lint configures and builds first)"; exit 1; }

# The project's own sources in the compile database; generated ones (moc, resources) are Qt's.
mapfile -t sources < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$database" |
  grep -F "$top/" | grep -Fv "$top/build/" | sort -u)
((${#sources[@]})) || { echo "lint: FAILED: $database names none of the project's sources"; exit 1; }

verdict=0
echo "clang-tidy: ${#sources[@]} files"
printf '%s\n' "${sources[@]}" |
  xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet >"$build/clang-tidy.log" 2>"$build/clang-tidy.err"
tidy_status=$?
cat "$build/clang-tidy.log"
if ((tidy_status != 0)) || grep -q 'error:' "$build/clang-tidy.log"; then
  grep -v 'warnings generated\|^Suppressed\|^Use -header-filter\|-system-headers' "$build/clang-tidy.err" | head -n 40
  echo "clang-tidy: found the problems above (status $tidy_status)"
  verdict=1
fi

echo "cppcheck"
if ! cppcheck --project="$database" -i build --std=c++20 -q \
    --enable=warning,performance,portability,style --inline-suppr --error-exitcode=1 \
    --library=qt --library=googletest --suppress=missingIncludeSystem \
    --suppress=useStlAlgorithm --suppress='preprocessorErrorDirective:*.moc'; then
  echo "cppcheck: found the problems above"
  verdict=1
fi

if ((verdict)); then echo "lint: FAILED"; else echo "lint: clean"; fi
exit "$verdict"
