# Two set-up commands for a fresh machine (see README.md):
#   make demo   installs dependencies, builds, installs the plug-ins, renders a demonstration
#   make test   installs dependencies, builds in Release and runs the whole test suite
# Further targets: make build, make bench, make artwork, make clean.

BUILD_DIR ?= build
CONFIG    ?= Release
JOBS      ?= $(shell nproc)
# ccache keeps its cache outside the work tree, shared by every clone and by CI.
export CCACHE_DIR ?= $(HOME)/.cache/vantrel-ccache
export CCACHE_MAXSIZE ?= 5G
# Paths relative to the checkout, so that every clone shares cache entries.
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= true

CMAKE_FLAGS ?=
TEST_TARGETS = engine_tests shell_tests product_tests tools_tests

.PHONY: setup configure build test demo bench artwork clean

setup:
	@bash scripts/setup.sh

# Configures once (or again when CMAKE_FLAGS are given); afterwards Ninja re-runs
# CMake by itself when a CMakeLists.txt changes. Configuring on every call would
# regenerate the embedded panel images each time.
configure: setup
	@if [ ! -f $(BUILD_DIR)/build.ninja ] || [ -n "$(CMAKE_FLAGS)" ] \
	    || ! grep -q "^CMAKE_BUILD_TYPE:STRING=$(CONFIG)$$" $(BUILD_DIR)/CMakeCache.txt; then \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(CONFIG) $(CMAKE_FLAGS) >/dev/null; \
	fi

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(TEST_TARGETS)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

demo: build
	@bash scripts/demo.sh $(BUILD_DIR)

bench: configure
	@bash scripts/bench.sh $(BUILD_DIR)

artwork: setup
	@/usr/bin/python3 assets/generator/generate.py

clean:
	@rm -rf $(BUILD_DIR)
