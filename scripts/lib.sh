# Shared by the scripts: build directory, Wine prefix, virtual display, clean-up by PID.
# Source it; it defines functions and exports the Wine environment.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}

export WINEARCH=win32
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

started_pids=()

cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
}

# Configures the build directory; arguments go to cmake.
configure() {
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

configure_and_build() {
  configure "$@"
  cmake --build "$build"
}

# Starts Xvfb on a free display when none is set. Players' screens are often 1366 x 768;
# a full-HD screen shows the whole login skin.
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${SCREEN_SIZE:-1920x1080x24}" -nolisten tcp >/dev/null 2>&1 </dev/null &
  started_pids+=($!)
  export DISPLAY=":$n"
  local i
  for i in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# Creates the private prefix once. Unmanaged windows: no 2-second wait for a window manager
# on every hide and destroy.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 </dev/null
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
  fi
}

# One persistent wineserver for the whole run, warmed up with its output kept away from
# the caller's pipes (service processes inherit them otherwise).
start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
