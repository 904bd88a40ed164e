#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing: the sets named
# (scripts/install-deps.sh native windows), or every set. Runs as root, or as a user with sudo;
# every failure ends with one line naming the step. --list SET... prints the sets' packages.
set -euo pipefail

# The one list, in sets: make's deps-SET targets install one each, make deps all of them.
set_names=(native windows arm64 web browser xvfb daemons packaging analysers)
declare -A sets=(
  # The native build (configured whole, tests and benchmarks included) and make run.
  [native]="build-essential cmake ninja-build pkg-config libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0
    libgl1-mesa-dri libx11-dev libfreetype-dev libfontconfig-dev fonts-liberation libpng-dev libcairo2-dev
    googletest libgtest-dev libbenchmark-dev python3"
  # The Windows builds and Wine, with the i386 architecture for 32-bit programs.
  [windows]="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libxcomposite1:i386
    libxrender1:i386 libxrandr2:i386 libxi6:i386 libxinerama1:i386 libxcursor1:i386 libxfixes3:i386"
  # 64-bit ARM Linux, cross-built against the arm64 architecture's libraries, run under qemu.
  [arm64]="g++-aarch64-linux-gnu qemu-user qemu-user-binfmt
    libgl-dev:arm64 libglu1-mesa-dev:arm64 libegl-dev:arm64 libegl-mesa0:arm64 libgl1-mesa-dri:arm64
    libglx-mesa0:arm64 libx11-dev:arm64 libfreetype-dev:arm64 libfontconfig-dev:arm64 libpng-dev:arm64
    libcairo2-dev:arm64"
  # The browser's build (icotool takes the page's icon from the Windows one).
  [web]="emscripten icoutils"
  # The page's tests and benchmark: Chromium, and npm for their tools (below).
  [browser]="chromium"
  # A display of its own for the savers, with input, screenshots and picture tools.
  [xvfb]="xvfb xdotool x11-apps x11-utils imagemagick"
  # The screen-saver daemons the Linux saver is tested under, and the tests' process tools.
  [daemons]="xscreensaver xscreensaver-gl mate-screensaver dbus-x11 procps time"
  # The Windows installer and zip, the Debian packages and their checks.
  [packaging]="nsis zip unzip dpkg-dev lintian desktop-file-utils"
  # make lint's analysers, and the fuzz preset's clang.
  [analysers]="clang clang-tidy cppcheck"
)

