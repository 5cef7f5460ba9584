# make run · make test · make bench · make fuzz · make install · make package · make deps
# make windows · make test-windows · make screenshots
# A thin wrapper over CMake; every target first installs what is missing.
#   make test SANITIZE=1   the tests built with AddressSanitizer and
#                          UndefinedBehaviorSanitizer, in build-sanitize
#   make fuzz              each libFuzzer target for FUZZ_SECONDS (default 60)
#   make windows           the Windows build and its zip, in build-windows
#   make test-windows      the Windows build's tests, run under Wine
#   make screenshots       the README's pictures of the window, rendered offscreen
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

# Run-time options of the sanitized tests: every error stops the test with
# a stack trace. Leak checking stays on (no leaks are known, in our code or
# in Qt's offscreen platform).
SANITIZER_ENV =
ifeq ($(SANITIZE),1)
BUILD := build-sanitize
CMAKE_FLAGS += -DWMB_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
endif

.PHONY: all deps configure build test run bench fuzz install package windows test-windows screenshots clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && $(SANITIZER_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DWMB_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target editor_bench
	@scripts/run-bench build-bench

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DWMB_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@FUZZ_SECONDS=$(FUZZ_SECONDS) scripts/run-fuzz build-fuzz

install: build
	@cmake --install $(BUILD)

# A Debian package in $(BUILD): wmbeditor_VERSION_ARCH.deb
package: build
	@cd $(BUILD) && cpack -G DEB

# Cross-built with mingw-w64; Qt for Windows is built once into ~/.cache.
windows:
	@JOBS=$(JOBS) scripts/build-windows

test-windows:
	@JOBS=$(JOBS) scripts/test-windows

screenshots: configure
	@cmake --build $(BUILD) -j $(JOBS) --target wmbeditor-shot tileset demorom
	@scripts/make-screenshots $(BUILD)

clean:
	rm -rf build build-sanitize build-bench build-fuzz build-windows
