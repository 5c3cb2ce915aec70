#!/usr/bin/env bash
# clang-tidy on src/ with the checks in .clang-tidy, through the compile commands of the mingw-clang
# build and with that Clang's own clang-tidy; fails on any warning. Configures the build if needed.
#   scripts/tidy.sh [FILE...]    only these files of src/ (a header is checked through the files that include it)
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

build=build/mingw-clang
[ -f $build/compile_commands.json ] || cmake --preset mingw-clang >/dev/null
# The clang-tidy beside the compiler of the compile commands (/usr/lib/llvm-16/bin/clang++ -> .../clang-tidy).
tidy="$(sed -n 's|^ *"command": "\(/[^ ]*\)/clang[^ /]* .*|\1/clang-tidy|p' $build/compile_commands.json | head -n 1)"
if [ $# -eq 0 ]; then set -- $(find src -name '*.cpp' | sort); fi
echo "$("$tidy" --version | grep -o 'LLVM version [0-9.]*') clang-tidy on $# files"
# One file each, as many at once as there are cores; the count of the warnings clang dropped (in
# system headers) is noise.
printf '%s\n' "$@" | xargs -P "$(nproc)" -n 1 "$tidy" -p $build --quiet --warnings-as-errors='*' \
  2> >(grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' >&2)
