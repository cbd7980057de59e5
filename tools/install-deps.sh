#!/usr/bin/env bash
# Installs the Debian packages that one kind of work needs, and only those missing. Each make
# target names the groups it uses, so `make run` brings only what building and running take.
#   tools/install-deps.sh GROUP...   (build test windows wintest web webtest serve webbench asan
#                                     fuzz lint package apt-repo bench fresh repro)
# Quiet when nothing is missing.
set -euo pipefail

declare -A groups=(
  # building and running the program
  [build]="cmake ninja-build g++ make pkgconf qt6-base-dev qt6-qpa-plugins qt6-wayland"
  # the tests: GoogleTest, Python to read the tables of what users see and do, the calculation's
  # locale test, the window driven under Xvfb as a person would and under a headless Wayland
  # compositor, a screen reader's view over AT-SPI, and the checks of the version record,
  # desktop files and package
  [test]="googletest libgtest-dev python3 locales xvfb xauth openbox xdotool xclip x11-utils x11-apps x11-xkb-utils
          imagemagick fonts-dejavu-core weston at-spi2-core
          python3-pyatspi dbus dbus-bin desktop-file-utils appstream lintian dpkg-dev file"
  # the Windows program: MinGW-w64 (posix threads), GoogleTest's source and Python for its tests
  # (with YAML, for the winget manifests), ImageMagick to decode the logo its tests compare the
  # window's drawing with, the installer's tools (faketime stops wixl's clock at the commit's time)
  [windows]="cmake ninja-build make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest
             python3 python3-yaml imagemagick wixl msitools faketime"
  # the Windows program's tests and benchmarks, under Wine
  [wintest]="wine wine64"
  # the web page: emscripten (with Debian's node and its acorn) builds it offline, and esbuild
  # takes the comments out of its scripts
  [web]="cmake ninja-build make emscripten esbuild python3"
  # the page's tests in Chromium, WebKit (MiniBrowser under Xvfb) and Firefox ESR, served by
  # nginx as a real host would, and npm for the pinned accessibility audit
  [webtest]="chromium chromium-driver webkit2gtk-driver firefox-esr xvfb xauth python3 nginx-light"
  # serving the page on this machine
  [serve]="nginx-light"
  # the web benchmark: Chromium, and npm for the pinned Lighthouse
  [webbench]="chromium chromium-driver python3 nginx-light"
  [asan]="libclang-rt-14-dev"
  [fuzz]="cmake ninja-build make clang libclang-rt-14-dev"
  [lint]="clang-tidy cppcheck"
  [package]="dpkg-dev file"
  # the signed APT repository of the package: apt-ftparchive, and gpg to sign it
  [apt-repo]="apt-utils gnupg dpkg-dev"
  # the benchmarks, and the start-up benchmark's X client
  [bench]="libbenchmark-dev libx11-dev libxdamage-dev xvfb x11-apps"
  # a pristine Debian 12 system to try the README's commands in
  [fresh]="debootstrap git"
  # a second build of the downloads in a fresh clone, under another clock, locale and time zone,
  # and an account of any byte that differs
  [repro]="git faketime diffoscope-minimal locales"
)

packages=()
for group in "$@"; do
  [[ -n ${groups[$group]+set} ]] || { echo "install-deps: no group '$group'" >&2; exit 2; }
  read -r -a members <<<"$(echo ${groups[$group]})"
  packages+=("${members[@]}")
done

# npm comes with some builds of node; Debian's own is a package of its own.
if [[ " $* " == *" webtest "* || " $* " == *" webbench "* ]] && ! command -v npm >/dev/null 2>&1; then
  packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u | sed '/^$/d')

if ((${#missing[@]})); then
  if ! command -v apt-get >/dev/null 2>&1; then
    echo "Please install these packages (Debian names), then run make again: ${missing[*]}" >&2
    exit 1
  fi
  sudo=()
  if ((EUID != 0)); then
    command -v sudo >/dev/null 2>&1 || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  echo "Installing missing packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Another make target installing at the same time (CI runs some side by side) holds apt's lock
  # for a while: wait for it rather than fail.
  wait_for_lock=(-o DPkg::Lock::Timeout=600)
  "${sudo[@]}" apt-get "${wait_for_lock[@]}" update -qq
  "${sudo[@]}" apt-get "${wait_for_lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# npm packages at the versions a lock file pins, from the npm registry: the browser tests'
# accessibility audit, and the web benchmark's Lighthouse.
npm_tools() { # <folder with package.json and its lock> <build folder> <file that shows they are in>
  local top tools
  top=$(cd "$(dirname "$0")/.." && pwd)
  tools=$top/build/$2
  if ! cmp -s "$top/$1/package-lock.json" "$tools/package-lock.json" || [[ ! -f $tools/$3 ]]; then
    echo "Installing the npm packages of $1/package-lock.json into build/$2"
    mkdir -p "$tools"
    cp "$top/$1/package.json" "$top/$1/package-lock.json" "$tools/"
    (cd "$tools" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error >/dev/null)
  fi
}
if [[ " $* " == *" webtest "* ]]; then
  npm_tools tests/web web-tools node_modules/axe-core/axe.min.js
fi
if [[ " $* " == *" webbench "* ]]; then
  npm_tools bench/web web-bench-tools node_modules/lighthouse/cli/index.js
fi

# The number tests prove that a decimal comma and a two-byte decimal mark (Pashto's) change
# nothing, every window's tests run in a US English and a German desktop, and the second build of
# the downloads runs in German; all of them need the locales to exist.
if [[ " $* " == *" test "* || " $* " == *" repro "* ]]; then
  for wanted in en_US de_DE ps_AF; do
    if ! locale -a 2>/dev/null | grep -qix "$wanted.utf8"; then
      echo "Generating the $wanted.UTF-8 locale for the tests"
      if ((EUID != 0)); then sudo localedef -i "$wanted" -f UTF-8 "$wanted.UTF-8"
      else localedef -i "$wanted" -f UTF-8 "$wanted.UTF-8"; fi
    fi
  done
fi
