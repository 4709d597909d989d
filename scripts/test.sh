#!/bin/sh
# Installs what is missing, builds, and runs every test: the native unit tests under
# AddressSanitizer and UBSan, each fuzz target for a bounded time, the end-to-end tests of the
# native Linux renderer and host on private X servers, the web page in headless Chromium, then
# the end-to-end tests of the real Windows binaries under Wine on private X servers. scripts/package.sh makes the packages first:
# the Debian package is checked among the Linux tests, the installers and archives under Wine.
#
# The 64-bit Windows build is always tested, under wine64. The 32-bit build is tested under the
# 32-bit loader where this machine executes i386 programs; elsewhere (or with LR_WINE_64_ONLY=1)
# it is built and checked without running it, and its Wine suite is reported as skipped.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/check-format.sh"
"$root/scripts/package.sh"

if [ -n "${LR_WINE_64_ONLY:-}" ]; then
  no32="LR_WINE_64_ONLY is set"
elif ! why=$(/usr/lib/wine/wine --version 2>&1); then
  no32="this machine cannot execute 32-bit programs: ${why##*: }"
else
  no32=""
fi

echo "== unit tests (native)"
(cd "$build/native" && ctest --output-on-failure -j "$(nproc)")
echo "== fuzz targets (clang, libFuzzer)"
"$root/scripts/fuzz.sh"
echo "== end-to-end tests (native Linux renderer and host)"
(cd "$build/linux" && ctest --output-on-failure)
echo "== end-to-end tests (web page in headless Chromium, WebGL 2 through SwiftShader)"
(cd "$build/web" && ctest --output-on-failure)
echo "== end-to-end tests (64-bit Windows build under wine64)"
(cd "$build/windows64" && ctest --output-on-failure)
if [ -z "$no32" ]; then
  echo "== end-to-end tests (32-bit Windows build under wine)"
  (cd "$build/windows" && ctest --output-on-failure)
  windows="64-bit under wine64, 32-bit under wine"
else
  echo "== 32-bit Windows build: the checks that run nothing (it built with SSE2 arithmetic)"
  (cd "$build/windows" && ctest --output-on-failure -L static)
  echo "skipped: the Wine suite of the 32-bit Windows build, because $no32"
  windows="64-bit under wine64; 32-bit built and checked, its Wine suite skipped"
fi
echo "== Windows builds exercised: $windows"
