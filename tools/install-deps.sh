#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and only those missing.
# Called by every make target; quiet when nothing is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ make pkgconf
  qt6-base-dev
  # tests and benchmarks
  googletest libgtest-dev libbenchmark-dev locales
  # driving the real window as a person would
  xvfb openbox xdotool xclip x11-utils x11-apps imagemagick fonts-dejavu-core
  # the version record, desktop files and the Debian package
  binutils-mingw-w64-x86-64 desktop-file-utils appstream lintian dpkg-dev file
  # fuzzing, sanitizers and static analysis
  clang libclang-rt-14-dev clang-tidy cppcheck
  # the start-up benchmark's X client
  libx11-dev libxdamage-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done

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
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The number tests prove that a decimal-comma locale changes nothing; they need one to exist.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
  echo "Generating the de_DE.UTF-8 locale for the tests"
  if ((EUID != 0)); then sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8; else localedef -i de_DE -f UTF-8 de_DE.UTF-8; fi
fi
