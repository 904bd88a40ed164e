# Needlecast. `make` lists the targets; `make run` shows the saver, `make test` runs every test.
# Each target installs the Debian packages it uses first, where they are missing.
.PHONY: help run run-windows run-web web sim test lint package bench-wine bench-long deps test-deps build \
  build-linux build-asan build-win32 build-win64 build-arm64 build-web build-trace bench bench-web bench-cpu fuzz clean

# The targets, one line each (what follows "##" on a target's line), run and test first.
help:
	@awk -F ':.*## ' '/^[a-z0-9-]+:.*## / { line = sprintf("make %-12s %s", $$1, $$2) } \
	  line && ($$1 == "run" || $$1 == "test") { print line; line = "" } line { rest = rest line "\n"; line = "" } \
	  END { printf "%s", rest }' $(MAKEFILE_LIST)

JOBS ?= $(shell nproc)
# The other builds' needlecast-sim, as label=command, that the native build's
# sim_same_in_every_build compares with its own.
# The 32-bit builds' only where this machine runs 32-bit programs (asked once every package is
# there, when make test's recipe expands it).
OTHER_SIMS = linux-asan=$(CURDIR)/build/linux-asan/needlecast-sim;$\
  $(if $(shell scripts/runs-32bit && echo yes),win32=$(CURDIR)/scripts/wine-run $(CURDIR)/build/win32/needlecast-sim.exe;)$\
  win64=$(CURDIR)/scripts/wine-run $(CURDIR)/build/win64/needlecast-sim.exe;$\
  linux-arm64=/usr/bin/qemu-aarch64 -L / $(CURDIR)/build/linux-arm64/needlecast-sim;$\
  web=/usr/bin/node --no-experimental-fetch $(CURDIR)/build/web/needlecast-sim.js

# The packages come in sets (scripts/install-deps.sh names them): every target that builds or
# runs depends on the deps-SET targets of what it uses, so that under make -j nothing starts
# before its packages are there. One installer runs at a time (flock); a second then finds its
# packages there, or installs the rest. test-deps adds the browser tests' tools from npm.
SETS := native windows arm64 web browser xvfb daemons packaging analysers
DEPS_SETS := $(addprefix deps-,$(SETS))
.PHONY: $(DEPS_SETS)
install_deps = @mkdir -p build && flock build/.install-deps.lock bash scripts/install-deps.sh $(1)
$(DEPS_SETS): deps-%:
	$(call install_deps,$*)

deps: ## installs the packages of every set (make deps-native, deps-windows, ...: one set)
	$(call install_deps)

test-deps: deps-browser
	bash scripts/install-test-tools.sh

# $(call cmake_build,PRESET[,TARGETS[,CACHE SETTINGS]]): configures the preset and builds it,
# or only the targets named.
cmake_build = cmake --preset $(1) $(3) >/dev/null && cmake --build --preset $(1) -j $(JOBS) $(if $(2),--target $(2))

build-linux: deps-native ## the native build: saver, needlecast-sim, tests, benchmarks
	$(call cmake_build,linux)

build-asan: deps-native ## the native build under AddressSanitizer and UBSan
	$(call cmake_build,linux-asan)

build-win32: deps-native deps-windows ## the 32-bit Windows build
	$(call cmake_build,win32)

build-win64: deps-native deps-windows ## the 64-bit Windows build
	$(call cmake_build,win64)

# 64-bit ARM Linux, cross-built; its tests run under qemu.
build-arm64: deps-native deps-arm64 ## the 64-bit ARM Linux build
	$(call cmake_build,linux-arm64)

# The browser's build: the page (index.html, needlecast.js with the wasm inside it, the app's
# manifest, icons and service worker, in build/web/page),
# and the core's tests and needlecast-sim for node.
build-web: deps-native deps-web
	$(call cmake_build,web)

web: build-web ## the page, in build/web/page

build: build-win32 build-win64 build-arm64 build-web build-linux build-asan ## every build

# The native saver in a window on the current display. Without a display: a picture of
# the experiment after a simulated minute, drawn off screen, and its path. It builds these two
# programs only, with the native set only.
run: deps-native ## the native saver in a window (no display: a picture of it); native set only
	$(call cmake_build,linux,needlecast needlecast-sim)
	@if [ -n "$${DISPLAY:-}" ]; then \
	  ./build/linux/needlecast --window; \
	else \
	  mkdir -p build/pictures && \
	  ./build/linux/needlecast-sim --frames 3600 --png build/pictures/needlecast.png --size 1024x768 && \
	  echo "No display: the picture is at $(CURDIR)/build/pictures/needlecast.png"; \
	fi

# The 64-bit Windows saver full screen under Wine: on the current display, or on an Xvfb
# of its own with a screenshot after ten seconds.
run-windows: deps-xvfb build-win64 ## the 64-bit Windows saver under Wine
	scripts/wine-prefix
	scripts/run-saver

# The page, served on 127.0.0.1 (PORT, 8080 by default) until Ctrl-C.
PORT ?= 8080
run-web: web ## the page, served on http://127.0.0.1:8080/ (PORT=... for another port)
	@echo "Needlecast in the browser: http://127.0.0.1:$(PORT)/"
	python3 -m http.server $(PORT) --bind 127.0.0.1 --directory build/web/page

