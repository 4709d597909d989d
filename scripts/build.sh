#!/bin/sh
# Builds the native unit tests, the native Linux programs, the Windows deliverables, the fuzz
# targets and the web page.
#   build/native     portable code and its unit tests (sanitizers on)
#   build/linux      the Linux programs (Release, no test packages needed), end-to-end tests
#   build/windows    32-bit bin/Lumen_Ribbon.scr, bin/Lumen_Ribbon.dll, probes, end-to-end tests
#   build/windows64  the same for 64-bit Windows
#   build/fuzz       the portable libraries and their libFuzzer targets, built with clang
#   build/web        the web page: index.html, lumen-ribbon.js and .wasm (Emscripten, WebGL 2)
# Usage: scripts/build.sh [native] [linux] [windows] [windows64] [fuzz] [web]   (all by default)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
jobs=$(nproc)
targets=${*:-native linux windows windows64 fuzz web}

for target in $targets; do
  case $target in
    native)
      cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Debug -DLR_X11_BUILD=OFF \
        -DLR_UNIT_TESTS=ON -DLR_SANITIZE=ON >/dev/null
      cmake --build "$build/native" -j "$jobs" ;;
    linux)
      cmake -S "$root" -B "$build/linux" -DCMAKE_BUILD_TYPE=Release -DLR_X11_BUILD=ON \
        -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
      cmake --build "$build/linux" -j "$jobs" ;;
    windows | windows64)
      [ "$target" = windows ] && toolchain=mingw-i686 || toolchain=mingw-x86_64
      cmake -S "$root" -B "$build/$target" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain.cmake" >/dev/null
      cmake --build "$build/$target" -j "$jobs" ;;
    web)
      # Debian's Emscripten needs its node modules (acorn) found where Debian puts them.
      NODE_PATH=/usr/share/nodejs emcmake cmake -S "$root" -B "$build/web" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
      cmake --build "$build/web" -j "$jobs" ;;
    fuzz)
      CC=clang CXX=clang++ cmake -S "$root" -B "$build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLR_FUZZ=ON -DLR_SANITIZE=ON >/dev/null
      cmake --build "$build/fuzz" -j "$jobs" ;;
    *) echo "unknown build: $target" >&2; exit 2 ;;
  esac
done
