#!/bin/sh
# Builds the native unit tests and the Windows deliverables.
#   build/native   portable code and its unit tests (sanitizers on)
#   build/windows  bin/Lumen_Ribbon.scr, bin/Lumen_Ribbon.dll, probes, end-to-end tests
# Usage: scripts/build.sh [native] [windows]   (both by default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
jobs=$(nproc)
targets=${*:-native windows}

for target in $targets; do
  case $target in
    native)
      cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
      cmake --build "$build/native" -j "$jobs" ;;
    windows)
      cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
      cmake --build "$build/windows" -j "$jobs" ;;
    *) echo "unknown build: $target" >&2; exit 2 ;;
  esac
done
