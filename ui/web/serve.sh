#!/usr/bin/env bash
# Serves the site through nginx, with the project's configuration, on this machine only, in the
# foreground and as the user who runs it: serve.sh <site folder> <port>. Ctrl+C stops it.
set -euo pipefail
# nginx would start over a missing folder and answer every request with a 404.
if (($# != 2)) || [[ ! -d $1 ]]; then
  echo "usage: serve.sh <site folder> <port>; the folder must exist (make web builds it)" >&2
  exit 64
fi
site=$(realpath "$1")
port=$2
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[[ -x $nginx ]] || { echo "nginx is not installed (make run-web installs it)" >&2; exit 77; }
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
# Its workers run as the user who runs it, who can read the site: started by root, nginx would
# otherwise give them to nobody.
user=""
if ((EUID == 0)); then user="user root;"; fi
sed -e "s|@RUN@|$run|g" -e "s|@PORT@|$port|g" -e "s|@SITE@|$site|g" -e "s|@USER@|$user|g" \
  "$(dirname "$0")/nginx.conf.in" >"$run/nginx.conf"
"$nginx" -p "$run" -c "$run/nginx.conf" -g 'daemon off;' &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$run"' EXIT INT TERM
wait "$server"
