#!/usr/bin/env bash
# The installer as a user meets it under Wine: installs it and checks what it put where and what
# Apps & features lists; installs a later version over it, then another build of that version
# (other contents, so a product code of its own), each time expecting one entry and the new
# files; removes it and checks that nothing is left. Exit 77 (skipped) where Wine cannot run.
#   check-msi.sh <wine-run.sh> <prefix> <halvern-fee-version.msi> <later version's .msi>
#                <another build of the later version's .msi>
set -euo pipefail
wine_run=$1
prefix=$2
msi=$3
later=$4
rebuilt=$5
command -v wine >/dev/null || { echo "Wine is not installed: skipped"; exit 77; }
[[ -f $prefix/.halvern-null ]] || { echo "no Wine prefix at $prefix: skipped"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }

export WINEPREFIX=$prefix WINEDEBUG=-all
name='Halvern Fee Calculator'
folder="$prefix/drive_c/Program Files/$name"
shortcut_name="$name.lnk"
installed=("$folder/halvern-fee.exe" "$folder/licences.txt")

# The product's entries under the uninstall key, one line each: its key, then its values.
entries() {
  "$wine_run" "$prefix" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s |
    awk -v name="$name" '
      /^HKEY_/ { if (key != "" && shown == name) print key "|" version "|" icon "|" url
                 key = $0; shown = ""; version = ""; icon = ""; url = "" }
      $1 == "DisplayName" { sub(/^ *DisplayName +REG_SZ +/, ""); shown = $0 }
      $1 == "DisplayVersion" { version = $3 }
      $1 == "DisplayIcon" { icon = "icon" }
      $1 == "URLInfoAbout" { url = $3 }
      END { if (key != "" && shown == name) print key "|" version "|" icon "|" url }'
}

install() { # msi version
  "$wine_run" "$prefix" msiexec /i "$(winepath -w "$1")" /qn || fail "msiexec /i of $1 failed"
  for file in "${installed[@]}"; do
    [[ -s $file ]] || fail "not installed: $file"
  done
  cmp -s "$folder/halvern-fee.exe" "$(dirname "$msi")/halvern-fee.exe" || fail "the installed program differs"
  mapfile -t listed < <(entries)
  ((${#listed[@]} == 1)) || fail "Apps & features lists ${#listed[@]} entries: ${listed[*]}"
  IFS='|' read -r _ version _ url <<<"${listed[0]}"
  [[ $version == "$2" ]] || fail "Apps & features shows version '$version', not $2"
  [[ $url == https://www.hfc.example/ ]] || fail "Apps & features links to '$url'"
  echo "version $2 installed: one entry in Apps & features, version $version, link $url"
}

# Wine's prefixes say they are Windows 7: the installer refuses (1603, which the exit status
# shows as 67) and installs nothing. Wine's msiexec shows no message in quiet mode, so the
# message is read from the installer's table. As Windows 10 the rest goes on.
msiinfo export "$msi" LaunchCondition | tr -d '\r' |
  grep -q "needs 64-bit Windows 10, version 1607 or later" || fail "no launch condition for Windows 10"
"$wine_run" "$prefix" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v CurrentBuildNumber \
  /d 7601 /f >/dev/null
status=0
"$wine_run" "$prefix" msiexec /i "$(winepath -w "$msi")" /qn >/dev/null 2>&1 || status=$?
[[ $status == 67 ]] || fail "on Windows 7 the installer ended with status $status, not 1603"
[[ ! -e $folder && -z $(entries) ]] || fail "the refused installer left something behind"
echo "on Windows 7 the installer refuses: it needs 64-bit Windows 10, version 1607 or later"
"$wine_run" "$prefix" winecfg -v win10 || fail "could not make the prefix Windows 10"

install "$msi" 1.00
grep -q 'MinGW-w64' "$folder/licences.txt" || fail "the licence notices lack the MinGW-w64 runtime"
shortcut=$(find "$prefix/drive_c" -iname "$shortcut_name" 2>/dev/null | head -n 1)
[[ -n $shortcut ]] || fail "no Start-menu entry '$shortcut_name'"
echo "installed: ${installed[*]#"$prefix/drive_c/"} and ${shortcut#"$prefix/drive_c/"}"

install "$later" 1.99
# Another build of the same version: it replaces, it does not add.
[[ $(msiinfo export "$later" Property | grep ProductCode) != $(msiinfo export "$rebuilt" Property | grep ProductCode) ]] ||
  fail "another build with other contents has the same product code"
[[ $(msiinfo suminfo "$later" | grep Revision) != $(msiinfo suminfo "$rebuilt" | grep Revision) ]] ||
  fail "another build with other contents has the same package code"
install "$rebuilt" 1.99

# Going back is refused with a message, and changes nothing.
if "$wine_run" "$prefix" msiexec /i "$(winepath -w "$msi")" /qn >/dev/null 2>&1; then
  [[ $(entries | cut -d'|' -f2) == 1.99 ]] || fail "an older version replaced the later one"
fi
[[ $(entries | wc -l) == 1 ]] || fail "an older version installed beside the later one"
echo "the older version's installer left version 1.99 in place"

"$wine_run" "$prefix" msiexec /x "$(winepath -w "$rebuilt")" /qn || fail "msiexec /x failed"
[[ ! -e $folder ]] || fail "left behind: $(find "$folder")"
[[ ! -e $shortcut ]] || fail "left behind: $shortcut"
[[ -z $(entries) ]] || fail "left in Apps & features: $(entries)"
echo "removed: the folder, the Start-menu entry and the Apps & features entry are gone"
