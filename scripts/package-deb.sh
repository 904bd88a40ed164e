#!/usr/bin/env bash
# Makes the Debian package dist/needlecast_<version>_<arch>.deb with CPack from a Linux
# build, with every time stamp the commit's (SOURCE_DATE_EPOCH): the same programs give the
# same bytes. <arch> is the one the build's toolchain builds for (amd64 for build/linux,
# arm64 for build/linux-arm64); programs made for another machine are refused.
# Usage: package-deb.sh [BUILD_DIR]   (default build/linux, with needlecast and
# needlecast-sim built: make build-linux, or make build-arm64)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/linux}" && pwd)
dist=$root/dist
version=$("$root/scripts/version")
export SOURCE_DATE_EPOCH=$("$root/scripts/source-date-epoch")

missing=0
for program in needlecast needlecast-sim needlecast-xscreensaver; do
  if [ ! -x "$build/$program" ]; then
    echo "package-deb.sh: $build/$program is missing; build it first (make build-linux, or make build-arm64 for build/linux-arm64)" >&2
    missing=1
  fi
done
if [ ! -f "$build/CPackConfig.cmake" ]; then
  echo "package-deb.sh: $build/CPackConfig.cmake is missing; configure it first (cmake --preset linux, or linux-arm64)" >&2
  missing=1
fi
[ "$missing" -eq 0 ] || exit 1
# cpack reads the dependencies off the programs with dpkg-shlibdeps.
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "package-deb.sh: $tool is not installed" >&2; exit 1; }
done

arch=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
# The ELF machine (e_machine, two bytes little-endian at offset 18) each architecture's
# programs must carry.
case $arch in
  amd64) machine=62 ;;
  arm64) machine=183 ;;
  i386) machine=3 ;;
  armhf | armel) machine=40 ;;
  *) echo "package-deb.sh: $build gives no known Debian architecture ('$arch')" >&2; exit 1 ;;
esac
for program in needlecast needlecast-sim needlecast-xscreensaver; do
  found=$(od -An -j18 -N2 -tu2 --endian=little "$build/$program" | tr -d ' ')
  if [ "$(head -c4 "$build/$program")" != $'\x7fELF' ] || [ "$found" != "$machine" ]; then
    echo "package-deb.sh: $build/$program is not a program for $arch (ELF machine ${found:-none}, not $machine)" >&2
    exit 1
  fi
done
deb_name=needlecast_${version}_${arch}.deb

mkdir -p "$dist"
stage=$(mktemp -d "$dist/.stage-deb.XXXXXX")
trap 'rm -rf "$stage"' EXIT

# The install rules set every file's mode; a usual umask for CPack's scratch tree besides.
(umask 022 && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$stage" >"$stage/cpack.log" 2>&1) || {
  cat "$stage/cpack.log" >&2
  echo "package-deb.sh: cpack failed" >&2
  exit 1
}
if [ ! -f "$stage/$deb_name" ]; then
  cat "$stage/cpack.log" >&2
  echo "package-deb.sh: cpack made no $deb_name" >&2
  exit 1
fi
mv -f "$stage/$deb_name" "$dist/$deb_name"
echo "dist/$deb_name: $(stat -c %s "$dist/$deb_name") bytes"
