#!/usr/bin/env bash
# The Debian package: builds it with scripts/package-deb.sh, checks its files, fields and lint,
# then installs and removes it in throw-away dpkg roots, with and without its dependencies.
# Usage: deb_test.sh BUILD_DIR NEEDLECAST NEEDLECAST_SIM   (the programs of that build)
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$1
built_saver=$2
built_sim=$3
version=1.0
arch=$(dpkg --print-architecture)
deb=$root/dist/needlecast_${version}_${arch}.deb
sources=$root/packaging/linux
saver_path=usr/libexec/xscreensaver/needlecast
sim_path=usr/bin/needlecast-sim
maintainer='The Needlecast developers <needlecast@needlecast.invalid>'

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passes=0
failures=0
check() { # name, status
  if [ "$2" -eq 0 ]; then passes=$((passes + 1)); echo "ok: $1"; else failures=$((failures + 1)); echo "FAILED: $1"; fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
  exit
}

# Every file of the package with its mode; the directories above them come with them.
expected_files="-rwxr-xr-x $sim_path
-rwxr-xr-x $saver_path
-rw-r--r-- usr/share/applications/screensavers/needlecast.desktop
-rw-r--r-- usr/share/doc/needlecast/changelog.gz
-rw-r--r-- usr/share/doc/needlecast/copyright
-rw-r--r-- usr/share/man/man1/needlecast-sim.1.gz
-rw-r--r-- usr/share/man/man6/needlecast.6.gz
-rw-r--r-- usr/share/xscreensaver/config/needlecast.xml"

# ---- The build: a fresh package, not one left from an earlier run.
rm -f "$deb"
bash "$root/scripts/package-deb.sh" "$build" >"$work/package.log" 2>&1
status=$?
[ "$status" -eq 0 ] && [ -f "$deb" ]
check "package-deb.sh makes dist/${deb##*/}" $?
if [ "$status" -ne 0 ] || [ ! -f "$deb" ]; then
  cat "$work/package.log"
  finish
fi
echo "${deb##*/}: $(stat -c %s "$deb") bytes"

# ---- Contents: exactly the expected files and their directories, modes, root's.
{
  echo "$expected_files" | awk '{ print $1 " root/root ./" $2 }'
  echo "$expected_files" | awk '{ print $2 }' | while read -r path; do
    dir=${path%/*}
    while [ "$dir" != "$path" ] && [ -n "$dir" ]; do
      echo "drwxr-xr-x root/root ./$dir/"
      path=$dir
      dir=${dir%/*}
    done
  done
} | sort -u -k3 >"$work/expected.list"
dpkg-deb -c "$deb" | awk '{ print $1 " " $2 " " $6 }' | sort -k3 >"$work/actual.list"
diff -u "$work/expected.list" "$work/actual.list"
check "the package holds exactly the expected files, with their modes, owned by root" $?

# ---- The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = needlecast ] && [ "$(field Version)" = "$version" ] &&
  [ "$(field Architecture)" = "$arch" ]
check "Package needlecast, Version $version, Architecture $arch" $?
[ "$(field Section)" = x11 ] && [ "$(field Priority)" = optional ] && [ "$(field Maintainer)" = "$maintainer" ]
check "Section x11, Priority optional, the maintainer" $?
description=$(field Description)
summary=$(echo "$description" | head -n 1)
[ -n "$summary" ] && [ ${#summary} -le 80 ] && [ "$(echo "$description" | wc -l)" -ge 4 ] &&
  echo "$description" | grep -q "Buffon's needle" && echo "$description" | grep -q 'pi = 2 \* n / c'
check "a summary line and a long description of the experiment" $?
[ "$(field Installed-Size)" -gt 0 ] 2>/dev/null
check "an Installed-Size" $?

# The package names a relation field lists, alternatives included, one a line.
names() { field "$1" | tr ',|' '\n\n' | sed -e 's/(.*)//' -e 's/[[:space:]]//g' -e 's/:.*//' | grep -v '^$' | sort -u; }
names Depends >"$work/depends"
missing_depends=""
for package in libc6 libstdc++6 libgcc-s1 libx11-6 libglu1-mesa libegl1 libfreetype6 libfontconfig1 libpng16-16; do
  grep -qx "$package" "$work/depends" || missing_depends="$missing_depends $package"
done
# OpenGL itself: the whole of libGL, or GLVND's GLX and OpenGL libraries.
if ! grep -qx libgl1 "$work/depends"; then
  for package in libglx0 libopengl0; do
    grep -qx "$package" "$work/depends" || missing_depends="$missing_depends $package"
  done
fi
[ -z "$missing_depends" ]
check "Depends names the C/C++ runtimes, X11, GL, GLU, EGL, FreeType, fontconfig and libpng (missing:${missing_depends:- none})" $?
grep -q '(>= ' <<<"$(field Depends)"
check "Depends carries minimum versions from the linked symbols" $?
names Recommends >"$work/recommends"
grep -qx fonts-liberation "$work/recommends" && grep -qx xscreensaver "$work/recommends"
check "Recommends fonts-liberation and xscreensaver" $?

# ---- The files as packed.
unpacked=$work/unpacked
mkdir "$unpacked"
dpkg-deb -x "$deb" "$unpacked"
for name in needlecast.xml needlecast.desktop copyright; do
  case $name in
    *.xml) packed=$unpacked/usr/share/xscreensaver/config/$name ;;
    *.desktop) packed=$unpacked/usr/share/applications/screensavers/$name ;;
    copyright) packed=$unpacked/usr/share/doc/needlecast/copyright ;;
  esac
  cmp -s "$sources/$name" "$packed"
  check "$name is packaged as written" $?
