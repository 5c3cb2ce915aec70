#!/usr/bin/env bash
# Measures the time from process start to a visible window, for PELMATIC.EXE
# and for a minimal Win32 window program, under the same Wine.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"
runs="${1:-10}"

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic minimal_window startup_bench >/dev/null

source scripts/wine-env.sh
trap stop_wine EXIT
start_display
prepare_prefix
start_wineserver
bin=build/mingw/bin
"$WINE64" "$bin/startup_bench.exe" "$bin/minimal_window.exe" "$runs"
"$WINE64" "$bin/startup_bench.exe" "$bin/PELMATIC.EXE" "$runs"
