#!/usr/bin/env bash
# Builds Tessaline with GCC and with Clang and runs every test of both builds under Wine, installing what
# is missing; runs clang-tidy on src/; then checks the release (the GCC build).
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

scripts/install-deps.sh
scripts/lint-workflows.sh  # the CI workflows: YAML, actionlint, shellcheck on their run: steps
cmake --preset mingw >/dev/null
cmake --build --preset mingw
# The same code with a second compiler, whose warnings are errors too, and clang-tidy on its compile commands.
cmake --preset mingw-clang >/dev/null
cmake --build --preset mingw-clang
scripts/tidy.sh

source scripts/wine-env.sh
trap 'stop_wine; unmount_small_disk' EXIT
start_display
prepare_prefix
mount_small_disk
start_wineserver
ctest --preset mingw "$@"
ctest --preset mingw-clang "$@"
# The release as it is shipped: built twice from the commit and compared, then checked, signed and started.
scripts/release.sh --check