done
for pair in changelog:usr/share/doc/needlecast/changelog.gz needlecast.6:usr/share/man/man6/needlecast.6.gz \
            needlecast-sim.1:usr/share/man/man1/needlecast-sim.1.gz; do
  name=${pair%%:*}
  packed=$unpacked/${pair#*:}
  # gzip -9n: the same bytes every time, no file name, no time stamp (bytes 4-7 zero).
  gzip -9n -c "$sources/$name" | cmp -s - "$packed" &&
    [ "$(od -An -tu1 -j3 -N5 "$packed" | tr -s ' ')" = " 0 0 0 0 0" ]
  check "${pair#*:} is $name through gzip -9n, with no name or time stamp" $?
done

# The programs: stripped of symbols and of the .comment section, and still the programs built.
for path in "$saver_path" "$sim_path"; do
  sections=$(readelf -S -W "$unpacked/$path" 2>/dev/null)
  [ -n "$sections" ] && ! grep -Eq '\.(symtab|comment|debug_[a-z]+)( |$)' <<<"$sections"
  check "$path is stripped (no .symtab, .comment or debug sections)" $?
done

# The copyright file: machine-readable, and the licence text is LICENSE's.
copyright=$unpacked/usr/share/doc/needlecast/copyright
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" &&
  grep -qx 'Files: \*' "$copyright" && grep -qx 'License: Expat' "$copyright"
check "copyright is in the machine-readable format, Expat licence" $?
holder=$(sed -n 's/^Copyright (c) //p' "$root/LICENSE")
grep -qx "Copyright: $holder" "$copyright"
check "copyright names LICENSE's holder ($holder)" $?
awk '/^License: Expat$/ { n++; next } n == 2' "$copyright" | sed -e 's/^ //' -e 's/^\.$//' >"$work/licence"
sed -n '/^Permission is hereby granted/,$p' "$root/LICENSE" | cmp -s - "$work/licence"
check "copyright carries LICENSE's text" $?

# The changelog: its newest entry is this version, by the maintainer.
zcat "$unpacked/usr/share/doc/needlecast/changelog.gz" >"$work/changelog"
[ "$(dpkg-parsechangelog -l "$work/changelog" -S Source 2>/dev/null)" = needlecast ] &&
  [ "$(dpkg-parsechangelog -l "$work/changelog" -S Version 2>/dev/null)" = "$version" ] &&
  [ "$(dpkg-parsechangelog -l "$work/changelog" -S Maintainer 2>/dev/null)" = "$maintainer" ]
check "the changelog's newest entry is needlecast $version by the maintainer" $?

# The manual pages format without a warning.
if command -v man >/dev/null; then
  for page in usr/share/man/man6/needlecast.6.gz usr/share/man/man1/needlecast-sim.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$unpacked/$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] && [ -n "$(man -l "$unpacked/$page" 2>/dev/null | grep -A1 '^NAME')" ]
    check "$page formats cleanly, with a NAME section" $?
    [ -n "$warnings" ] && echo "$warnings"
  done
