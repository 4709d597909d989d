#!/bin/sh
# Installs what is missing, builds, and runs every test: the native unit tests
# under AddressSanitizer and UBSan, the end-to-end tests of the native Linux
# renderer and host on private X servers, then the end-to-end tests of the real Windows
# binaries under Wine on a private Xvfb. scripts/package.sh makes the packages first: the
# Debian package is checked among the Linux tests, the installer and archive under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}

"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/scripts/check-format.sh"
"$root/scripts/package.sh"

echo "== unit tests (native)"
(cd "$build/native" && ctest --output-on-failure -j "$(nproc)")
echo "== end-to-end tests (native Linux renderer and host)"
(cd "$build/linux" && ctest --output-on-failure)
echo "== end-to-end tests (Windows binaries under Wine)"
(cd "$build/windows" && ctest --output-on-failure)
