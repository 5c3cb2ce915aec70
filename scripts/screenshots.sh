#!/usr/bin/env bash
# Takes the README's pictures of the window under Wine: docs/window.png at
# 96 DPI and docs/window-192dpi.png at 192 DPI, each in a Wine prefix of its own
# (build/wineprefix-DPI) whose desktop is set to that DPI. The window's Tahoma is
# Wine's own where it covers Cyrillic (Wine 10, Debian 13); Wine 8 (Debian 12)
# draws it in Liberation Sans. Each picture's line says which face drew it.
set -euo pipefail
TESSALINE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$TESSALINE_ROOT"

scripts/install-deps.sh
missing=()
[ -e /usr/bin/import ] || missing+=(imagemagick)
[ -e /usr/bin/xdotool ] || missing+=(xdotool)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
fi
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target pelmatic

source scripts/wine-env.sh
trap stop_wine EXIT
start_display

# The face Wine chose for the window's font (Tahoma, Cyrillic), from a trace of its font calls.
face_of() {
  awk '/font_SelectFont L"/ { asked = /L"Tahoma", .*charset=204 / }
       asked && /select_font Chosen: L"/ { sub(/.*Chosen: L"/, ""); sub(/".*/, ""); print; exit }' "$1"
}

shoot() { # shoot DPI PICTURE
  export WINEPREFIX="$TESSALINE_ROOT/build/wineprefix-$1"
  prepare_prefix
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  "$WINESERVER" -w  # the DPI is read when the prefix's session starts
  start_wineserver
  WINEDEBUG=+font "$WINE64" build/mingw/bin/PELMATIC.EXE 2>build/screenshot-fonts.log &
  local program=$! window=""
  for _ in $(seq 100); do
    window=$(xdotool search --name '^Tessaline$' 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.2
  done
  # A click on the caption: the first window on a new X display is not made active by itself.
  xdotool mousemove --window "$window" 60 8 click 1
  sleep 1
  import -window "$window" "$2"
  local face
  face=$(face_of build/screenshot-fonts.log)
  echo "$2: $(identify -format '%w x %h' "$2") at $1 DPI, drawn in ${face:-a face the font trace does not name}"
  kill "$program" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
}

shoot 96 docs/window.png
shoot 192 docs/window-192dpi.png
