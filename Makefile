# Needlecast: `make run` runs the main job, `make test` runs every test. Both install
# the Debian packages they need first.
.PHONY: run run-windows sim test lint package bench-wine bench-long deps build build-linux build-asan build-win32 \
  build-win64 build-trace bench bench-cpu fuzz clean

JOBS ?= $(shell nproc)
CROSS_SIMS := $(CURDIR)/build/win32/needlecast-sim.exe;$(CURDIR)/build/win64/needlecast-sim.exe

deps:
	bash scripts/install-deps.sh

build-linux:
	cmake --preset linux -DNEEDLECAST_CROSS_SIMS="$(CROSS_SIMS)" >/dev/null
	cmake --build --preset linux -j $(JOBS)

build-asan:
	cmake --preset linux-asan >/dev/null
	cmake --build --preset linux-asan -j $(JOBS)

build-win32:
	cmake --preset win32 >/dev/null
	cmake --build --preset win32 -j $(JOBS)

build-win64:
	cmake --preset win64 >/dev/null
	cmake --build --preset win64 -j $(JOBS)

build: build-win32 build-win64 build-linux build-asan

# The native saver in a window on the current display. Without a display: a picture of
# the experiment after a simulated minute, drawn off screen, and its path.
run: deps build-linux
	@if [ -n "$${DISPLAY:-}" ]; then \
	  ./build/linux/needlecast --window; \
	else \
	  mkdir -p build/pictures && \
	  ./build/linux/needlecast-sim --frames 3600 --png build/pictures/needlecast.png --size 1024x768 && \
	  echo "No display: the picture is at $(CURDIR)/build/pictures/needlecast.png"; \
	fi

# The 64-bit Windows saver full screen under Wine: on the current display, or on an Xvfb
# of its own with a screenshot after ten seconds.
run-windows: deps build-win64
	scripts/wine-prefix
	scripts/run-saver

# Ten simulated minutes of the experiment, with a progress line every simulated minute.
sim: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS) --target needlecast-sim
	./build/linux/needlecast-sim --frames 36000 --every 3600

# Every suite: both Windows builds under Wine, the sanitizer build, then the native build
# (which also compares the three builds' runs).
test: deps build
	scripts/wine-prefix
	@status=0; \
	for preset in win32 win64 linux-asan linux; do \
	  echo "== ctest $$preset"; \
	  ctest --preset $$preset -j $(JOBS) || status=1; \
	done; \
	exit $$status

# clang-tidy and cppcheck over src/ (make test runs it too, as the native build's ctest
# test lint). It needs only the configured native build's compile_commands.json.
lint: deps
	cmake --preset linux -DNEEDLECAST_CROSS_SIMS="$(CROSS_SIMS)" >/dev/null
	bash scripts/lint.sh build/linux

bench: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux -j $(JOBS) --target bench_update bench_draw
	./build/linux/bench/bench_update
	./build/linux/bench/bench_draw

# The traced builds of the long runs: debug builds at -O2 that trace and stop at the first
# frame that leaves a GL error, natively and for 64-bit Windows (with the working-set sampler).
build-trace: deps
	cmake --preset linux-trace >/dev/null
	cmake --build --preset linux-trace -j $(JOBS) --target needlecast
	cmake --preset win64-trace >/dev/null
	cmake --build --preset win64-trace -j $(JOBS) --target needlecast working_set

# The traced 64-bit saver under Wine for a minute at 1920x1080, with its frame rates.
bench-wine: build-trace
	scripts/wine-prefix
	bench/saver_under_wine.sh build/win64-trace/needlecast.scr 65

# Long runs of both savers (30 minutes each by default: LONG_RUN_SECONDS), sampling their
# memory every minute.
LONG_RUN_SECONDS ?= 1800
bench-long: build-trace
	scripts/wine-prefix
	bench/long_run.sh linux $(LONG_RUN_SECONDS) 60
	bench/long_run.sh windows $(LONG_RUN_SECONDS) 60

# The native saver's cost on a 1920x1080 Xvfb: its frame rate, needles in flight and CPU
# seconds a minute (bench/saver_cpu.sh), two minutes by default: SAVER_CPU_SECONDS.
SAVER_CPU_SECONDS ?= 120
bench-cpu: deps build-linux
	bench/saver_cpu.sh build/linux/needlecast $(SAVER_CPU_SECONDS)

# dist/: the Windows zip and installer, the Debian package, and SHA256SUMS of the three
# (sha256sum -c reads it). The same commit gives the same bytes: scripts/check-reproducible
# builds it twice in clean clones and compares.
VERSION := $(shell scripts/version)
package: deps build-win32 build-win64 build-linux
	bash scripts/package.sh
	bash scripts/package-deb.sh
	cd dist && sha256sum needlecast-$(VERSION)-windows.zip needlecast-$(VERSION)-setup.exe \
	  needlecast_$(VERSION)_*.deb >SHA256SUMS && cat SHA256SUMS

# libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer, on the three parsers
# (the Windows command line, the Linux saver's options, needlecast-sim's options), built by
# the fuzz preset: ten million executions each, seeded from tests/corpus; what it finds
# stays in build/fuzz.
fuzz: deps
	bash scripts/fuzz.sh -runs=10000000

clean:
	rm -rf build
