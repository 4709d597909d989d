#!/bin/sh
# Builds every package into build/packages/, with their SHA256SUMS:
#   lumen-ribbon_<version>_amd64.deb      Debian package (CPack DEB, from the Linux build)
#   Lumen_Ribbon-<version>-win32.zip      portable archive (CPack ZIP, from the 32-bit Windows build)
#   Lumen_Ribbon-<version>-win64.zip      the same for 64-bit Windows
#   Lumen_Ribbon-<version>-setup.exe      installer for 32-bit Windows (NSIS, packaging/windows)
#   Lumen_Ribbon-<version>-win64-setup.exe  installer for 64-bit Windows
#   lumen-ribbon-<version>-web.zip        the web page (CPack ZIP, from the web build)
# The version is the CMake project version.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
out=$build/packages

"$root/scripts/build.sh" linux windows windows64 web
rm -rf "$out"
mkdir -p "$out"
(cd "$build/linux" && cpack -G DEB -B "$out/cpack" >/dev/null)
(cd "$build/windows" && cpack -G ZIP -B "$out/cpack" >/dev/null)
(cd "$build/windows64" && cpack -G ZIP -B "$out/cpack" >/dev/null)
(cd "$build/web" && cpack -G ZIP -B "$out/cpack" >/dev/null)
mv "$out"/cpack/*.deb "$out"/cpack/*.zip "$out"
rm -rf "$out/cpack"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/windows/CMakeCache.txt")
nsis() {
  makensis -V2 -DVERSION="$version" -DSOURCE_DIR="$root" "$@" "$root/packaging/windows/Lumen_Ribbon.nsi"
}
nsis -DBIN_DIR="$build/windows/bin" -DOUT_FILE="$out/Lumen_Ribbon-$version-setup.exe"
nsis -DBIN_DIR="$build/windows64/bin" -DOUT_FILE="$out/Lumen_Ribbon-$version-win64-setup.exe" -DWIN64

(cd "$out" && sha256sum -- *.deb *.zip *.exe >SHA256SUMS)
echo "packages in $out:"
(cd "$out" && ls -l)