list= again="make deps"
[ "${1:-}" != --list ] || { list=1; shift; }
if [ $# -eq 0 ]; then set -- "${set_names[@]}"; elif [ $# -eq 1 ]; then again="make deps-$1"; else again="scripts/install-deps.sh $*"; fi
packages=()
for name; do
  [ -n "${sets[$name]:-}" ] || { echo "install-deps: unknown set \"$name\" (the sets: ${set_names[*]})" >&2; exit 2; }
  read -r -d '' -a more <<<"${sets[$name]}" || true
  packages+=("${more[@]}")
done
# Debian's npm conflicts with a node from elsewhere, which brings its own npm: it is asked for
# only where there is none.
[[ " $* " != *" browser "* ]] || command -v npm >/dev/null || packages+=(npm)
if [ -n "$list" ]; then printf '%s\n' "${packages[@]}"; exit 0; fi

RETRY="then run '$again' again"
fail() {
  echo "install-deps: $1; $RETRY" >&2
  exit 1
}
trap 'echo "install-deps: \"$BASH_COMMAND\" failed (line $LINENO); $RETRY" >&2' ERR

native=$(dpkg --print-architecture)

# The packages of the list not installed in their architecture (native where the name has
# none; an arch-independent package counts for every one), from one reading of dpkg's database.
list_missing() {
  local db
  db=$(dpkg-query -W -f='${Package} ${Architecture} ${Version} ${db:Status-Abbrev}\n') ||
    fail "dpkg-query cannot read dpkg's database"
  printf '%s\n' "${packages[@]}" | awk -v native="$native" -v db="$db" '
    BEGIN {
      n = split(db, lines, "\n")
      for (i = 1; i <= n; ++i) {
        split(lines[i], f, " ")
        if (substr(f[4], 2, 1) == "i") have[f[1] ":" f[2]] = 1
      }
    }
    {
      name = $0; arch = native
      if (index(name, ":")) { arch = substr(name, index(name, ":") + 1); name = substr(name, 1, index(name, ":") - 1) }
      if (!have[name ":" arch] && !have[name ":all"]) print $0
    }'
}

# (A function's exit inside $(...) ends only that subshell: its status is taken here.)
missing_text=$(list_missing) || exit 1
[ -n "$missing_text" ] || exit 0
mapfile -t missing <<<"$missing_text"
echo "install-deps: missing ${#missing[@]} of ${#packages[@]} packages: ${missing[*]}" >&2

if [ "$(id -u)" -eq 0 ]; then
  as_root() { "$@"; }
elif command -v sudo >/dev/null; then
  # sudo resets the environment; env carries debconf's setting through.
  as_root() { sudo env DEBIAN_FRONTEND=noninteractive "$@"; }
else
  fail "packages are missing and installing them needs root: run it as root or install sudo"
fi
export DEBIAN_FRONTEND=noninteractive
apt_get() { as_root apt-get -o DPkg::Lock::Timeout=900 "$@"; }

# An interrupted dpkg run makes every apt-get refuse until it is finished.
updates=${DPKG_ADMINDIR:-/var/lib/dpkg}/updates
if [ -n "$(ls -A "$updates" 2>/dev/null)" ] || [ -n "$(dpkg --audit 2>/dev/null)" ]; then
  echo "install-deps: finishing an interrupted dpkg run (dpkg --configure -a)" >&2
  as_root dpkg --configure -a || fail "dpkg --configure -a failed (exit $?)"
fi

# wine32 comes from the i386 archive, the arm64 build's libraries from the arm64 one: the
# architectures the sets asked for name.
for foreign in $(printf '%s\n' "${packages[@]}" | sed -n 's/.*:\([a-z0-9]*\)$/\1/p' | sort -u); do
  dpkg --print-foreign-architectures | grep -qx "$foreign" ||
    as_root dpkg --add-architecture "$foreign" || fail "dpkg --add-architecture $foreign failed"
done

apt_get update -q || fail "apt-get update failed (exit $?): check the network and the apt sources"

# The copies of a Multi-Arch: same library in two architectures must have one version. Where
# the archive has moved past an installed copy, the copy being added comes at the new version,
# so the installed one is upgraded in the same call. apt's plan names a package
# "Inst NAME[:ARCH] [OLD] (NEW SOURCES [ARCH])", without the ":ARCH" for the native one.
plan=$(apt-get install -s -q --no-install-recommends "${missing[@]}" 2>&1) ||
  fail "apt-get cannot plan the install: $(printf '%s\n' "$plan" | grep -m 1 '^E:' || printf '%s\n' "$plan" | tail -n 1)"
db=$(dpkg-query -W -f='${Package} ${Architecture} ${Version} ${db:Status-Abbrev}\n') ||
  fail "dpkg-query cannot read dpkg's database"
mapfile -t upgrades < <(printf '%s\n' "$plan" |
  sed -En 's/^Inst ([^ :]+)(:[a-z0-9]+)? (\[[^]]*\] )?\(([^ ]+) [^[]*\[([a-z0-9]+)\]\).*/\1 \5 \4/p' |
  awk -v db="$db" '
    BEGIN {
      n = split(db, lines, "\n")
      for (i = 1; i <= n; ++i) {
        split(lines[i], f, " ")
        if (substr(f[4], 2, 1) == "i" && f[2] != "all") copies[f[1]] = copies[f[1]] " " f[2] "=" f[3]
      }
    }
    $2 != "all" {
      k = split(copies[$1], c, " ")
      for (i = 1; i <= k; ++i) {
        split(c[i], av, "=")
        if (av[1] != $2 && av[2] != $3) print $1 ":" av[1]
      }
    }' | sort -u)

echo "install-deps: installing ${missing[*]} ${upgrades[*]}" >&2
apt_get install -y -q --no-install-recommends "${missing[@]}" "${upgrades[@]}" ||
  fail "apt-get install failed (exit $?): see apt's message above"

still=$(list_missing) || exit 1
[ -z "$still" ] || fail "apt-get reported success but these are still not installed: $(echo $still)"
