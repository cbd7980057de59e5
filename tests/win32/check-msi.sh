#!/usr/bin/env bash
# Installs the .msi under Wine, checks what it put where, uninstalls it and checks that nothing
# is left. Exit 77 (skipped) where Wine cannot run.
#   check-msi.sh <wine-run.sh> <prefix> <halvern-fee-version.msi>
set -euo pipefail
wine_run=$1
prefix=$2
msi=$3
command -v wine >/dev/null || { echo "Wine is not installed: skipped"; exit 77; }
[[ -f $prefix/.halvern-null ]] || { echo "no Wine prefix at $prefix: skipped"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

export WINEPREFIX=$prefix WINEDEBUG=-all
windows_msi=$(winepath -w "$msi" 2>/dev/null)
folder="$prefix/drive_c/Program Files/Halvern Fee Calculator"
menu=$(find "$prefix/drive_c" -ipath '*/start menu/programs' -type d 2>/dev/null | head -n 1)
shortcut_name='Halvern Fee Calculator.lnk'
installed=("$folder/halvern-fee.exe" "$folder/licences.txt")

"$wine_run" "$prefix" msiexec /i "$windows_msi" /qn || fail "msiexec /i failed"
for file in "${installed[@]}"; do
  [[ -s $file ]] || fail "not installed: $file"
done
cmp -s "$folder/halvern-fee.exe" "$(dirname "$msi")/halvern-fee.exe" || fail "the installed program differs"
grep -q 'MinGW-w64' "$folder/licences.txt" || fail "the licence notices lack the MinGW-w64 runtime"
shortcut=$(find "$prefix/drive_c" -iname "$shortcut_name" 2>/dev/null | head -n 1)
[[ -n $shortcut ]] || fail "no Start-menu entry '$shortcut_name'"
echo "installed: ${installed[*]#"$prefix/drive_c/"} and ${shortcut#"$prefix/drive_c/"}"

"$wine_run" "$prefix" msiexec /x "$windows_msi" /qn || fail "msiexec /x failed"
[[ ! -e $folder ]] || fail "left behind: $(find "$folder")"
[[ ! -e $shortcut ]] || fail "left behind: $shortcut"
echo "uninstalled: the folder and the Start-menu entry are gone${menu:+ from ${menu#"$prefix/drive_c/"}}"
