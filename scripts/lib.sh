# Shared by the scripts: build trees, Wine, virtual display, clean-up by PID.
# Source it; it defines functions and exports the Wine environment.
#
# Two build trees from the same sources: $build/x86, the 32-bit release target, and $build/x64,
# its 64-bit twin. Each runs under Wine's loader of its own architecture in a prefix of its own;
# CMake writes both into <tree>/wine.env (cmake/Wine.cmake). The `wine` wrapper is never used:
# it picks the 32-bit loader wherever one is installed, even where it cannot run.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
wineserver=/usr/lib/wine/wineserver

export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=${WINEDEBUG:--all}

started_pids=()
served_prefixes=()

cleanup() {
  local prefix pid
  for prefix in "${served_prefixes[@]}"; do
    WINEPREFIX=$prefix "$wineserver" -k >/dev/null 2>&1 || true
  done
  for pid in "${started_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
}

# Whether this machine runs 32-bit x86 code, found by trying once per run (RUNS_32BIT_CODE, yes or
# no, is handed to the scripts this one starts): a 93-byte 32-bit Linux program that only exits
# with 0 (many 64-bit kernels run no 32-bit code at all).
runs_32bit_code() {
  if [ -z "${RUNS_32BIT_CODE:-}" ]; then
    local probe
    probe=$(mktemp)
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
          `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
          `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
          `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'`
          `'\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
          `'\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    RUNS_32BIT_CODE=no
    "$probe" 2>/dev/null && RUNS_32BIT_CODE=yes
    rm -f "$probe"
    export RUNS_32BIT_CODE
  fi
  [ "$RUNS_32BIT_CODE" = yes ]
}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

# Where scripts/setup notes why 32-bit Wine could not be installed.
wine32_note=$build/setup-wine32.txt

# Why the 32-bit build's programs cannot run here, or nothing where they can: that takes a
# machine that runs 32-bit code and 32-bit Wine installed. The one decision of every script.
x86_skip_reason() {
  if ! runs_32bit_code; then
    echo "this machine runs 64-bit code only"
  elif ! installed wine32:i386; then
    echo "32-bit Wine could not be installed ($(cat "$wine32_note" 2>/dev/null || echo "wine32:i386 is not installed"))"
  fi
}

# The architecture whose programs run here: the release target where they can.
runnable_arch() {
  if [ -z "$(x86_skip_reason)" ]; then echo x86; else echo x64; fi
}

# configure ARCH [cmake args]: configures $build/ARCH.
configure() {
  local arch=$1
  shift
  cmake -S "$root" -B "$build/$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

configure_and_build() {
  configure "$@"
  cmake --build "$build/$1"
}

# use_arch ARCH: the Wine loader, architecture and prefix of $build/ARCH, for what runs next.
use_arch() {
  set -a
  source "$build/$1/wine.env"
  set +a
}

# Starts Xvfb on a free display when none is set. Players' screens are often 1366 x 768;
# a full-HD screen shows the whole login skin.
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  # Xvfb finds a free display number itself and writes it to fd 3: no other run starting at the
  # same time can take the number first.
  local number_file
  number_file=$(mktemp)
  # Kept as it is between clients: the end-to-end tests give its root window a work area.
  Xvfb -displayfd 3 -screen 0 "${SCREEN_SIZE:-1920x1080x24}" -nolisten tcp -noreset 3>"$number_file" \
    >/dev/null 2>&1 </dev/null &
  started_pids+=($!)
  local i
  for i in $(seq 100); do
    if grep -q . "$number_file"; then
      export DISPLAY=":$(head -n 1 "$number_file")"
      rm -f "$number_file"
      return 0
    fi
    sleep 0.1
  done
  rm -f "$number_file"
  echo "Xvfb did not start" >&2
  return 1
}

# Creates the private prefix of the architecture in use once. Unmanaged windows: no 2-second wait for a window manager
# on every hide and destroy.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINELOADER" wineboot.exe -i >/dev/null 2>&1 </dev/null
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
    "$wineserver" -w
  fi
}

# One persistent wineserver for the whole run, warmed up with its output kept away from
# the caller's pipes (service processes inherit them otherwise).
start_wineserver() {
  "$wineserver" -p >/dev/null 2>&1 </dev/null
  served_prefixes+=("$WINEPREFIX")
  "$WINELOADER" cmd /c exit >/dev/null 2>&1 </dev/null
}
