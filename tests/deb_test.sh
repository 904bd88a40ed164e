#!/usr/bin/env bash
# The Debian package: made by scripts/package-deb.sh, its file list with modes, lintian, and a
# real install and removal in a throw-away dpkg root seeded from this machine's packages.
# Usage: deb_test.sh BUILD_DIR [EMULATOR...]   (EMULATOR runs the installed programs)
set -u
build=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
arch=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
rm -f "$root"/dist/needlecast_*_"$arch".deb
bash "$root/scripts/package-deb.sh" "$build" >"$work/package.log" 2>&1
deb=$(ls "$root"/dist/needlecast_*_"$arch".deb 2>/dev/null)
check "package-deb.sh makes ${deb##*/}" $?
[ -f "$deb" ] || { cat "$work/package.log"; finish; exit; }

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | sort -k3 >"$work/files"
cat >"$work/expected" <<'EOF_FILES'
-rwxr-xr-x root/root ./usr/bin/needlecast-sim
-rwxr-xr-x root/root ./usr/bin/needlecast-xscreensaver
-rw-r--r-- root/root ./usr/share/applications/screensavers/needlecast.desktop
-rw-r--r-- root/root ./usr/share/doc/needlecast/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/needlecast/copyright
-rw-r--r-- root/root ./usr/share/man/man1/needlecast-sim.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/needlecast-xscreensaver.1.gz
-rw-r--r-- root/root ./usr/share/man/man6/needlecast.6.gz
-rw-r--r-- root/root ./usr/share/xscreensaver/config/needlecast.xml
-rwxr-xr-x root/root ./usr/libexec/xscreensaver/needlecast
EOF_FILES
sort -k3 -o "$work/expected" "$work/expected"
diff "$work/expected" "$work/files"
check "the package holds exactly its files, with their modes, owned by root" $?
lintian --fail-on error,warning "$deb"
check "lintian finds no error or warning" $?
dpkg-deb -f "$deb" Depends | grep -q 'libx11-6' && dpkg-deb -f "$deb" Depends | grep -q 'libcairo2' &&
  dpkg-deb -f "$deb" Depends | grep -q 'libc6 (>= '
check "Depends names the libraries with their minimum versions" $?

# A dpkg root holding this machine's package database, so that the dependencies are checked.
R=$work/root
mkdir -p "$R/var/lib/dpkg/info" "$R/var/lib/dpkg/updates"
cp /var/lib/dpkg/status /var/lib/dpkg/arch "$R/var/lib/dpkg/"
in_root() { dpkg --root="$R" --log=/dev/null --force-not-root --force-script-chrootless "$@" >"$work/dpkg.log" 2>&1; }
in_root -i "$deb" && [ "$(dpkg --root="$R" -s needlecast | sed -n 's/^Status: //p')" = "install ok installed" ]
check "dpkg -i installs it" $?
"$@" "$R/usr/bin/needlecast-sim" --seed 5 --frames 100 >/dev/null && "$@" "$R/usr/libexec/xscreensaver/needlecast" --help >/dev/null &&
  "$@" "$R/usr/bin/needlecast-xscreensaver" --help >/dev/null && man -l "$R/usr/share/man/man1/needlecast-xscreensaver.1.gz" | grep -q NAME
check "the installed programs run" $?
in_root -P needlecast && [ -z "$(find "$R" -path "$R/var/lib/dpkg" -prune -o ! -type d -print)" ]
check "dpkg -P leaves nothing behind" $?

# This build's programs offered as another machine's package are refused.
other=$([ "$arch" = amd64 ] && echo arm64 || echo amd64)
mkdir "$work/other" && cp "$build"/needlecast "$build"/needlecast-sim "$build"/needlecast-xscreensaver "$work/other" &&
  sed "s/_ARCHITECTURE \"$arch\"/_ARCHITECTURE \"$other\"/" "$build/CPackConfig.cmake" >"$work/other/CPackConfig.cmake"
out=$(bash "$root/scripts/package-deb.sh" "$work/other" 2>&1)
[ $? -eq 1 ] && [[ $out == *"needlecast is not a program for $other (ELF machine "* ]]
check "$arch programs are refused as an $other package ($out)" $?
finish
