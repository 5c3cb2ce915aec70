#!/usr/bin/env bash
# Runs one Windows program of the build under Wine (CMake's cross-compiling emulator).
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$TESSALINE_ROOT/scripts/wine-env.sh"
exec "$WINE64" "$@"
