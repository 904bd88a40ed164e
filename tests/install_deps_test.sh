#!/usr/bin/env bash
# install-deps.sh against stand-in dpkg-query, dpkg, apt-get and sudo that keep a package
# database in files: what it asks apt-get for, its exit code and its last line, from a fresh
# machine through a second run, partial machines, failures, an interrupted dpkg, sudo and sets.
# Usage: install_deps_test.sh INSTALL_DEPS_SCRIPT
set -u
export LC_ALL=C
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
script=$1
bin=$work/bin state=$work/state
mkdir -p "$bin"
for tool in awk sed grep sort ls head tail cat env mv rm; do ln -s "$(command -v "$tool")" "$bin/$tool"; done

# The stand-ins, with @S@ for their state: db ("name arch version status" lines, the status as
# dpkg's two letters), foreign, archive ("name version", else 2), admin/updates, and the log.
stand_in() { sed "s#@S@#$state#g" >"$bin/$1" && chmod +x "$bin/$1"; }
stand_in dpkg-query <<'EOF'
#!/bin/bash
fmt='${binary:Package}\t${Version}\n' names=() rc=0
for a; do case $a in -W) ;; -f=*) fmt=${a#-f=} ;; *) names+=("$a") ;; esac; done
show() { # a db line, in the format
  local q=$1 full="unknown ok not-installed"; [[ $2 == amd64 || $2 == all ]] || q=$1:$2
  case $4 in ii) full="install ok installed" ;; i?) full="install ok half-configured" ;; esac
  local o=${fmt//'${Package}'/$1}; o=${o//'${binary:Package}'/$q}; o=${o//'${Architecture}'/$2}
  o=${o//'${Version}'/$3}; o=${o//'${db:Status-Abbrev}'/"$4 "}; printf '%b' "${o//'${Status}'/$full}"
}
[ ${#names[@]} -gt 0 ] || { while read -r l; do show $l; done <@S@/db; exit 0; }
for n in "${names[@]}"; do # without an architecture, any copy matches
  found=$(awk -v n="${n%%:*}" -v a="${n#*:}" -v any="$([[ $n == *:* ]] || echo 1)" '$1 == n && (any || $2 == a)' @S@/db)
  [ -n "$found" ] || { echo "dpkg-query: no packages found matching $n" >&2; rc=1; }
  [ -z "$found" ] || while read -r l; do show $l; done <<<"$found"
done
exit $rc
EOF
stand_in dpkg <<'EOF'
#!/bin/bash
case $1 in
  --print-architecture) echo amd64 ;;
  --print-foreign-architectures) cat @S@/foreign ;;
  --add-architecture) echo "dpkg $* uid=$(id -u)" >>@S@/log; echo "$2" >>@S@/foreign ;;
  --configure) echo "dpkg $* uid=$(id -u)" >>@S@/log; rm -f @S@/admin/updates/* ;;
esac
EOF
stand_in apt-get <<'EOF'
#!/bin/bash
echo "apt-get DEBIAN_FRONTEND=${DEBIAN_FRONTEND:-} uid=$(id -u) $*" >>@S@/log
verb= sim= pkgs=()
for a; do case $a in -s) sim=1 ;; -* | *::*) ;; update | install) verb=$a ;; *) pkgs+=("$a") ;; esac; done
[ "$verb" = update ] && exit ${FAKE_UPDATE_RC:-0}
[ -z "$sim" ] || [ ! -f @S@/plan-error ] || { cat @S@/plan-error; exit 100; }
[ -n "$sim" ] || [ -z "${FAKE_INSTALL_RC:-}" ] || { echo "E: Sub-process /usr/bin/dpkg returned an error code (1)" >&2; exit $FAKE_INSTALL_RC; }
for p in "${pkgs[@]}"; do
  a=amd64 && [[ $p == *:* ]] && a=${p#*:}
  v=$(awk -v n="${p%%:*}" '$1 == n { print $2 }' @S@/archive) && v=${v:-2}
  if [ -n "$sim" ]; then echo "Inst $p ($v Debian:12.8/stable, Debian-Security:12/stable-security [$a])"; continue; fi
  awk -v n="${p%%:*}" -v a="$a" '!($1 == n && $2 == a)' @S@/db >@S@/db.new
  echo "${p%%:*} $a $v ii" >>@S@/db.new && mv @S@/db.new @S@/db
done
EOF
# sudo as Debian's: the environment reset.
stand_in sudo <<<$'#!/bin/bash\necho "sudo $1" >>@S@/log\nexec env -i PATH="$PATH" "$@"'
stand_in id <<<$'#!/bin/bash\necho "${FAKE_UID:-0}"'

fresh() { rm -rf "$state" && mkdir -p "$state/admin/updates" && touch "$state/foreign" "$state/archive" &&
  printf 'bash amd64 5.2 ii\ngit amd64 2.39 ii\nnpm amd64 9.2 un\n' >"$state/db"; }
set_db() { # name arch version status: that copy replaced, or removed without a status
  { awk -v n="$1" -v a="$2" '!($1 == n && $2 == a)' "$state/db"; [ -z "${4:-}" ] || echo "$*"; } >"$state/new" && mv "$state/new" "$state/db"; }
run() { # [VAR=value...] [SET...]: the script, with the stand-ins only on PATH
  local vars=(); while [[ ${1:-} == *=* ]]; do vars+=("$1"); shift; done
  : >"$state/log" && env PATH="$bin" DPKG_ADMINDIR="$state/admin" "${vars[@]}" /bin/bash "$script" "$@" >"$work/out" 2>"$work/err"
  rc=$?
  asked=$(grep ' install -y ' "$state/log" | sed 's/.* --no-install-recommends //' | tr ' ' '\n' | sort | tr '\n' ' ')
  last=$(tail -n 1 "$work/err")
}
has() { grep -q -- "$1" "$state/log"; }

# A fresh machine: both foreign architectures added, the lists updated, every package asked
# for as root (npm too, which the machine lacks), with the native and the foreign copies.
fresh && run && count=$(wc -w <<<"$asked")
[ $rc -eq 0 ] && has 'dpkg --add-architecture i386' && has 'dpkg --add-architecture arm64' &&
  [ "$(grep -c 'apt-get.* update' "$state/log")" = 1 ] && has 'DEBIAN_FRONTEND=noninteractive uid=0 .* install -y' &&
  [[ " $asked" == *" libpng-dev libpng-dev:arm64 "* && " $asked" == *" npm "* && " $asked" == *" wine32:i386 "* ]] &&
  ! grep -q 'FAILED\|failed' "$work/err"
check "fresh machine: everything installed, exit $rc, $count packages" $?
all=$(cat "$state/db")

# A second run: nothing asked for, nothing said, no root needed.
run FAKE_UID=1000
[ $rc -eq 0 ] && [ ! -s "$state/log" ] && [ ! -s "$work/err" ]
check "second run: nothing to do, exit $rc" $?

# A machine with npm of its own: npm is not asked for.
ln -s /bin/true "$bin/npm" && set_db npm amd64 9.2 un && run
[ $rc -eq 0 ] && [ ! -s "$state/log" ]
check "a node with its own npm: Debian's npm not asked for, exit $rc" $?
rm "$bin/npm"

# Only the foreign copy of a library: the native one is asked for, alone; and where the foreign
# copy is older than the archive's, it comes along to the same version.
for old in 2 1; do
  echo "$all" >"$state/db" && set_db libpng-dev amd64 && set_db libpng-dev arm64 "$old" ii && run
  want="libpng-dev "; [ $old = 2 ] || want="libpng-dev libpng-dev:arm64 "
  [ $rc -eq 0 ] && [ "$asked" = "$want" ]
  check "only libpng-dev:arm64 (version $old) installed: asked for '$asked', exit $rc" $?
done

# A half-configured package after an interrupted dpkg: dpkg --configure -a first.
echo "$all" >"$state/db" && set_db cmake amd64 2 iF && touch "$state/admin/updates/0001" && run
[ $rc -eq 0 ] && [ "$asked" = "cmake " ] && head -n 1 "$state/log" | grep -q 'dpkg --configure -a uid=0'
check "interrupted dpkg: finished first, then cmake asked for, exit $rc" $?

# A user with sudo: every change through sudo, and debconf told not to ask through it.
fresh && run FAKE_UID=1000
[ $rc -eq 0 ] && has 'dpkg --add-architecture i386 uid=0' && has 'DEBIAN_FRONTEND=noninteractive uid=0 .* update' &&
  has 'DEBIAN_FRONTEND=noninteractive uid=0 .* install -y' && [ -n "$asked" ]
check "a user with sudo: installed through sudo, noninteractive, exit $rc" $?
# Failures: each ends in one line that names the step and says how to retry.
while IFS='|' read -r what setup env installs want again; do
  # shellcheck disable=SC2086
  fresh && eval "$setup" && run $env
  [ $rc -eq 1 ] && [ "$(grep -c ' install -y ' "$state/log")" = "$installs" ] && [[ $last == "install-deps: "$want*"; then run '$again' again" ]] &&
    [ "$(grep -c '^install-deps: .*again' "$work/err")" = 1 ]
  check "$what: exit $rc, '$last'" $?
done <<'EOF'
a failing install||FAKE_INSTALL_RC=100|1|apt-get install failed (exit 100)|make deps
a failing update||FAKE_UPDATE_RC=100|0|apt-get update failed (exit 100)|make deps
a failing plan|echo 'E: Unable to locate package chromium' >"$state/plan-error"||0|apt-get cannot plan the install: E: Unable to locate package chromium|make deps
a failing install of one set||FAKE_INSTALL_RC=100 native|1|apt-get install failed (exit 100)|make deps-native
EOF

# Sets on a fresh machine: their packages and the architectures they name, nothing else.
while IFS='|' read -r sets want unwanted arches; do
  # shellcheck disable=SC2086
  fresh && run $sets && count=$(wc -w <<<"$asked")
  added=$(sed -n 's/^dpkg --add-architecture \([a-z0-9]*\).*/\1/p' "$state/log" | paste -sd ' ' -)
  ok=$([ $rc -eq 0 ] && echo 1)
  for p in $want; do [[ " $asked" == *" $p "* ]] || ok=; done
  for p in $unwanted; do [[ " $asked" != *" $p "* ]] || ok=; done
  [ -n "$ok" ] && [ "$added" = "$arches" ]
  check "sets '$sets': exit $rc, $count packages, architectures added '$added'" $?
done <<'EOF'
native|cmake libgtest-dev libegl-mesa0|wine wine32:i386 libpng-dev:arm64 chromium npm emscripten|
windows native|cmake wine32:i386 g++-mingw-w64-i686-posix|chromium libpng-dev:arm64|i386
browser|chromium npm|cmake wine|
EOF
fresh && run native nonsense
[ $rc -eq 2 ] && [ ! -s "$state/log" ] && [ "$(wc -l <"$work/err")" = 1 ] && [[ $last == 'install-deps: unknown set "nonsense"'* ]]
check "an unknown set: nothing done, exit $rc, '$last'" $?
finish
