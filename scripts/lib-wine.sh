# Sourced by scripts/test, scripts/demo and scripts/bench: which build runs
# here, and a private Wine prefix under its build folder, on Xvfb when there
# is no display.
# Everything started here is stopped again by wine_stop, by process id.
XVFB_PID=""
WINESERVER_PID=""
WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64

# Why a loader cannot start here ("Exec format error" where the kernel runs
# no 32-bit programs); empty when it starts.
loader_fails() {
  local out
  if ! out=$("$1" --version 2>&1); then echo "${out##*: }"; fi
}

# vrb_choose_arch NAME: sets VRB_ARCH to the build that runs here, found by
# trying: x86, what ships, where the 32-bit loader starts, else x64.
# VRB_ARCH=x86 or x64 forces one. VRB_WINE_LOADER is the loader that runs it.
# Prints one line that names NAME, the build and the loader.
vrb_choose_arch() {
  local why
  why=$(loader_fails "$WINE32_LOADER")
  case ${VRB_ARCH:-} in
    "") if [ -z "$why" ]; then VRB_ARCH=x86; else VRB_ARCH=x64 VRB_ARCH_WHY="32-bit programs cannot run here: $why"; fi ;;
    x86) [ -z "$why" ] || { echo "VRB_ARCH=x86: $WINE32_LOADER cannot run here ($why); use VRB_ARCH=x64" >&2; return 1; } ;;
    x64) VRB_ARCH_WHY="VRB_ARCH=x64" ;;
    *) echo "VRB_ARCH=$VRB_ARCH: give x86 or x64" >&2; return 1 ;;
  esac
  VRB_WINE_LOADER=$WINE32_LOADER
  if [ "$VRB_ARCH" = x64 ]; then
    VRB_WINE_LOADER=$WINE64_LOADER
    why=$(loader_fails "$WINE64_LOADER")
    [ -z "$why" ] || { echo "$WINE64_LOADER cannot run here ($why)" >&2; return 1; }
  fi
  export VRB_ARCH VRB_WINE_LOADER
  local what="the x86 build (what ships)"
  [ "$VRB_ARCH" = x64 ] && what="the x64 build (a test bench only; $VRB_ARCH_WHY)"
  echo "$1: $what under $VRB_WINE_LOADER ($("$VRB_WINE_LOADER" --version))"
}

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
  local build_dir
  build_dir=$(cd "$1" && pwd)  # Wine takes no relative prefix
  export WINEPREFIX="$build_dir/wineprefix"
  # A 64-bit prefix, as 64-bit Windows, for both builds: the x86 build meets
  # the WOW64 registry view and "Program Files (x86)" there.
  export WINEARCH=win64 WINELOADER=$VRB_WINE_LOADER
  # `wine`, and the tools that start `wine-stable` (wineboot, winepath), take
  # the chosen loader: /usr/bin/wine prefers the 32-bit one whenever it is installed.
  mkdir -p "$build_dir/wine-bin"
  local tool
  for tool in wine wine-stable; do
    printf '#!/bin/sh\nexec %s "$@"\n' "$VRB_WINE_LOADER" >"$build_dir/wine-bin/$tool"
    chmod +x "$build_dir/wine-bin/$tool"
  done
  case ":$PATH:" in *":$build_dir/wine-bin:"*) ;; *) export PATH="$build_dir/wine-bin:$PATH" ;; esac
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
