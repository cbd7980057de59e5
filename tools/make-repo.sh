#!/usr/bin/env bash
# Publishes Debian packages into a signed APT repository folder, with Debian's own tools
# (apt-ftparchive, gpg), for any static host to serve:
#   <folder>/pool/main/h/halvern-fee/*.deb      every version ever published, kept
#   <folder>/dists/stable/{InRelease,Release,Release.gpg}
#   <folder>/dists/stable/main/binary-amd64/Packages{,.gz}
#   <folder>/halvern-fee.gpg                    the public key, for /etc/apt/keyrings/
#   <folder>/halvern-fee.sources                the deb822 source that names it (Signed-By)
# Each release adds its packages to what the folder holds, and signs the indexes anew. The
# signing key is the releaser's, never the repository's: a key id or fingerprint in their gpg
# keyring (GNUPGHOME), or a file with an exported secret key, read into a keyring of its own.
#   tools/make-repo.sh <folder> <key id or secret key file> <URL it is served at> <package.deb>...
set -euo pipefail
(($# >= 4)) || { echo "usage: make-repo.sh <folder> <key id or secret key file> <URL> <package.deb>..." >&2; exit 2; }
folder=$1
key=$2
url=$3
shift 3
[[ -n $key ]] || { echo "make-repo: no signing key: give REPO_KEY=<key id> or REPO_KEY=<secret key file>" >&2; exit 2; }
for tool in apt-ftparchive gpg; do
  command -v "$tool" >/dev/null || { echo "make-repo: $tool is not installed (make repo installs it)" >&2; exit 1; }
done

suite=stable
component=main
architecture=amd64
keyring=halvern-fee.gpg

# A key in a file goes into a keyring of its own, which is gone afterwards.
if [[ -f $key ]]; then
  GNUPGHOME=$(mktemp -d)
  export GNUPGHOME
  trap 'gpgconf --kill all 2>/dev/null || true; rm -rf "$GNUPGHOME"' EXIT
  gpg --batch --quiet --import "$key"
  key=$(gpg --batch --with-colons --list-secret-keys | awk -F: '$1 == "fpr" { print $10; exit }')
fi
gpg --batch --list-secret-keys "$key" >/dev/null 2>&1 || { echo "make-repo: no secret key $key to sign with" >&2; exit 1; }

mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
for package in "$@"; do
  name=$(dpkg-deb --field "$package" Package)
  version=$(dpkg-deb --field "$package" Version)
  pool=$folder/pool/$component/${name:0:1}/$name
  target=$pool/$(basename "$package")
  mkdir -p "$pool"
  # A published version is never replaced: a client that has its index would refuse other bytes.
  if [[ -e $target ]] && ! cmp -s "$package" "$target"; then
    echo "make-repo: $name $version is published already with other contents; give the release a new version" >&2
    exit 1
  fi
  cp "$package" "$target"
  chmod 644 "$target"
  echo "make-repo: $name $version in ${target#"$folder/"}"
done

cd "$folder"
binary=dists/$suite/$component/binary-$architecture
mkdir -p "$binary"
apt-ftparchive packages pool >"$binary/Packages"
gzip -9n <"$binary/Packages" >"$binary/Packages.gz"
rm -f "dists/$suite/InRelease" "dists/$suite/Release.gpg"
apt-ftparchive \
  -o APT::FTPArchive::Release::Origin=HFC -o APT::FTPArchive::Release::Label="Halvern Fee Calculator" \
  -o APT::FTPArchive::Release::Suite=$suite -o APT::FTPArchive::Release::Codename=$suite \
  -o APT::FTPArchive::Release::Architectures=$architecture \
  -o APT::FTPArchive::Release::Components=$component \
  release "dists/$suite" >"dists/$suite/Release.new"
mv "dists/$suite/Release.new" "dists/$suite/Release"
gpg --batch --yes --local-user "$key" --digest-algo SHA512 --clearsign \
  --output "dists/$suite/InRelease" "dists/$suite/Release"
gpg --batch --yes --local-user "$key" --digest-algo SHA512 --armor --detach-sign \
  --output "dists/$suite/Release.gpg" "dists/$suite/Release"

# What a user adds: the public key as a keyring, and a source that accepts nothing it did not sign.
gpg --batch --export "$key" >"$keyring"
cat >halvern-fee.sources <<EOF
Types: deb
URIs: $url
Suites: $suite
Components: $component
Architectures: $architecture
Signed-By: /etc/apt/keyrings/$keyring
EOF
chmod 644 "$keyring" halvern-fee.sources
echo "make-repo: $folder signed by $key, for $url"