else
  echo "note: man is not installed; the manual pages were not formatted"
fi

# ---- The settings entry: well-formed, plain ASCII as its ISO-8859-1 header allows, the
# hack's name and label, --root from the command element, the frame-rate switch.
xml=$unpacked/usr/share/xscreensaver/config/needlecast.xml
python3 - "$xml" >"$work/xml_args" <<'EOF'
import sys
import xml.etree.ElementTree as ET
data = open(sys.argv[1], "rb").read()
if any(b >= 128 for b in data):
    sys.exit("not plain ASCII")
root = ET.fromstring(data)
if root.tag != "screensaver" or root.get("name") != "needlecast" or root.get("_label") != "Needlecast":
    sys.exit("the root element is not <screensaver name=needlecast _label=Needlecast>")
commands = [c.get("arg") for c in root.findall("command")]
if commands != ["--root"]:
    sys.exit("the command element is not --root: %r" % commands)
fps = [b for b in root.iter("boolean") if b.get("id") == "showfps"]
if len(fps) != 1 or fps[0].get("arg-set") != "--fps" or fps[0].get("_label") != "Show frame rate":
    sys.exit("no showfps boolean with arg-set --fps")
description = root.find("_description")
text = " ".join((description.text or "").split()) if description is not None else ""
for words in ("Buffon's needle", "pane", "cross a line", "pi = 2 * n / c"):
    if words not in text:
        sys.exit("the description lacks %r" % words)
if root.find("xscreensaver-updater") is None:
    sys.exit("no xscreensaver-updater element")
# Every argument the settings can put on the command line, one a line.
for arg in commands + [b.get("arg-set") for b in root.iter("boolean")]:
    print(arg)
EOF
check "needlecast.xml is well-formed ASCII with the hack's name, --root, the fps switch, a description" $?

# ---- The desktop entry.
desktop=$unpacked/usr/share/applications/screensavers/needlecast.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Type)" = Application ] && [ "$(entry Name)" = Needlecast ] && [ -n "$(entry Comment)" ] &&
  [ "$(entry Exec)" = "/$saver_path --root" ] && [ "$(entry TryExec)" = "/$saver_path" ] &&
  entry Categories | tr ';' '\n' | grep -qx Screensaver
check "the desktop entry runs /$saver_path --root, in the Screensaver category" $?
if command -v desktop-file-validate >/dev/null; then
  output=$(desktop-file-validate "$desktop" 2>&1)
  status=$?
  [ "$status" -eq 0 ] && ! grep -Eq 'error:|warning:' <<<"$output"
  check "desktop-file-validate passes the desktop entry" $?
  [ -n "$output" ] && echo "$output"
else
  echo "note: desktop-file-validate is not installed; the desktop entry was not validated"
fi

# ---- lintian: no error and no warning.
if command -v lintian >/dev/null; then
  output=$(lintian --fail-on error,warning "$deb" 2>&1)
  status=$?
  [ "$status" -eq 0 ] && ! grep -Eq '^[EW]: ' <<<"$output"
  check "lintian reports no error or warning" $?
  grep -E '^[EWIPX]: ' <<<"$output"
