#!/usr/bin/env bash
# The signed APT repository as a user meets it, on a Debian 12 system where the program is not
# installed: the repository that make repo writes from this build's package, served over HTTP on
# this machine by nginx, added as the README says (its keyring and its .sources file); apt-get
# installs the package's version; the same repository republished with a later version, apt-get
# upgrade brings it; indexes signed with another key are refused by apt-get update with its own
# words, and nothing installed changes. Keys are made here
# and thrown away, and the system is left as it was found. It changes the system's apt meanwhile,
# so it runs only with CI=true or HALVERN_TEST_INSTALL=1, as root or with sudo; elsewhere, or
# where the program is installed already, exit 77 (skipped).
#   check-repo.sh <build folder>
set -euo pipefail
build=$(realpath "$1")
top=$(cd "$(dirname "$0")/../.." && pwd)
name=halvern-fee
keyring=/etc/apt/keyrings/$name.gpg
source=/etc/apt/sources.list.d/$name.sources
skip() { echo "$*: skipped"; exit 77; }
[[ -n ${CI:-}${HALVERN_TEST_INSTALL:-} ]] ||
  skip "not changing this system's apt: run with CI=true or HALVERN_TEST_INSTALL=1"
command -v apt-get >/dev/null || skip "no apt here"
sudo=()
if ((EUID != 0)); then
  sudo=(sudo -n)
  sudo -n true 2>/dev/null || skip "neither root nor sudo without a password"
fi
fail() { echo "FAILED: $*"; exit 1; }
dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'ok installed' &&
  skip "$name is installed here already, and stays as it is"
[[ ! -e $source && ! -e $keyring ]] || skip "$source or $keyring is there already"
"$top/tools/install-deps.sh" apt-repo

work=$(mktemp -d)
chmod 755 "$work"
export GNUPGHOME=$work/gnupg
server=
cleanup() {
  [[ -z $server ]] || { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; }
  if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'ok installed'; then
    "${sudo[@]}" apt-get remove -y -qq "$name" >/dev/null 2>&1 || true
  fi
  "${sudo[@]}" rm -f "$source" "$keyring" /var/lib/apt/lists/127.0.0.1_*
  gpgconf --kill all 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The releaser's key, and somebody else's.
mkdir -m 700 "$GNUPGHOME"
for who in release foreign; do
  gpg --batch --quiet --passphrase '' --quick-gen-key "HFC $who test <$who@hfc.example>" ed25519 sign never
done
fingerprint() { gpg --batch --with-colons --list-secret-keys "$1@hfc.example" | awk -F: '$1 == "fpr" { print $10; exit }'; }
release=$(fingerprint release)
foreign=$(fingerprint foreign)

# This build's package, and later versions: its contents under other version numbers.
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/${name}_*.deb)
version=$(dpkg-deb --field "$deb" Version)
later() { # version
  rm -rf "$work/unpacked"
  dpkg-deb -R "$deb" "$work/unpacked"
  sed -i "s/^Version: .*/Version: $1/" "$work/unpacked/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$work/unpacked" "$work/${name}_$1_amd64.deb" >/dev/null
  echo "$work/${name}_$1_amd64.deb"
}
next=$(later 1.01)
after=$(later 1.02)

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
url=http://127.0.0.1:$port/
repo=$work/repo
publish() { # key package
  "$top/tools/make-repo.sh" "$repo" "$1" "$url" "$2" >/dev/null
}
publish "$release" "$deb"
"$top/ui/web/serve.sh" "$repo" "$port" 2>"$work/nginx.log" &
server=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('${url}dists/stable/InRelease', timeout=1)" \
    2>/dev/null && break
  sleep 0.2
done

# What apt-get upgrade does for this package, and for nothing else of the system's.
upgrade() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install --only-upgrade -y -qq "$name"; }
installed() { dpkg-query -W -f='${Version}' "$name" 2>/dev/null || echo none; }
update() { # only the repository's lists, quietly; prints what apt says of them
  "${sudo[@]}" apt-get update -qq -o "Dir::Etc::SourceList=$source" -o Dir::Etc::SourceParts=- \
    -o APT::Get::List-Cleanup=0 2>&1
}

# As the README says: the keyring and the source from the host, then apt-get update and install.
for file in "$name.gpg" "$name.sources"; do
  python3 -c "import sys, urllib.request; sys.stdout.buffer.write(urllib.request.urlopen(sys.argv[1]).read())" \
    "$url$file" >"$work/$file"
done
"${sudo[@]}" install -D -m 644 "$work/$name.gpg" "$keyring"
"${sudo[@]}" install -m 644 "$work/$name.sources" "$source"
"${sudo[@]}" apt-get update -qq >/dev/null 2>"$work/update.log" || { cat "$work/update.log"; fail "apt-get update"; }
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$name" >/dev/null ||
  fail "apt-get install $name"
[[ $(installed) == "$version" ]] || fail "apt-get install brought $(installed), not $version"
echo "installed $name $version from the repository at $url"

# The next release, published into the same folder: apt-get upgrade brings it.
publish "$release" "$next"
update >/dev/null || fail "apt-get update after the next release"
upgrade >/dev/null || fail "apt-get upgrade"
[[ $(installed) == 1.01 ]] || fail "apt-get upgrade left $(installed), not 1.01"
[[ -f $repo/pool/main/h/$name/$(basename "$deb") ]] || fail "the first release's package left the pool"
echo "apt-get upgrade brought 1.01; the pool keeps $version"

# Indexes signed with a key the user never added: apt refuses them with an error, or with its
# warning that it keeps the lists it had; either way an upgrade changes nothing.
publish "$foreign" "$after"
said=$(update) || true
grep -q NO_PUBKEY <<<"$said" || fail "apt-get update took another key's indexes, saying: $said"
upgrade >/dev/null 2>&1 || true
[[ $(installed) == 1.01 ]] || fail "after another key's indexes, $(installed) is installed, not 1.01"
echo "refused indexes signed with another key: $(grep -m 1 NO_PUBKEY <<<"$said")"
echo "repository: passed"
