#!/usr/bin/env bash
# Static analysis of the project's own code: clang-tidy (rules in .clang-tidy) and cppcheck, over
# the compile commands of a configured build. Fails on any finding. The Windows sources build
# only with MinGW and are checked by its -Werror build instead.
#   tools/lint.sh [build folder, default build/default]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
[[ -f $build/compile_commands.json ]] || { echo "lint: configure $build first (make build)"; exit 1; }

echo "clang-tidy: $(git ls-files '*.cpp' | grep -Evc '^(fuzz|win32|tests/win32)/') files"
git ls-files '*.cpp' | grep -Ev '^(fuzz|win32|tests/win32)/' |
  xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet 2>/dev/null | tee "$build/clang-tidy.log"
if grep -q 'error:' "$build/clang-tidy.log"; then
  echo "lint: clang-tidy found the problems above"; exit 1
fi

echo "cppcheck"
cppcheck --project="$build/compile_commands.json" -i build --std=c++20 -q \
  --enable=warning,performance,portability,style --inline-suppr --error-exitcode=1 \
  --library=qt --library=googletest --suppress=missingIncludeSystem \
  --suppress=useStlAlgorithm --suppress='preprocessorErrorDirective:*.moc'
echo "lint: clean"
