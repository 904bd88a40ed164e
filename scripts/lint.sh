#!/usr/bin/env bash
# Static analysis of our sources: clang-tidy (.clang-tidy) and cppcheck; any finding fails.
#
# Usage: scripts/lint.sh [BUILD_DIR]
#   BUILD_DIR: a configured native build with compile_commands.json (default build/linux).
# clang-tidy checks every file under src/ that the native build compiles, with that build's
# flags; files with NDEBUG branches are checked once more with NDEBUG undefined. cppcheck
# checks, for Linux, for both Windows builds (without windows.h) and for the browser, the
# files that build compiles (the Windows and browser builds are configured in a scratch
# folder for their lists), each in the release and the debug configuration.
# Environment: CLANG_TIDY, CPPCHECK (the programs), LINT_JOBS (parallel clang-tidy runs, 2).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/linux}
build=$(cd "$build" 2>/dev/null && pwd) || { echo "lint: no build folder ${1:-build/linux}" >&2; exit 2; }
jobs=${LINT_JOBS:-2}
start=$SECONDS

find_tool() {
  local name
  for name in "$@"; do
    if command -v "$name" >/dev/null 2>&1; then
      command -v "$name"
      return 0
    fi
  done
  return 1
}
clang_tidy=${CLANG_TIDY:-$(find_tool clang-tidy clang-tidy-14 || true)}
cppcheck=${CPPCHECK:-$(find_tool cppcheck || true)}
if [ -z "$clang_tidy" ] || [ -z "$cppcheck" ]; then
  echo "lint: clang-tidy and cppcheck are needed (scripts/install-deps.sh installs them)" >&2
  exit 2
fi

database=$build/compile_commands.json
if [ ! -f "$database" ]; then
  echo "lint: $database is missing; configure with CMAKE_EXPORT_COMPILE_COMMANDS=ON (the presets do)" >&2
  exit 2
fi

logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

# ---- clang-tidy

