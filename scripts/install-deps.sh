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
  g++-aarch64-linux-gnu qemu-user qemu-user-binfmt
  libgl-dev:arm64 libglu1-mesa-dev:arm64 libegl-dev:arm64 libegl-mesa0:arm64 libgl1-mesa-dri:arm64
  libglx-mesa0:arm64 libx11-dev:arm64 libfreetype-dev:arm64 libfontconfig-dev:arm64 libpng-dev:arm64
  libcairo2-dev:arm64
  emscripten chromium
)

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
# Another apt-get at work is waited for, not failed on.
apt_get() { $SUDO apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# wine32 comes from the i386 archive, the arm64 build's libraries from the arm64 one.
for foreign in i386 arm64; do
  dpkg --print-foreign-architectures | grep -qx "$foreign" || $SUDO dpkg --add-architecture "$foreign"
done

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

export DEBIAN_FRONTEND=noninteractive
apt_get update -q
# The copies of a Multi-Arch: same library in two architectures must have one version. Where
# the archive has moved past an installed copy, the copy being added comes at the new version,
# so the installed one is upgraded in the same call.
while read -r name arch version; do
  missing+=($(dpkg-query -W -f='${db:Status-Abbrev} ${Architecture} ${Version}\n' "$name" 2>/dev/null |
    awk -v name="$name" -v arch="$arch" -v version="$version" '$1 == "ii" && $2 != arch && $3 != version { print name ":" $2 }'))
done < <(apt_get install -s -q --no-install-recommends "${missing[@]}" |
  sed -n 's/^Inst \([^ :]*\):\([a-z0-9]*\) (\([^ ]*\) .*/\1 \2 \3/p')
echo "Installing: ${missing[*]}"
apt_get install -y -q --no-install-recommends "${missing[@]}"
