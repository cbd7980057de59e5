#!/usr/bin/env bash
# Builds the downloads a second time, as somebody else would from the same commit: a fresh clone
# under a longer path, by another user (nobody, when run as root), umask 077, another locale and
# time zone, and a clock a year ahead (faketime). Compares them byte for byte with this checkout's
# build, which it brings up to date first, and the site's file modes too; on a difference it names
# the file and shows diffoscope's account of it.
#   tools/check-reproducible.sh   (on a committed tree, after make package windows web)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD

if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
  echo "check-reproducible: the tree has uncommitted changes; commit them, build, then check" >&2
  exit 2
fi
commit=$(git rev-parse HEAD)

# Each download: its name, then its path under the top of a build.
downloads=(
  "Debian package|build/default/package/halvern-fee_1.00_amd64.deb"
  "Linux program|build/default/ui/qt/halvern-fee"
  "Windows program|build/windows/halvern-fee.exe"
  "Windows installer|build/windows/halvern-fee-1.00.msi"
)
# Brings the downloads of the checkout it runs in up to date; with arguments, configures each
# preset with them first.
build_downloads() {
  local preset
  if (($#)); then
    for preset in default windows web; do cmake --preset $preset "$@"; done
  fi
  cmake --build --preset default
  cpack --config build/default/CPackConfig.cmake -B build/default/package
  cmake --build --preset windows --target msi
  cmake --build --preset web --target site
}
export -f build_downloads

for preset in default windows web; do
  [[ -f build/$preset/CMakeCache.txt ]] ||
    { echo "check-reproducible: no build/$preset: run make package windows web first" >&2; exit 2; }
done
work=$(mktemp -d /var/tmp/halvern-reproducible.XXXXXX)
trap 'chmod -R u+rwX "$work" 2>/dev/null; rm -rf "$work"' EXIT
# The first build, of this commit: a commit since it was built configures it again.
build_downloads >"$work/first.log" 2>&1 ||
  { cat "$work/first.log"; echo "check-reproducible: this checkout's build failed" >&2; exit 1; }
second=$work/a/folder/further/down/the/tree/halvern-fee
(
  umask 077
  git clone --quiet --no-hardlinks "$top" "$second"
  git -C "$second" checkout --quiet --detach "$commit"
)

as=()
builder=$(id -un)
if ((EUID == 0)) && id nobody >/dev/null 2>&1; then
  mkdir "$work/home"
  chown -R nobody: "$work"
  as=(runuser -u nobody --)
  builder=nobody
fi

started=$(date +%s)
echo "Building $commit again in $second"
echo "  as $builder, umask 077, LC_ALL=de_DE.UTF-8, TZ=Asia/Tokyo, the clock a year ahead"
(
  cd "$second"
  umask 077
  export LC_ALL=de_DE.UTF-8 TZ=Asia/Tokyo HOME=$work/home
  "${as[@]}" faketime -f +365d bash -euo pipefail -c 'build_downloads "$@"' build \
    -DBUILD_TESTING=OFF -DHALVERN_BUILD_BENCHMARKS=OFF
) >"$work/second.log" 2>&1 ||
  { cat "$work/second.log"; echo "check-reproducible: the second build failed" >&2; exit 1; }
echo "  built in $(($(date +%s) - started)) s"

differ=0
compare() { # name first second
  if cmp -s "$2" "$3"; then
    printf '  same     %s  %s\n' "$(sha256sum <"$2" | cut -c1-64)" "$1"
  else
    printf '  DIFFERS  %s\n' "$1"
    differ=1
    diffoscope --no-progress --text - "$2" "$3" 2>&1 | head -n 150 | sed 's/^/    /' || true
  fi
}

echo "sha256 of each download, and whether the second build gave the same bytes:"
for download in "${downloads[@]}"; do
  compare "${download%%|*} (${download#*|})" "${download#*|}" "$second/${download#*|}"
done
# The site, file by file, with its modes: it is copied to a host as it is.
site_list() { (cd "$1" && find . -printf '%M %p\n' | LC_ALL=C sort); }
if [[ $(site_list build/web/site) != "$(site_list "$second/build/web/site")" ]]; then
  printf '  DIFFERS  web site: its files or their modes\n'
  diff <(site_list build/web/site) <(site_list "$second/build/web/site") | sed 's/^/    /' || true
  differ=1
fi
while read -r file; do
  compare "web site ($file)" "build/web/site/$file" "$second/build/web/site/$file"
done < <(cd build/web/site && find . -type f -printf '%P\n' | LC_ALL=C sort)

if ((differ)); then
  echo "check-reproducible: FAILED: the same commit built different bytes (above)"
  exit 1
fi
echo "check-reproducible: passed: every download of $commit is the same, byte for byte"
