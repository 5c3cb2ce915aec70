#!/usr/bin/env bash
# Measures the conversion under Wine (convert_bench.exe), and beside it a
# native dd copy of an equal file, so that Wine's own share of the cost shows.
#   scripts/bench.sh [MiB] [runs]    input size (default 1024), runs of each copy (default 4)
# The files go to a fresh folder under $TESSALINE_BENCH_DIR (default /tmp);
# /dev/shm takes the disk out of the figures.
# With TESSALINE_BENCH_AGAINST naming another build's convert_bench.exe (an
# earlier commit's, say), the two take turns, that one first, as many turns each
# as runs, each turn four runs of each copy: whatever the load of a shared
# machine does meanwhile falls on both alike. Each one's figures over all its
# turns follow.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

mib="${1:-1024}"
runs="${2:-4}"
if ! [[ "$mib" =~ ^[1-9][0-9]*$ && "$runs" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/bench.sh [MiB] [runs]" >&2
  exit 2
fi
header_size=307200
input_size=$((mib * 1048576))
output_size=$((input_size - header_size))

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target convert_bench

source scripts/wine-env.sh
# Both programs work in one folder, so that both see the same file system.
workdir="$(mktemp -d "${TESSALINE_BENCH_DIR:-/tmp}/tessaline-bench.XXXXXX")"
finish() {
  stop_wine
  rm -rf "$workdir"
}
trap finish EXIT
start_display
prepare_prefix
start_wineserver

# Best and median MB/s of each copy, from the lines "run N <copy> <seconds> s, ..." of a log.
rates() {
  sed -nE 's/^run [0-9]+ (.*[^ ]) +([0-9.]+) s, of which.*/\1|\2/p' "$1" | sort -t'|' -k1,1 -k2,2g |
    awk -F'|' -v bytes="$output_size" '
      function put() {
        if (n) printf "%s: best %.1f MB/s, median %.1f MB/s (%d runs)\n", copy, r[1],
          n % 2 ? r[(n + 1) / 2] : (r[n / 2] + r[n / 2 + 1]) / 2, n
      }
      $1 != copy { put(); copy = $1; n = 0 }
      { r[++n] = bytes / 1e6 / $2 }
      END { put() }'
}

echo "== convert_bench.exe under $("$WINE64" --version), $mib MiB"
windows_workdir="$("$WINE64" winepath -w "$workdir" | tr -d '\r')"
programs=("${TESSALINE_BENCH_AGAINST:-}" build/mingw/bin/convert_bench.exe)
if [ -z "${programs[0]}" ]; then
  "$WINE64" "${programs[1]}" "$mib" "$windows_workdir" "$runs"
else
  for turn in $(seq "$runs"); do
    for side in 0 1; do
      echo "== turn $turn of ${programs[side]}"
      "$WINE64" "${programs[side]}" "$mib" "$windows_workdir" 4 | tee -a "$workdir/turns-$side.log"
    done
  done
  for side in 0 1; do
    echo "== ${programs[side]}, all $runs turns: MB = 10^6 bytes"
    rates "$workdir/turns-$side.log"
    grep -E 'flushes and|^its flushes' "$workdir/turns-$side.log"
  done
fi

echo "== native dd, bs=64k, $mib MiB"
input="$workdir/input.nrg"
output="$workdir/output.iso"
# Not all zeros: one random line, repeated ("yes" ends on the closed pipe).
{ yes "$(head -c 3072 /dev/urandom | base64 -w0)" || true; } | head -c "$input_size" >"$input"
sync "$input"  # on disk before the first copy, as convert_bench.exe does
rates=()
for run in $(seq "$runs"); do
  rm -f "$output"
  from=$(date +%s%N)
  dd if="$input" of="$output" bs=64k iflag=skip_bytes skip="$header_size" status=none
  to=$(date +%s%N)
  written=$(stat -c %s "$output")
  if [ "$written" -ne "$output_size" ]; then
    echo "dd: output of $written bytes, expected $output_size" >&2
    exit 1
  fi
  rate=$(awk -v bytes="$output_size" -v ns=$((to - from)) 'BEGIN { printf "%.1f", bytes / 1e6 / (ns / 1e9) }')
  printf 'run %d dd %.3f s\n' "$run" "$(awk -v ns=$((to - from)) 'BEGIN { print ns / 1e9 }')"
  rates+=("$rate")
done
rm -f "$output" "$input"
median=$(printf '%s\n' "${rates[@]}" | sort -g | awk '{ r[NR] = $1 } END { m = int((NR + 1) / 2); printf "%.1f", NR % 2 ? r[m] : (r[m] + r[m + 1]) / 2 }')
best=$(printf '%s\n' "${rates[@]}" | sort -g | tail -n1)
echo "native dd: best $best MB/s, median $median MB/s (MB = 10^6 bytes)"
