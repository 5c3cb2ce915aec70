#!/usr/bin/env bash
# Builds Tessaline with GCC and with Clang and runs every test of both builds under Wine, one in English and
# one in Russian, installing what is missing; runs clang-tidy on src/; then checks the release (the GCC build).
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
# Both languages on every run, as a Russian Windows and an English one give the system's texts: the GCC
# build's tests with Wine in English, the Clang build's in Russian. LC_ALL rules over the caller's LANG and LC_*.
LC_ALL=C.UTF-8 ctest --preset mingw "$@"
LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ctest --preset mingw-clang "$@"
# The release as it is shipped: built twice from the commit and compared, then checked, signed and started.
scripts/release.sh --check
