# Varnel: the two set-up commands are `make run` and `make test`; the rest is for contributors.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

BUILD_PACKAGES := build-essential cmake libgtest-dev qt6-base-dev libcli11-dev nlohmann-json3-dev fonts-dejavu-core librsvg2-bin
RUN_PACKAGES := $(BUILD_PACKAGES) p7zip-full xdg-utils
TEST_PACKAGES := $(BUILD_PACKAGES) p7zip-full
NOQT_PACKAGES := build-essential cmake libgtest-dev libcli11-dev nlohmann-json3-dev p7zip-full
WINDOWS_PACKAGES := cmake libgtest-dev googletest libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64-posix wine wine64

LSAN_SUPPRESSIONS := $(CURDIR)/tools/lsan.supp
CTEST := ctest --output-on-failure --no-tests=error -j$(JOBS)

.PHONY: run test sanitize noqt windows bench format sample-romset deps-run deps-test deps-noqt deps-windows

# Builds and starts the desktop program.
run: deps-run
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)
	./build/app/varnel

# Builds and runs every test.
test: deps-test
	cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j$(JOBS)
	cd build && QT_QPA_PLATFORM=offscreen $(CTEST)

# Every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps-test
	cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVARNEL_SANITIZE=ON -DVARNEL_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(LSAN_SUPPRESSIONS) $(CTEST)

# The engine, platform layer, job logic and command-line tool built and tested without Qt.
noqt: deps-noqt
	cmake -S . -B build-noqt -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVARNEL_WITH_QT=OFF $(CMAKE_FLAGS)
	cmake --build build-noqt -j$(JOBS)
	cd build-noqt && $(CTEST)

# Cross-builds for Windows (mingw-w64) and runs the tests under wine; the desktop program is left out.
windows: deps-windows
	JOBS=$(JOBS) scripts/windows-tests build-windows

# Benchmarks, optimised build; each prints medians and ratios against a baseline measured in the same run.
bench: deps-test
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVARNEL_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-bench -j$(JOBS)
	@for b in build-bench/bench/*_bench; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

# Creates sample-romset/: empty files named after 287 real NES romset names, to try the cleaning window on.
sample-romset:
	scripts/make-sample-romset

format:
	git ls-files '*.cc' '*.h' '*.cpp' | xargs clang-format -i

deps-run:
	@scripts/install-deps $(RUN_PACKAGES)
deps-test:
	@scripts/install-deps $(TEST_PACKAGES)
deps-noqt:
	@scripts/install-deps $(NOQT_PACKAGES)
deps-windows:
	@scripts/install-deps $(WINDOWS_PACKAGES)
