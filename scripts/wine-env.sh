# Sourced by the other scripts: a Wine set-up of the build's own.
# Needs TESSALINE_ROOT (the repository); sets WINEPREFIX and friends and
# offers start_display, start_wineserver and stop_wine.

export WINE64=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="${TESSALINE_WINEPREFIX:-$TESSALINE_ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installers: they stall the first boot and nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="

tessaline_xvfb_pid=""

# Makes the prefix once: first boot, no crash dialog, windows that need no window manager.
prepare_prefix() {
  [ -f "$WINEPREFIX/.tessaline-ready" ] && return 0
  echo "Preparing the Wine prefix $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  timeout 300 "$WINE64" wineboot -i >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d Y /f >/dev/null 2>&1
  "$WINESERVER" -w
  touch "$WINEPREFIX/.tessaline-ready"
}

# A virtual screen when there is no display.
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local displayfile
  displayfile=$(mktemp)
  Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$displayfile" 2>/dev/null &
  tessaline_xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$displayfile")"
  rm -f "$displayfile"
}

# One wineserver for the whole run: a cold start costs seconds per process.
# Its helper processes start here, with no terminal: started by a test they
# would hold the test's output pipe open and stall ctest.
start_wineserver() {
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true  # already running is fine
  "$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

# A small file system of its own as drive T:, for the full-disk test: a tmpfs
# that an image of a few MiB does not fit. Only root may mount it; without it
# that test skips.
tessaline_small_disk="$TESSALINE_ROOT/build/small-disk"
mount_small_disk() {
  unmount_small_disk
  mkdir -p "$tessaline_small_disk"
  if mount -t tmpfs -o size=1060k tessaline-small-disk "$tessaline_small_disk" 2>/dev/null &&
    ln -sfn "$tessaline_small_disk" "$WINEPREFIX/dosdevices/t:"; then
    export TESSALINE_SMALL_DISK='T:\'
  else
    echo "No small disk (mounting a tmpfs needs root): the full-disk test skips" >&2
  fi
}

# Also takes away a mount that a killed run left behind.
unmount_small_disk() {
  unset TESSALINE_SMALL_DISK
  rm -f "$WINEPREFIX/dosdevices/t:"
  while mountpoint -q "$tessaline_small_disk" 2>/dev/null; do
    umount "$tessaline_small_disk" 2>/dev/null || umount -l "$tessaline_small_disk" 2>/dev/null || break
  done
}

stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$tessaline_xvfb_pid" ]; then kill "$tessaline_xvfb_pid" 2>/dev/null || true; fi
}
