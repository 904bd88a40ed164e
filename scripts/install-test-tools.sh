#!/usr/bin/env bash
# Installs the browser tests' tools from npm (tests/web/package-lock.json) into build/npm, again
# only when the lock file has changed since; after that the tests need no network.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=$root/build/npm
key=$(cat "$root/tests/web/package.json" "$root/tests/web/package-lock.json" | sha256sum | cut -d' ' -f1)
if [ -d "$dir/node_modules" ] && [ "$(cat "$dir/lock.sha256" 2>/dev/null)" = "$key" ]; then
  exit 0
fi
command -v npm >/dev/null || { echo "install-test-tools: npm is missing; run 'make deps-browser' first" >&2; exit 1; }
echo "install-test-tools: installing the browser tests' tools from the lock file into $dir" >&2
rm -rf "$dir"
mkdir -p "$dir"
cp "$root/tests/web/package.json" "$root/tests/web/package-lock.json" "$dir"
# puppeteer-core drives Debian's chromium: no browser of its own is downloaded.
if ! (cd "$dir" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error); then
  rm -rf "$dir"
  echo "install-test-tools: npm ci failed (see npm's message above); check the network, then run 'make test-deps' again" >&2
  exit 1
fi
echo "$key" >"$dir/lock.sha256"
