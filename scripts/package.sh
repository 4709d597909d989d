#!/bin/sh
# Builds every package into build/packages/, with their SHA256SUMS:
#   lumen-ribbon_<version>_amd64.deb      Debian package (CPack DEB, from the Linux build)
#   Lumen_Ribbon-<version>-win32.zip      portable archive (CPack ZIP, from the Windows build)
#   Lumen_Ribbon-<version>-setup.exe      Windows installer (NSIS, packaging/windows)
# The version is the CMake project version.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${LR_BUILD_ROOT:-$root/build}
out=$build/packages

"$root/scripts/build.sh" linux windows
rm -rf "$out"
mkdir -p "$out"
(cd "$build/linux" && cpack -G DEB -B "$out/cpack-deb" >/dev/null)
(cd "$build/windows" && cpack -G ZIP -B "$out/cpack-zip" >/dev/null)
mv "$out"/cpack-deb/*.deb "$out"/cpack-zip/*.zip "$out"
rm -rf "$out/cpack-deb" "$out/cpack-zip"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/windows/CMakeCache.txt")
makensis -V2 -DVERSION="$version" -DBIN_DIR="$build/windows/bin" -DSOURCE_DIR="$root" \
  -DOUT_FILE="$out/Lumen_Ribbon-$version-setup.exe" "$root/packaging/windows/Lumen_Ribbon.nsi"

(cd "$out" && sha256sum -- *.deb *.zip *.exe >SHA256SUMS)
echo "packages in $out:"
(cd "$out" && ls -l)