# Ten simulated minutes of the experiment, with a progress line every simulated minute.
sim: deps-native ## ten simulated minutes of the experiment, headless
	$(call cmake_build,linux,needlecast-sim)
	./build/linux/needlecast-sim --frames 36000 --every 3600

# Every suite: both Windows builds under Wine, the sanitizer build, the arm64 build under
# qemu, the browser's build (node and headless Chromium), then the native build (which also
# compares every build's runs).
test: deps test-deps build ## every build and every test (installs every set)
	scripts/wine-prefix
	cmake --preset linux -DNEEDLECAST_OTHER_SIMS="$(OTHER_SIMS)" >/dev/null
	@status=0; \
	for preset in win32 win64 linux-asan linux-arm64 web linux; do \
	  if [ $$preset = win32 ] && ! scripts/runs-32bit; then \
	    echo "== ctest win32: skipped, this machine cannot run 32-bit x86 programs"; continue; \
	  fi; \
	  echo "== ctest $$preset"; \
	  start=$$(date +%s); \
	  ctest --preset $$preset -j $(JOBS) || status=1; \
	  echo "== ctest $$preset: $$(($$(date +%s) - start)) s"; \
	done; \
	exit $$status

# clang-tidy and cppcheck over src/ (make test runs it too, as the native build's ctest
# test lint). It needs only the configured native build's compile_commands.json.
lint: deps-native deps-analysers ## clang-tidy and cppcheck over src/
	cmake --preset linux >/dev/null
	bash scripts/lint.sh build/linux

# One table of every figure that takes a few minutes to measure (bench/table.sh), also
# written as build/linux/bench/results.csv for a diff between two commits. The savers run
# BENCH_SAVER_SECONDS each; the long runs stay behind bench-long and bench/sim_day.sh.
BENCH_SAVER_SECONDS ?= 60
bench: deps test-deps build-web ## one table of the benchmarks' figures
	$(call cmake_build,linux,bench_update bench_draw needlecast needlecast-sim)
	$(call cmake_build,win64-trace,needlecast)
	bench/table.sh build/linux $(BENCH_SAVER_SECONDS)

# The page's time per frame at 2000 needles in headless Chromium on llvmpipe, beside the native
# renderer's on the same rasterizer, with their ratio; and the page on SwiftShader.
bench-web: test-deps build-web ## the page's frame time beside the native one
	$(call cmake_build,linux,bench_draw)
	bash bench/web_frame.sh

# The traced builds of the long runs: debug builds at -O2 that trace and stop at the first
# frame that leaves a GL error, natively and for 64-bit Windows (with the working-set sampler).
build-trace: deps-native deps-windows
	$(call cmake_build,linux-trace,needlecast)
	$(call cmake_build,win64-trace,needlecast working_set)

# The traced 64-bit saver under Wine for a minute at 1920x1080, with its frame rates.
bench-wine: deps-xvfb build-trace ## the traced Windows saver under Wine for a minute
	scripts/wine-prefix
	bench/saver_under_wine.sh build/win64-trace/needlecast.scr 65

# Long runs of both savers (30 minutes each by default: LONG_RUN_SECONDS), sampling their
# memory every minute.
LONG_RUN_SECONDS ?= 1800
bench-long: deps-xvfb build-trace ## both savers for 30 minutes each, their memory
	scripts/wine-prefix
	bench/long_run.sh linux $(LONG_RUN_SECONDS) 60
	bench/long_run.sh windows $(LONG_RUN_SECONDS) 60

# The native saver's cost on a 1920x1080 Xvfb: its frame rate, needles in flight and CPU
# seconds a minute (bench/saver_cpu.sh), two minutes by default: SAVER_CPU_SECONDS.
SAVER_CPU_SECONDS ?= 120
bench-cpu: deps-xvfb build-linux ## the native saver's frame rate and CPU time
	bench/saver_cpu.sh build/linux/needlecast $(SAVER_CPU_SECONDS)

# dist/: the Windows zip and installer, the Debian packages for amd64 and arm64, the page's
# zip, and SHA256SUMS of the five (sha256sum -c reads it). The same commit gives the same
# bytes: scripts/check-reproducible builds it twice in clean clones and compares.
VERSION := $(shell scripts/version)
package: deps-xvfb deps-packaging build-win32 build-win64 build-linux build-arm64 build-web ## dist/: every download
	bash scripts/package.sh
	bash scripts/package-deb.sh build/linux
	bash scripts/package-deb.sh build/linux-arm64
	bash scripts/package-web.sh
	cd dist && sha256sum needlecast-$(VERSION)-windows.zip needlecast-$(VERSION)-setup.exe \
	  needlecast_$(VERSION)_*.deb needlecast-$(VERSION)-web.zip >SHA256SUMS && cat SHA256SUMS

# libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer, on the four parsers (the
# Windows command line, the Linux saver's options, needlecast-sim's options, the page's URL)
# and needlecast-xscreensaver's list editor, built by
# the fuzz preset: ten million executions each, seeded from tests/corpus; what it finds
# stays in build/fuzz.
fuzz: deps-native deps-analysers ## libFuzzer on the parsers
	bash scripts/fuzz.sh -runs=10000000

clean: ## removes build/
	rm -rf build
