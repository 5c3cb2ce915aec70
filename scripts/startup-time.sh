#!/usr/bin/env bash
# Measures the time from process start to a visible window, for PELMATIC.EXE
# and for a minimal Win32 window program, under the same Wine.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"
runs="${1:-10}"

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic minimal_window startup_bench startup_phases >/dev/null

source scripts/wine-env.sh
trap stop_wine EXIT
start_display
prepare_prefix
start_wineserver
bin=build/mingw/bin
"$WINE64" "$bin/startup_bench.exe" "$bin/minimal_window.exe" "$runs"
"$WINE64" "$bin/startup_bench.exe" "$bin/PELMATIC.EXE" "$runs"
# Where the program's time goes, step by step, in a cold process each run.
for _ in $(seq "$runs"); do "$WINE64" "$bin/startup_phases.exe"; done | python3 -c '
import statistics, sys
runs = [[part.rsplit(" ", 1) for part in line.strip().split(" | ")] for line in sys.stdin if "|" in line]
steps = ", ".join(f"{name} {statistics.median(float(run[i][1]) for run in runs):.1f}" for i, (name, _) in enumerate(runs[0]))
print(f"PELMATIC.EXE step by step, median of {len(runs)} runs (ms): {steps}")'
