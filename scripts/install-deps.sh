#!/bin/sh
# Installs what building and testing need on Debian 12, skipping what is there.
set -eu

# Usage: install-deps.sh [run]. "run" installs only what building and running the native
# Linux saver needs (no Wine, no mingw, no GoogleTest, no i386); without it, everything the
# tests need as well.
mode=${1:-all}

# The native Linux saver: the renderer (Xlib, XRandR, the screen-saver and DPMS extensions, GLX,
# GLU), the host (GTK 3, GStreamer with its ALSA output and the MP3 decoder, the dialog's Japanese
# Gothic face), and the private Xvfb and screenshot tools of the run without a display.
packages="cmake make g++ pkg-config python3 libx11-dev libxrandr-dev libxss-dev libxext-dev \
  libgl-dev libglu1-mesa-dev libgl1-mesa-dri libgtk-3-dev libgstreamer1.0-dev \
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-alsa fonts-ipafont-gothic xvfb x11-apps x11-utils imagemagick"

if [ "$mode" != run ]; then
  # The unit tests, the fuzz targets (clang's libFuzzer), the Windows cross-builds and their tests
  # under Wine: the libraries Wine loads for the 64-bit programs, and for the 32-bit ones where the
  # machine runs them.
  packages="$packages clang-format googletest libgtest-dev clang libclang-rt-14-dev \
    g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 \
    wine wine32 wine64 locales sox lame libjpeg-turbo-progs fonts-wine \
    libglu1-mesa libxcursor1 libxi6 libxinerama1 libxrender1 libxxf86vm1 libxcomposite1 libxfixes3 \
    libasound2 libfreetype6 libfontconfig1 \
    libgl1:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386 libxrandr2:i386 libxcursor1:i386 \
    libxi6:i386 libxinerama1:i386 libxrender1:i386 libxxf86vm1:i386 libxcomposite1:i386 \
    libxfixes3:i386 libasound2:i386 libfreetype6:i386 libfontconfig1:i386 \
    gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386"
  # The native end-to-end tests: Xorg with the dummy driver for mode switches, the XScreenSaver
  # daemon and the other lockers that run its hacks (xsecurelock; MATE's screensaver with a
  # session bus of its own), tools to look at and poke windows.
  packages="$packages xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils \
    xdotool python3-xlib procps passwd xscreensaver xscreensaver-gl \
    xsecurelock mate-screensaver dbus-daemon dbus-bin"
  # Real window managers for the full-screen tests: one that reparents into a single frame, one
  # that nests in a wrapper and composites (with its frames' decoration).
  packages="$packages openbox kwin-x11 kwin-style-breeze"
  # The packages: the Windows installer (NSIS), the archive, and the Debian package's checks.
  packages="$packages nsis dpkg-dev file lintian"
  # The web page: Emscripten builds it, headless Chromium (WebGL 2 through SwiftShader) tests it.
  packages="$packages emscripten chromium"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt-get update
  fi
fi

missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  [ -n "$(ls -A /var/lib/apt/lists 2>/dev/null | grep -v lock)" ] || apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends $missing ||
    { apt-get update && DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y --no-install-recommends $missing; }
fi

# The Windows programs under Wine run in a Japanese locale.
if [ "$mode" != run ] && ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi
