# Sourced by scripts/test, scripts/demo and scripts/bench: a private Wine
# prefix under the build folder, on Xvfb when there is no display.
# Everything started here is stopped again by wine_stop, by process id.
XVFB_PID=""
WINESERVER_PID=""

wine_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  for pid in $WINESERVER_PID $XVFB_PID; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" >/dev/null 2>&1 || true
  done
  WINESERVER_PID=""
  XVFB_PID=""
}

wine_start() {
  local build_dir=$1
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  # Code page 1252, with UTF-8 Unix file names (see ensure_locale).
  export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
  mkdir -p "$WINEPREFIX"
  # A wineserver left over for this prefix may have started without a display.
  wineserver -k >/dev/null 2>&1 || true
  if [ -z "${DISPLAY:-}" ]; then
    local fdfile="$build_dir/xvfb.display"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
    XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
    [ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$fdfile")"
  fi
  # The display is set before anything starts this prefix's wineserver.
  wineserver -f -p >/dev/null 2>&1 &
  WINESERVER_PID=$!
  if [ ! -f "$WINEPREFIX/.vrb-ready" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    touch "$WINEPREFIX/.vrb-ready"
  fi
  # Drive R: is the tests' own drive, for a distribution at a drive root.
  mkdir -p "$build_dir/drive-r"
  ln -sfn "$build_dir/drive-r" "$WINEPREFIX/dosdevices/r:"
  # Starts the prefix's own services now, with their output away from any
  # pipe a test runner later waits on.
  wineboot >/dev/null 2>&1 </dev/null
}
