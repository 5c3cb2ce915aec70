#!/usr/bin/env bash
# Builds Tessaline and starts it (under Wine on Linux), installing what is missing.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic

source scripts/wine-env.sh
trap stop_wine EXIT
start_display
prepare_prefix
"$WINE64" build/mingw/bin/PELMATIC.EXE
"$WINESERVER" -w
