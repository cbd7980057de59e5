#!/usr/bin/env bash
# Proves the README's commands on a pristine Debian 12 system, made here with debootstrap from
# the Debian mirror this machine's apt already uses. A clone of the committed checkout goes into
# a fresh copy of that system for each of two users:
#   a new user (not root, with sudo): make test; the package installed and upgraded from a signed
#     APT repository served on this machine, a tampered or foreign-signed one refused
#     (tests/package/check-repo.sh); make run with no display (one clear line and a non-zero
#     status); xvfb-run -a make run (a window titled "Halvern Fee Calculator" appears, and is then
#     ended by its process id);
#   CI, as root with CI=true, on a system that already has libbenchmark-dev, libx11-dev and
#     googletest, as CI's machine image does: make lint, which installs what building and the
#     tests need, as root; the package installed, run and removed (debian_package). The tests
#     run in the new user's system and, under the sanitizers, on CI's own machine (.ci/run), so
#     they are not run again here, nor the browsers and Wine installed beside the new user's.
# The two run side by side, each with its log; every process started inside is ended by its id
# and every mount undone, whatever step fails. Packages come from this machine's apt cache where
# it has them (each system gets hard links to it, so the two never share apt's lock), and a
# package downloaded for the first system is found by the second.
#   tools/test-fresh.sh   (as root, or through sudo)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
if ((EUID != 0)); then exec sudo "$0" "$@"; fi

suite=bookworm
user=newuser
cache=/var/cache/apt/archives
work=$(mktemp -d /var/tmp/halvern-fresh.XXXXXX)
started=$(date +%s)

say() { printf '[test-fresh %4ds] %s\n' "$(($(date +%s) - started))" "$*"; }

# The processes whose root is the folder given or inside it: whatever a step left running there.
processes_inside() { # folder
  local link pid root
  for link in /proc/[0-9]*/root; do
    root=$(readlink "$link" 2>/dev/null) || continue
    [[ $root == "$1" || $root == "$1"/* ]] || continue
    pid=${link#/proc/}
    echo "${pid%/root}"
  done
}

end_processes() { # folder
  local pids signal
  for signal in TERM KILL; do
    mapfile -t pids < <(processes_inside "$1")
    ((${#pids[@]})) || return 0
    say "ending ${#pids[@]} processes left in ${1#"$work"/} with SIG$signal: ${pids[*]}"
    kill -s "$signal" "${pids[@]}" 2>/dev/null || true
    for _ in $(seq 50); do [[ -z $(processes_inside "$1") ]] && return 0; sleep 0.1; done
  done
}

# Every mount below the folder given, deepest first: ours and any a step made inside.
undo_mounts() { # folder
  local point
  while read -r point; do
    umount "$point" 2>/dev/null || umount -l "$point" || true
  done < <(awk -v w="$1/" 'index($5, w) == 1 { print $5 }' /proc/self/mountinfo | sort -r)
}

cleanup() {
  local status=$?
  trap - EXIT
  for pid in $(jobs -p); do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  end_processes "$work"
  undo_mounts "$work"
  if awk -v w="$work/" 'index($5, w) == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
    say "mounts remain under $work; it is left in place"
  else
    rm -rf "$work"
  fi
  ((status == 0)) && say "passed" || say "FAILED (status $status)"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The Debian mirror and security archive this machine's apt uses, from either source format.
apt_uri() { # suite
  {
    grep -hsE "^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +$1( |$)" /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
      sed -E 's/^deb +(\[[^]]*\] +)?//' | awk '{ print $1 }'
    for file in /etc/apt/sources.list.d/*.sources; do
      [[ -f $file ]] || continue
      awk -v suite="$1" 'BEGIN { RS = ""; FS = "\n" }
        { uris = ""; ok = 0
          for (i = 1; i <= NF; i++) {
            if ($i ~ /^URIs:/) { sub(/^URIs: */, "", $i); uris = $i }
            if ($i ~ /^Suites:/) { n = split(substr($i, 8), s, " "); for (j = 1; j <= n; j++) if (s[j] == suite) ok = 1 }
          }
          if (ok) { split(uris, u, " "); print u[1] } }' "$file"
    done
  } | head -n 1
}
mirror=$(apt_uri "$suite")
security=$(apt_uri "$suite-security")
[[ -n $mirror ]] || { say "this machine's apt names no mirror for $suite"; exit 1; }
say "mirror $mirror${security:+, security $security}; work in $work"

