# make run · make test · make bench · make install · make deps
# A thin wrapper over CMake; every target first installs what is missing.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

ifeq ($(SANITIZE),1)
BUILD := build-sanitize
CMAKE_FLAGS += -DWMB_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
endif

.PHONY: all deps configure build test run bench install clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DWMB_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@scripts/run-bench build-bench

install: build
	@cmake --install $(BUILD)

clean:
	rm -rf build build-sanitize build-bench
