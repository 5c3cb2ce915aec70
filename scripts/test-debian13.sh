#!/usr/bin/env bash
# Runs scripts/test.sh on Debian 13 (trixie, Wine 10, GCC 14) from a Debian 12 machine: in a chroot,
# made once under build/debian13 with mmdebstrap, on a fresh clone of this tree's HEAD (so uncommitted
# changes are not tested). Needs root. Not part of CI. Extra arguments go to scripts/test.sh.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

if [ "$(id -u)" -ne 0 ]; then
  echo "scripts/test-debian13.sh needs root: it makes a chroot and mounts into it" >&2
  exit 1
fi
root="$TESSALINE_ROOT/build/debian13"

# Everything mounted below the chroot, this run's and a test run's (its small disk), deepest first.
mounts_below() {
  findmnt -rn -o TARGET | grep -E "^$root/" | sort -r || true
}

# Every way out: what still runs in the chroot ends, then every mount below it goes.
leave() {
  local pid
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && { kill -KILL "${pid#/proc/}" 2>/dev/null || true; }
  done
  local target
  while read -r target; do
    [ -n "$target" ] || continue
    umount "$target" 2>/dev/null || umount -l "$target" || true
  done < <(mounts_below)
}
trap leave EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

leave  # what a killed run left behind
if [ ! -f "$root/.tessaline-ready" ]; then
  if ! command -v mmdebstrap >/dev/null; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq mmdebstrap
  fi
  echo "Making the Debian 13 chroot $root (once)"
  if [ -n "$(mounts_below)" ]; then
    echo "$root still has mounts below it; not removing it" >&2
    exit 1
  fi
  rm -rf --one-file-system "$root"
  mkdir -p build
  mmdebstrap --variant=apt --include=git,ca-certificates,sudo,python3 trixie "$root"
  touch "$root/.tessaline-ready"
fi

mount_in() { # mount_in PATH MOUNT-ARGUMENTS...: mounts at PATH inside the chroot
  local target="$root$1"
  shift
  mkdir -p "$target"
  mount "$@" "$target"
}
mount_in /proc -t proc proc
mount_in /sys --bind /sys
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs tmpfs
# Names resolve as on the host, for apt; and the host's own certificate authorities are trusted there too,
# for npm (a network behind a proxy of its own).
rm -f "$root/etc/resolv.conf"
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
if compgen -G '/usr/local/share/ca-certificates/*.crt' >/dev/null; then
  cp -L /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null 2>&1
fi

commit="$(git rev-parse HEAD)"
if [ -n "$(git status --porcelain)" ]; then
  echo "warning: uncommitted changes are not tested, only $(git rev-parse --short HEAD)" >&2
fi
rm -rf --one-file-system "$root/root/tessaline"
git clone --quiet --no-hardlinks "$TESSALINE_ROOT" "$root/root/tessaline"
git -C "$root/root/tessaline" checkout --quiet --detach "$commit"
echo "Testing $(git log -1 --format='%h %s' "$commit") on Debian $(cat "$root/etc/debian_version")"

# A clean environment: the host's display and build settings do not reach the chroot. Waited
# for in the background, so that a signal to this script ends the run at once.
chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash -c 'cd /root/tessaline && scripts/test.sh "$@"' test-debian13 "$@" &
wait $!
