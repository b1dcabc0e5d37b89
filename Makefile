# LoopWren: `make run` builds and starts the application, `make test` builds and runs every test,
# `make package` builds the Debian package loopwren_VERSION_ARCH.deb into this folder.
# All three install what is missing first (Debian 12, apt-get).

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# A release build of the programs alone, apart from the development tree.
PACKAGE_DIR ?= build-package

.PHONY: all deps configure build run test test-asan test-tsan coverage fuzz bench bench-timing bench-stop bench-stop-vm bench-vm bench-inputd bench-ui bench-window bench-desktops soak screenshots package clean

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

# The pre-release checks: the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and
# everything that runs threads (engine, player, recorder, X11, command line) under ThreadSanitizer.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	TSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/tsan.supp:second_deadlock_stack=1:halt_on_error=1

test-asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOOPWREN_BUILD_BENCH=OFF \
		-DLOOPWREN_SANITIZE=address,undefined >/dev/null
	@cmake --build build-asan -j $(JOBS)
	$(SANITIZER_ENV) bash scripts/with-x11.sh ctest --test-dir build-asan --output-on-failure -j 2 --timeout 600

test-tsan: deps
	@cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLOOPWREN_BUILD_BENCH=OFF \
		-DLOOPWREN_SANITIZE=thread -DLOOPWREN_TEST_SUITES="engine;backends/x11;e2e" >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	$(SANITIZER_ENV) bash scripts/with-x11.sh ctest --test-dir build-tsan --output-on-failure -j 2 --timeout 600

# Line coverage of src/ by the whole suite (gcovr), from a build of its own in build-coverage/.
coverage: deps
	@command -v gcovr >/dev/null || { sudo_cmd=; [ "$$(id -u)" -eq 0 ] || sudo_cmd=sudo; $$sudo_cmd apt-get install -y -qq gcovr >/dev/null; }
	@cmake -S . -B build-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLOOPWREN_BUILD_BENCH=OFF \
		-DCMAKE_CXX_FLAGS=--coverage -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
	@cmake --build build-coverage -j $(JOBS)
	@find build-coverage -name '*.gcda' -delete
	@# Not the vm label: the VM writes its counters into a throw-away overlay, where gcovr cannot see them.
	bash scripts/with-x11.sh ctest --test-dir build-coverage -LE vm -j 2 --timeout 600 >/dev/null
	gcovr --root . --filter 'src/' --exclude '.*_autogen/.*' --print-summary --txt build-coverage/coverage.txt build-coverage | tail -3

# Fuzzing: builds the targets of tests/fuzz with clang, libFuzzer and ASan/UBSan into $(FUZZ_DIR) and runs
# each for FUZZ_SECONDS from a scratch copy of its seed corpus; fails on any crash, leak, hang or broken
# property. `make test` replays the seed corpus in the normal build.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600

fuzz:
	@bash scripts/install-deps.sh fuzz
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DLOOPWREN_FUZZ=ON -DLOOPWREN_BUILD_BENCH=OFF -DLOOPWREN_TEST_SUITES=fuzz >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	bash scripts/fuzz.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

# Benchmarks: run them on a quiet machine; each prints medians and, where it has one, its baseline.
bench: build
	bash bench/macrofile/run.sh $(BUILD_DIR)/bench/macrofile/macrofile_bench

bench-timing: build
	bash scripts/with-x11.sh $(BUILD_DIR)/bench/timing/playback_timing

# From a key typed into a nested Xephyr to the last input of a playback with --stop-on-input: 50 rounds.
bench-stop: build
	bash scripts/with-x11.sh $(BUILD_DIR)/bench/stoplatency/stop_latency 50

# The same in the qemu VM of tests/vm, on the kernel path: a scripted uinput mouse is pushed while the
# playback runs, both devices read back with the kernel's stamps; 50 rounds, about 4 minutes under emulation.
bench-stop-vm: build
	LOOPWREN_VM_CACHE=$(CURDIR)/$(BUILD_DIR)/vm LOOPWREN_VM_TIMEOUT=1200 \
		bash tests/vm/run-vm.sh $(CURDIR)/$(BUILD_DIR)/bench/stoplatency/stop_latency_vm 50

# The kernel path (uinput in, libinput capture, the replay device out) in the qemu VM of tests/vm, whose
# kernel offers uinput: 5 interleaved rounds of the replay against what LoopWren recorded and of the
# scripted device against its own script (the floor), and 1,000 inputs/s. About 8 minutes under
# emulation, boot included.
bench-vm: build
	LOOPWREN_VM_CACHE=$(CURDIR)/$(BUILD_DIR)/vm LOOPWREN_VM_TIMEOUT=1800 \
		bash tests/vm/run-vm.sh $(CURDIR)/$(BUILD_DIR)/bench/kernel/kernel_timing 5

# The input service's revoke latency in the VM with systemd (session inactive -> lent handle dead).
bench-inputd: build
	bash bench/inputd/revoke-latency.sh $(BUILD_DIR)

# Playback from the window against loopwren-cli: 5 interleaved runs of each over 1,000 clicks and keys.
bench-window: build
	bash bench/windowreplay/run.sh $(BUILD_DIR) 5 1000

# The pointer's way from a headless KWin and GNOME Shell to the capture, in milliseconds.
bench-desktops: build
	$(BUILD_DIR)/bench/desktops/desktop_pointer_bench

bench-ui: build
	bash bench/ui/run.sh $(BUILD_DIR)/bench/ui/ui_bench 7

# Endless playback for SOAK_MINUTES: every pass checked, memory sampled, nothing left held at the end.
SOAK_MINUTES ?= 30
soak: build
	SOAK_MINUTES=$(SOAK_MINUTES) bash bench/soak/run.sh $(BUILD_DIR)

screenshots: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target ui_screenshots
	bash scripts/screenshots.sh $(BUILD_DIR)/tools/screenshots/ui_screenshots docs/screenshots

package: deps
	@cmake -S . -B $(PACKAGE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DLOOPWREN_BUILD_TESTS=OFF -DLOOPWREN_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(PACKAGE_DIR) -j $(JOBS)
	@cd $(PACKAGE_DIR) && cpack -G DEB --config CPackConfig.cmake >/dev/null
	@cp $(PACKAGE_DIR)/loopwren_*.deb .
	@ls loopwren_*.deb

clean:
	rm -rf $(BUILD_DIR) $(PACKAGE_DIR)
