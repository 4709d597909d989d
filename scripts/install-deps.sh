#!/bin/sh
# Installs what building and testing need on Debian 12, skipping what is there.
set -eu

packages="cmake make g++ clang-format googletest libgtest-dev python3 \
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686 \
  wine wine32 wine64 xvfb x11-utils locales fonts-ipafont-gothic \
  imagemagick sox lame libjpeg-turbo-progs fonts-wine \
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps libgl1-mesa-dri \
  libgl1:i386 libgl1-mesa-dri:i386 libglu1-mesa:i386 libxrandr2:i386 libxcursor1:i386 \
  libxi6:i386 libxinerama1:i386 libxrender1:i386 libxxf86vm1:i386 libxcomposite1:i386 \
  libxfixes3:i386 libasound2:i386 libfreetype6:i386 libfontconfig1:i386 \
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386"
# The native Linux renderer (Xlib, XRandR, GLX, GLU) and its end-to-end tests: Xorg with the
# dummy driver for mode switches, llvmpipe, the XScreenSaver daemon, tools to look at windows.
packages="$packages pkg-config libx11-dev libxrandr-dev libgl-dev libglu1-mesa-dev \
  libgl1-mesa-dri xserver-xorg-core xserver-xorg-video-dummy x11-apps x11-xserver-utils \
  xdotool python3-xlib procps passwd xscreensaver xscreensaver-gl"
# The Linux host's music: GStreamer with the ALSA output the tests capture from.
packages="$packages libgstreamer1.0-dev gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
  gstreamer1.0-alsa"
# The packages: the Windows installer (NSIS), the archive, and the Debian package's checks.
packages="$packages nsis dpkg-dev file lintian"

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  apt-get update
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

if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi
