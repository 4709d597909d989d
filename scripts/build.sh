#!/bin/sh
# Builds the native unit tests, the native Linux renderer and the Windows deliverables.
#   build/native   portable code and its unit tests (sanitizers on)
#   build/linux    bin/lumen-ribbon (Release, no test packages needed) and its end-to-end tests
#   build/windows  bin/Lumen_Ribbon.scr, bin/Lumen_Ribbon.dll, probes, end-to-end tests
#   build/fuzz     the portable libraries and their libFuzzer targets, built with clang
# Usage: scripts/build.sh [native] [linux] [windows] [fuzz]   (the first three by default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
jobs=$(nproc)
targets=${*:-native linux windows}

for target in $targets; do
  case $target in
    native)
      cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug -DLR_X11_BUILD=OFF >/dev/null
      cmake --build "$build/native" -j "$jobs" ;;
    linux)
      cmake -S "$root" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DLR_SANITIZE=OFF \
        -DLR_UNIT_TESTS=OFF -DLR_X11_BUILD=ON -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
      cmake --build "$build/linux" -j "$jobs" ;;
    windows)
      cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
      cmake --build "$build/windows" -j "$jobs" ;;
    fuzz)
      CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLR_FUZZ=ON >/dev/null
      cmake --build "$build/fuzz" -j "$jobs" ;;
    *) echo "unknown build: $target" >&2; exit 2 ;;
  esac
done
