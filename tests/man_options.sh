#!/bin/bash
# Each program's usage, made from its option table, and its man page's OPTIONS section name the
# same options. Arguments: needlecast, needlecast-sim, then their man pages.
set -u
status=0

# The long options of a usage text, and of a man page's OPTIONS entries (.TP, then the name).
usage_options() { "$1" --help | grep -oE '^  --[a-z-]+' | sed 's/^  //' | sort; }
page_options() {
  awk '/^\.SH/ { inside = $2 == "OPTIONS" } inside && /^\.TP/ { getline; print }' "$1" |
    grep -oE '^\.B[IR]? +\\-\\-[a-z\\-]+' | sed -E 's/^\.B[IR]? +//; s/\\-/-/g' | sort
}

check() {
  local usage page
  usage=$(usage_options "$1")
  page=$(page_options "$2")
  if [ -n "$usage" ] && [ "$usage" = "$page" ]; then
    echo "ok: $(basename "$1") --help and $(basename "$2") name the same options"
  else
    echo "FAIL: $(basename "$1") --help (<) and $(basename "$2") (>) name different options:"
    diff <(echo "$usage") <(echo "$page")
    status=1
  fi
}

check "$1" "$3"
check "$2" "$4"
exit $status