else
  echo "note: lintian is not installed; the package was not linted"
fi

# ---- Installs and removals in dpkg roots of their own. Each root starts from this machine's
# package database (status, file lists, architectures), so the package's dependencies are
# checked against what is installed here. It holds no trigger interests, so no other
# package's scripts run.
if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v fakeroot >/dev/null; then
  as_root=(fakeroot)
else
  check "root or fakeroot for dpkg --root" 1
  finish
fi
new_root() { # dir [drop PACKAGE | version PACKAGE VERSION]: this machine's status, or it changed
  mkdir -p "$1/var/lib/dpkg/info" "$1/var/lib/dpkg/updates" "$1/var/lib/dpkg/triggers"
  for file in arch diversions statoverride; do
    [ -f "/var/lib/dpkg/$file" ] && cp "/var/lib/dpkg/$file" "$1/var/lib/dpkg/"
  done
  cp /var/lib/dpkg/info/*.list "$1/var/lib/dpkg/info/"
  # Not this package, should this machine have it installed.
  rm -f "$1"/var/lib/dpkg/info/needlecast.*
  python3 - /var/lib/dpkg/status "$1/var/lib/dpkg/status" "$arch" "${2:-}" "${3:-}" "${4:-}" <<'EOF'
import re
import sys
source, target, arch, action, package, version = sys.argv[1:7]
kept = []
for stanza in open(source).read().split("\n\n"):
    if not stanza.strip():
        continue
    fields = dict(re.findall(r"^([A-Za-z-]+): ?(.*)$", stanza, re.M))
    if fields.get("Package") == "needlecast":
        continue
    if action and fields.get("Package") == package and fields.get("Architecture") == arch:
        if action == "drop":
            continue
        stanza = re.sub(r"(?m)^Version: .*$", "Version: " + version, stanza)
    kept.append(stanza)
open(target, "w").write("\n\n".join(kept) + "\n")
EOF
}
in_root() { # dir, dpkg arguments...
  local dir=$1
  shift
  "${as_root[@]}" dpkg --root="$dir" --log=/dev/null --force-not-root --force-script-chrootless "$@"
}
package_status() { dpkg --root="$1" -s needlecast 2>/dev/null | sed -n 's/^Status: //p'; }
# Whatever is left in a root besides the package database: files, links, anything but directories.
leftovers() { find "$1" -path "$1/var/lib/dpkg" -prune -o ! -type d -print; }

# The whole round: install, use, remove, purge.
R=$work/root
new_root "$R"
in_root "$R" -i "$deb" >"$work/install.log" 2>&1
status=$?
[ "$status" -eq 0 ] && [ "$(package_status "$R")" = "install ok installed" ]
check "dpkg -i installs it into a root with this machine's packages" $?
[ "$status" -eq 0 ] || cat "$work/install.log"
(cd "$unpacked" && find . ! -type d | sort) >"$work/unpacked_files"
all_same=0
while read -r mode path; do
  want=$(stat -c %A "$unpacked/$path")
  [ -f "$R/$path" ] && [ "$(stat -c %A "$R/$path")" = "$mode" ] && [ "$want" = "$mode" ] &&
    cmp -s "$unpacked/$path" "$R/$path" || { echo "  /$path: missing, changed or mode $(stat -c %A "$R/$path" 2>/dev/null)"; all_same=1; }
done <<<"$expected_files"
check "every file landed under the root with its mode and bytes" $all_same
dpkg --root="$R" -L needlecast | while read -r path; do [ -f "$R$path" ] && echo ".$path"; done | sort >"$work/listed"
cmp -s "$work/unpacked_files" "$work/listed"
check "dpkg -L lists exactly the package's files" $?
verify=$(dpkg --root="$R" --verify needlecast 2>&1)
[ $? -eq 0 ] && [ -z "$verify" ]
check "dpkg --verify finds every file as its md5sums say" $?

# The installed programs run, and do what the programs built do.
sim_args=(--seed 20261206 --frames 600 --interval 0.016)
installed_sim=$("$R/$sim_path" "${sim_args[@]}" 2>&1)
status=$?
[ "$status" -eq 0 ] && [ -n "$installed_sim" ] && [ "$installed_sim" = "$("$built_sim" "${sim_args[@]}" 2>&1)" ]
check "the installed needlecast-sim prints what the built one prints" $?
installed_help=$("$R/$saver_path" --help 2>&1)
status=$?
[ "$status" -eq 0 ] && grep -q '^usage: needlecast' <<<"$installed_help" && [ "$installed_help" = "$("$built_saver" --help 2>&1)" ]
check "the installed needlecast --help prints the built one's usage" $?
mapfile -t xml_args <"$work/xml_args"
[ "${#xml_args[@]}" -gt 0 ] && "$R/$saver_path" "${xml_args[@]}" --help >/dev/null 2>&1
check "the installed needlecast takes the settings' arguments (${xml_args[*]})" $?

# Every library the programs load by name comes from a package that Depends names.
unlisted=""
for path in "$saver_path" "$sim_path"; do
  libraries=$(ldd "$R/$path")
  for needed in $(readelf -d "$R/$path" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    file=$(awk -v lib="$needed" '$1 == lib && $2 == "=>" { print $3 }' <<<"$libraries")
    owner=""
    for candidate in "$file" "/usr$file" "${file#/usr}"; do
      [ -n "$candidate" ] && owner=$(dpkg -S "$candidate" 2>/dev/null | head -n 1 | sed -e 's/: .*//' -e 's/:.*//') && [ -n "$owner" ] && break
    done
    if [ -z "$owner" ] || ! grep -qx "$owner" "$work/depends"; then
      unlisted="$unlisted $needed(${owner:-no package})"
    fi
  done
done
[ -z "$unlisted" ]
check "Depends covers every library the programs link (not covered:${unlisted:- none})" $?

in_root "$R" -r needlecast >"$work/remove.log" 2>&1
status=$?
[ "$status" -eq 0 ] && [ -z "$(package_status "$R")" ] && [ -z "$(leftovers "$R")" ]
check "dpkg -r removes it and leaves no file behind" $?
[ "$status" -eq 0 ] || cat "$work/remove.log"
leftovers "$R"
in_root "$R" -P needlecast >/dev/null 2>&1
[ $? -eq 0 ] && [ -z "$(package_status "$R")" ] && [ -z "$(ls "$R/var/lib/dpkg/info" | grep '^needlecast\.')" ] &&
  [ -z "$(leftovers "$R")" ]
check "dpkg -P then leaves no trace in the package database either" $?

# A dependency that is not installed: dpkg unpacks, refuses to configure, names it.
R=$work/root-no-x11
new_root "$R" drop libx11-6
in_root "$R" -i "$deb" >"$work/install.log" 2>&1
status=$?
[ "$status" -ne 0 ] && grep -q 'needlecast depends on libx11-6' "$work/install.log" &&
  [ "$(package_status "$R")" = "install ok unpacked" ]
check "without libx11-6 the install stops short of configuring, naming libx11-6" $?
in_root "$R" -P needlecast >/dev/null 2>&1
[ $? -eq 0 ] && [ -z "$(package_status "$R")" ] && [ -z "$(leftovers "$R")" ]
check "the half-installed package purges without a trace" $?

# A dependency that is too old: the minimum versions are checked too.
R=$work/root-old-libc
new_root "$R" version libc6 2.19-18
in_root "$R" -i "$deb" >"$work/install.log" 2>&1
status=$?
[ "$status" -ne 0 ] && grep -q 'needlecast depends on libc6 (>= ' "$work/install.log" &&
  [ "$(package_status "$R")" != "install ok installed" ]
check "with a libc6 older than the programs need, the install fails, naming libc6" $?
[ "$status" -ne 0 ] || cat "$work/install.log"

finish