# --- the pristine system, made once per run ---------------------------------------------------
pristine=$work/pristine
say "debootstrap --variant=minbase $suite (with git, make, ca-certificates and sudo)"
mkdir -p "$cache"
debootstrap --variant=minbase --include=git,make,ca-certificates,sudo --cache-dir="$cache" \
  "$suite" "$pristine" "$mirror" >"$work/debootstrap.log" 2>&1 ||
  { tail -n 30 "$work/debootstrap.log"; exit 1; }
{
  echo "deb $mirror $suite main"
  echo "deb $mirror $suite-updates main"
  [[ -n $security ]] && echo "deb $security $suite-security main"
} >"$pristine/etc/apt/sources.list"
# No services start inside: nothing in the tests needs the system's own daemons.
printf '#!/bin/sh\nexit 101\n' >"$pristine/usr/sbin/policy-rc.d"
chmod 755 "$pristine/usr/sbin/policy-rc.d"
echo fresh >"$pristine/etc/hostname"
printf "127.0.0.1 localhost\n127.0.1.1 %s\n" "$(hostname)" >"$pristine/etc/hosts"
# The machine's own trust, as every machine here has it: its extra certificate authorities (and,
# in inside(), the variable that points node and npm at the system's bundle).
if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
  cp /usr/local/share/ca-certificates/*.crt "$pristine/usr/local/share/ca-certificates/"
  chroot "$pristine" update-ca-certificates >/dev/null 2>&1
fi
chroot "$pristine" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$pristine/etc/sudoers.d/$user"
chmod 440 "$pristine/etc/sudoers.d/$user"
chroot "$pristine" apt-get clean

# A fresh copy of the pristine system with the kernel's file systems and the package cache, in
# $root.
new_system() { # name
  root=$work/$1
  cp -a "$pristine" "$root"
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  cp -al "$cache" "$work/cache-$1"
  rm -f "$work/cache-$1/lock"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
  mount -t tmpfs -o mode=755 tmpfs "$root/run"
  mount --bind "$work/cache-$1" "$root/var/cache/apt/archives"
}

# The committed checkout, cloned as its owner would.
clone_into() { # root home owner
  git clone -q "$top" "$1$2/halvern"
  chroot "$1" chown -R "$3:" "$2/halvern"
}

# Runs a script inside as a user with a login's clean environment, its output indented.
inside() { # root user script
  local trust=
  [[ -z ${NODE_EXTRA_CA_CERTS:-} ]] || trust="export NODE_EXTRA_CA_CERTS=$NODE_EXTRA_CA_CERTS; "
  chroot "$1" /usr/sbin/runuser -l "$2" -c "$trust$3" </dev/null 2>&1 | sed 's/^/    /'
  return "${PIPESTATUS[0]}"
}

# Ends what runs inside, undoes the mounts, and gives what was downloaded to the machine's cache.
finish_system() { # name
  end_processes "$work/$1"
  undo_mounts "$work/$1"
  find "$work/cache-$1" -maxdepth 1 -name '*.deb' -newer "$work/debootstrap.log" \
    -exec cp -n {} "$cache/" \; 2>/dev/null || true
  rm -rf "${work:?}/$1" "${work:?}/cache-$1"
}

# --- a new user ------------------------------------------------------------------------------
as_new_user() {
  new_system user
  clone_into "$root" "/home/$user" "$user"
  say "as $user: make test (commit $(git -C "$top" rev-parse --short HEAD))"
  inside "$root" "$user" 'cd halvern && make test'
  say "as $user: after make test, $(chroot "$root" dpkg-query -W | wc -l) packages installed," \
    "the system takes $(du -sh --exclude=proc --exclude=sys --exclude=dev --exclude=home "$root" | cut -f1)," \
    "the build folder $(du -sh "$root/home/$user/halvern/build" | cut -f1)"

  say "as $user: the package from a signed APT repository, added as the README says"
  inside "$root" "$user" 'cd halvern && HALVERN_TEST_INSTALL=1 tests/package/check-repo.sh build/default'

  say "as $user: make run with no display"
  local status=0
  inside "$root" "$user" 'cd halvern && unset DISPLAY WAYLAND_DISPLAY && make run' >"$work/run.log" || status=$?
  cat "$work/run.log"
  ((status != 0)) || { say "make run without a display exited 0"; return 1; }
  grep -q 'No display' "$work/run.log" || { say "make run without a display gave no clear message"; return 1; }

  say "as $user: xvfb-run -a make run"
  # The window's process is found from the window and ended by its id; make then returns.
  local window_appears
  window_appears=$(
    cat <<'EOF'
cd halvern && xvfb-run -a bash -c '
  make run >"$HOME/run.log" 2>&1 &
  make=$!
  window=
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name "^Halvern Fee Calculator$" 2>/dev/null | head -n 1)
    [[ -n $window ]] && break
    kill -0 $make 2>/dev/null || break
    sleep 0.2
  done
  [[ -n $window ]] || { echo "no window titled Halvern Fee Calculator:"; cat "$HOME/run.log"; exit 1; }
  # A window is found by its name before it has all its properties: its process id may come later.
  program=
  for _ in $(seq 50); do
    program=$(xdotool getwindowpid "$window" 2>/dev/null) && break
    sleep 0.1
  done
  echo "window $window \"$(xdotool getwindowname "$window")\" of process ${program:-unknown} appeared; ending it"
  kill "${program:-$make}"
  wait $make || true
'
EOF
  )
  inside "$root" "$user" "$window_appears"
  finish_system user
}

# --- CI's machine image ----------------------------------------------------------------------
as_ci() {
  new_system ci
  say "as root with CI=true: the CI image's packages (libbenchmark-dev libx11-dev googletest)"
  inside "$root" root 'export DEBIAN_FRONTEND=noninteractive && apt-get update -qq &&
    apt-get install -y -qq --no-install-recommends libbenchmark-dev libx11-dev googletest >/dev/null'
  clone_into "$root" /root root
  # The new user's make test is the longer of the two: the analysis yields the processors to it.
  say "as root with CI=true: make lint"
  inside "$root" root 'cd halvern && CI=true nice -n 10 make lint'
  say "as root with CI=true: the package installed, run and removed"
  inside "$root" root 'cd halvern && CI=true ctest --preset default -R "^debian_package$"'
  finish_system ci
}

# Side by side: one system installs while the other builds. Each log is shown when it is done.
( set -e; as_new_user ) >"$work/user.log" 2>&1 &
user_job=$!
( set -e; as_ci ) >"$work/ci.log" 2>&1 &
ci_job=$!
failed=0
for job in user:$user_job ci:$ci_job; do
  status=0
  wait "${job#*:}" || status=$?
  say "---- the ${job%%:*} system's log ($( ((status == 0)) && echo passed || echo "FAILED, status $status"))"
  cat "$work/${job%%:*}.log"
  ((status == 0)) || failed=1
done
exit "$failed"
