#!/usr/bin/env bash
# How long the window of PELMATIC.EXE leaves a message waiting while it converts onto a disk that slows all at
# once, measured from outside through the real window under Wine.
#   scripts/pause-bench.sh [MiB] [fast MiB] [rate MiB/s]    defaults 1024, 256, 20
# The ISO file goes onto bench/slow_disk.cpp, a FUSE file system over a folder in /dev/shm that takes the first
# "fast" MiB at once and then, at each fsync, waits for what was written since the last one at the rate (fast 0:
# a steady disk). bench/pause_probe.cpp types the names, clicks «Конвертировать», sends the window a message every
# 50 ms until the outcome box shows, and prints the longest wait. The NRG file is 307,200 bytes and MiB of zeros
# (the copy does not parse it; the box then warns that the ISO file has no file system).
# With TESSALINE_BENCH_AGAINST naming another build's PELMATIC.EXE (an earlier commit's, say), that one runs
# first, then this one, each on a fresh disk. Needs root and /dev/fuse; installs libfuse3-dev if missing.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

mib="${1:-1024}"
fast="${2:-256}"
rate="${3:-20}"
if ! [[ "$mib" =~ ^[1-9][0-9]*$ && "$fast" =~ ^[0-9]+$ && "$rate" =~ ^[0-9]+(\.[0-9]+)?$ ]]; then
  echo "usage: scripts/pause-bench.sh [MiB] [fast MiB] [rate MiB/s]" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ] || [ ! -c /dev/fuse ]; then
  echo "pause-bench.sh: needs root and /dev/fuse, to mount the slow disk" >&2
  exit 1
fi

scripts/install-deps.sh
[ -e /usr/include/fuse3/fuse.h ] || apt-get install -y --no-install-recommends libfuse3-dev pkg-config
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic pause_probe
# shellcheck disable=SC2046  # pkg-config's flags are words
g++ -std=c++20 -O2 -Wall -Wextra -Wconversion -Werror -o build/slow_disk bench/slow_disk.cpp $(pkg-config --cflags --libs fuse3)

source scripts/wine-env.sh
workdir="$(mktemp -d /dev/shm/tessaline-pause.XXXXXX)"
disk_pid=""
unmount() {
  if mountpoint -q "$workdir/disk"; then umount "$workdir/disk" || umount -l "$workdir/disk"; fi
  if [ -n "$disk_pid" ]; then wait "$disk_pid" || true; fi
  disk_pid=""
}
finish() {
  unmount
  stop_wine
  rm -rf "$workdir"
}
trap finish EXIT
start_display
prepare_prefix
start_wineserver

input="$workdir/input.nrg"
truncate -s $((307200 + mib * 1048576)) "$input"
programs=(build/mingw/bin/PELMATIC.EXE)
[ -z "${TESSALINE_BENCH_AGAINST:-}" ] || programs=("$TESSALINE_BENCH_AGAINST" "${programs[@]}")
for program in "${programs[@]}"; do
  echo "== $program: $mib MiB onto a disk that takes $fast MiB at once, then $rate MiB/s; load $(cut -d' ' -f1-3 /proc/loadavg)"
  mkdir -p "$workdir/folder" "$workdir/disk"
  build/slow_disk "$workdir/folder" "$workdir/disk" "$fast" "$rate" 2>"$workdir/fsyncs.log" &
  disk_pid=$!
  for _ in $(seq 100); do mountpoint -q "$workdir/disk" && break; sleep 0.1; done
  "$WINE64" build/mingw/bin/pause_probe.exe "$("$WINE64" winepath -w "$program" | tr -d '\r')" \
    "$("$WINE64" winepath -w "$input" | tr -d '\r')" "$("$WINE64" winepath -w "$workdir/disk")\\image.iso" |
    tr -d '\r' | tee "$workdir/probe.log"
  unmount
  rm -rf "$workdir/folder"
  # When the disk had taken the last byte: the end of the last fsync's wait.
  awk '/fsync at/ { n++; if ($(NF - 1) > most) { most = $(NF - 1); due = $9 } done = $1 + $(NF - 1) }
       END { printf "the disk: %d fsyncs, the longest %.3f s for %s MiB; the last one done at %.3f\n", n, most, due, done }' \
    "$workdir/fsyncs.log" | tee -a "$workdir/probe.log"
  awk '/^first box/ { box = $NF } /^the disk:/ { done = $NF }
       END { printf "the first box came %.3f s after the disk was done\n", box - done }' "$workdir/probe.log"
  echo "load $(cut -d' ' -f1-3 /proc/loadavg)"
done
