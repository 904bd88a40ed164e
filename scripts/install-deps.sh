#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  libxcomposite1:i386 libxrender1:i386 libxrandr2:i386 libxi6:i386 libxinerama1:i386 libxcursor1:i386 libxfixes3:i386
  googletest libgtest-dev libbenchmark-dev clang clang-tidy cppcheck time
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libx11-dev libfreetype-dev libfontconfig-dev fonts-liberation libpng-dev libcairo2-dev
  xvfb xdotool x11-apps x11-utils imagemagick nsis icoutils zip unzip
  dpkg-dev lintian desktop-file-utils python3 xscreensaver xscreensaver-gl mate-screensaver dbus-x11
)

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi

# wine32 comes from the i386 archive.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing+=("$p") ;;
  esac
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=900 update -q
$SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"
