# LoopWren: `make run` builds and starts the application, `make test` builds and runs every test,
# `make package` builds the Debian package loopwren_VERSION_ARCH.deb into this folder.
# All three install what is missing first (Debian 12, apt-get).

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# A release build of the programs alone, apart from the development tree.
PACKAGE_DIR ?= build-package

.PHONY: all deps configure build run test bench bench-timing bench-ui screenshots package clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/src/app/loopwren

test: build
	bash scripts/with-x11.sh ctest --test-dir $(BUILD_DIR) --output-on-failure -j 2 --timeout 300

# Benchmarks: run them on a quiet machine; each prints medians and, where it has one, its baseline.
bench: build
	bash bench/macrofile/run.sh $(BUILD_DIR)/bench/macrofile/macrofile_bench

bench-timing: build
	bash scripts/with-x11.sh $(BUILD_DIR)/bench/timing/playback_timing

bench-ui: build
	bash bench/ui/run.sh $(BUILD_DIR)/bench/ui/ui_bench 7

screenshots: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target ui_screenshots
	bash scripts/screenshots.sh $(BUILD_DIR)/tests/ui/ui_screenshots docs/screenshots

package: deps
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DLOOPWREN_BUILD_TESTS=OFF -DLOOPWREN_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS)
	@cd $(PACKAGE_DIR) && cpack -G DEB --config CPackConfig.cmake >/dev/null
	@cp $(PACKAGE_DIR)/loopwren_*.deb .
	@ls loopwren_*.deb

clean:
	rm -rf $(BUILD_DIR) $(PACKAGE_DIR)