# Our .cpp files that a build compiles, from its compile_commands.json, in a fixed order;
# relative to the checkout.
build_files() {
  python3 - "$1" "$root" <<'EOF'
import json, os, sys
database, root = sys.argv[1], sys.argv[2]
src = os.path.join(root, "src") + os.sep
files = set()
for entry in json.load(open(database)):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(src) and path.endswith(".cpp"):
        files.add(os.path.relpath(path, root))
print("\n".join(sorted(files)))
EOF
}
mapfile -t tidy_files < <(build_files "$database")
if [ ${#tidy_files[@]} -eq 0 ]; then
  echo "lint: $database lists no file under $root/src" >&2
  exit 2
fi
# Of those, the ones with code that only the debug configuration compiles.
mapfile -t debug_files < <(cd "$root" && grep -l 'NDEBUG' "${tidy_files[@]}" || true)

# Findings in headers: only ours. The checkout's path, escaped for a regular expression.
root_re=$(printf '%s' "$root" | sed 's/[][\.*^$+?(){}|]/\\&/g')
export LINT_TIDY=$clang_tidy LINT_BUILD=$build LINT_LOGS=$logs LINT_HEADERS="^$root_re/src/"

# One file: its output in a log named after it and the configuration, and a .failed mark
# when clang-tidy reports a finding or cannot compile it.
tidy_one() {
  local config=$1 file=$2 log
  log=$LINT_LOGS/tidy.$config.${file//\//_}
  local extra=()
  if [ "$config" = debug ]; then
    extra=(--extra-arg=-UNDEBUG)
  fi
  if ! "$LINT_TIDY" -p "$LINT_BUILD" --quiet --header-filter="$LINT_HEADERS" "${extra[@]}" "$file" \
      >"$log" 2>&1; then
    touch "$log.failed"
  fi
}
export -f tidy_one

cd "$root"
{
  for f in "${tidy_files[@]}"; do printf 'release\0%s\0' "$f"; done
  for f in "${debug_files[@]}"; do printf 'debug\0%s\0' "$f"; done
} | xargs -0 -n 2 -P "$jobs" bash -c 'tidy_one "$@"' tidy_one

# Reports of the files that failed, in the order of the list.
tidy_failed=0
for config in release debug; do
  for f in "${tidy_files[@]}"; do
    log=$logs/tidy.$config.${f//\//_}
    if [ -e "$log.failed" ]; then
      tidy_failed=$((tidy_failed + 1))
      echo "== clang-tidy ($config): $f"
      grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" || true
    fi
  done
done
# A finding in a header shows once per file that includes it: count each once.
tidy_findings=$(cat "$logs"/tidy.* | { grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error): ' || true; } | sort -u | wc -l)
tidy_time=$((SECONDS - start))
echo "clang-tidy: ${#tidy_files[@]} files (${#debug_files[@]} also without NDEBUG), $tidy_findings findings, $tidy_failed failed runs, ${tidy_time} s"

# ---- cppcheck

cppcheck_start=$SECONDS
mapfile -t all_files < <(find src -name '*.cpp' | LC_ALL=C sort)
# Each platform's files are the ones its build compiles: the native build's, and those of
# the 64-bit Windows and the browser builds, configured here (tests left out).
configure() { # preset
  if ! (cd "$root" && cmake --preset "$1" -B "$logs/$1" -DNEEDLECAST_TESTS=OFF -DNEEDLECAST_BENCH=OFF) \
      >"$logs/configure.$1" 2>&1; then
    echo "lint: the $1 build does not configure:" >&2
    cat "$logs/configure.$1" >&2
    exit 2
  fi
}
configure win64
configure web
linux_files=("${tidy_files[@]}")
mapfile -t windows_files < <(build_files "$logs/win64/compile_commands.json")
# For the browser: the files only its build compiles, its host and clock (the shared ones
# are checked for Linux; emscripten's headers are system headers here).
mapfile -t web_files < <(build_files "$logs/web/compile_commands.json" |
  grep -v -x -F -f <(printf '%s\n' "${linux_files[@]}" "${windows_files[@]}"))
for f in "${all_files[@]}"; do
  case " ${linux_files[*]} ${windows_files[*]} ${web_files[*]} " in
    *" $f "*) ;;
    *) echo "lint: $f is compiled by none of the Linux, Windows and browser builds" >&2; exit 2 ;;
  esac
done

cppcheck_common=(
  --enable=warning,performance,portability,missingInclude
  --error-exitcode=1 --inline-suppr --std=c++17 --language=c++
  --suppress=missingIncludeSystem --quiet --template=gcc
  -I src -I "$build/generated" -D__GNUC__
)
linux_config=(--platform=unix64 --library=posix --library=opengl -U_WIN32 -D__linux__ -DNEEDLECAST_OFFSCREEN)
windows_config=(--library=windows --library=opengl -D_WIN32 -UNEEDLECAST_OFFSCREEN
                -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D__USE_MINGW_ANSI_STDIO=1)

cppcheck_failed=0
cppcheck_runs=0
run_cppcheck() {
  local name=$1
  shift
  cppcheck_runs=$((cppcheck_runs + 1))
  if ! "$cppcheck" "${cppcheck_common[@]}" "$@" >"$logs/cppcheck.$name" 2>&1; then
    cppcheck_failed=$((cppcheck_failed + 1))
    echo "== cppcheck ($name)"
    cat "$logs/cppcheck.$name"
  elif [ -s "$logs/cppcheck.$name" ]; then
    # A clean run says nothing; anything it printed is worth seeing.
    cat "$logs/cppcheck.$name"
  fi
}
for debug in -DNDEBUG -UNDEBUG; do
  suffix=release
  [ "$debug" = -UNDEBUG ] && suffix=debug
  run_cppcheck "linux-$suffix" "${linux_config[@]}" "$debug" "${linux_files[@]}"
  run_cppcheck "win32-$suffix" --platform=win32A "${windows_config[@]}" "$debug" "${windows_files[@]}"
  run_cppcheck "win64-$suffix" --platform=win64 "${windows_config[@]}" "$debug" "${windows_files[@]}"
  run_cppcheck "web-$suffix" --platform=unix32 --library=posix -U_WIN32 -D__EMSCRIPTEN__ "$debug" "${web_files[@]}"
done
cppcheck_findings=$(cat "$logs"/cppcheck.* | { grep -E '^[^ ].*:[0-9]+:[0-9]+: [a-z]+: ' || true; } | sort -u | wc -l)
echo "cppcheck: ${#all_files[@]} files (${#linux_files[@]} for Linux, ${#windows_files[@]} for Windows, ${#web_files[@]} for the browser) in $cppcheck_runs configurations, $cppcheck_findings findings, $cppcheck_failed failed runs, $((SECONDS - cppcheck_start)) s"

if [ "$tidy_failed" -ne 0 ] || [ "$cppcheck_failed" -ne 0 ]; then
  echo "lint: FAILED in $((SECONDS - start)) s"
  exit 1
fi
echo "lint: clean in $((SECONDS - start)) s"
