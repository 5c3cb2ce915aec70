#!/usr/bin/env bash
# Builds Tessaline and runs every test under Wine, installing what is missing; then checks the release.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

scripts/install-deps.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

source scripts/wine-env.sh
trap 'stop_wine; unmount_small_disk' EXIT
start_display
prepare_prefix
mount_small_disk
start_wineserver
ctest --preset mingw "$@"
# The release as it is shipped: built twice from the commit and compared, then checked, signed and started.
scripts/release.sh --check
