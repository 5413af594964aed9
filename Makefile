# Varnel: the two set-up commands are `make run` and `make test`; the rest is for contributors.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

BUILD_PACKAGES := build-essential cmake libgtest-dev qt6-base-dev libcli11-dev nlohmann-json3-dev fonts-dejavu-core librsvg2-bin scdoc
RUN_PACKAGES := $(BUILD_PACKAGES) p7zip-full xdg-utils
TEST_PACKAGES := $(BUILD_PACKAGES) p7zip-full
NOQT_PACKAGES := build-essential cmake libgtest-dev libcli11-dev nlohmann-json3-dev p7zip-full scdoc
PACKAGE_PACKAGES := build-essential cmake qt6-base-dev libcli11-dev nlohmann-json3-dev librsvg2-bin scdoc dpkg-dev file
CHECK_PACKAGE_PACKAGES := $(PACKAGE_PACKAGES) desktop-file-utils appstream man-db zsh xvfb xauth xdotool
WINDOWS_PACKAGES := cmake libgtest-dev googletest libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64-posix wine wine64

LSAN_SUPPRESSIONS := $(CURDIR)/tools/lsan.supp
CTEST := ctest --output-on-failure --no-tests=error -j$(JOBS)

.PHONY: run test sanitize noqt windows package check-package bench format sample-romset deps-run deps-test deps-noqt \
  deps-windows deps-package deps-check-package

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

# Builds the Debian package varnel_<version>_amd64.deb in the checkout's folder: both programs, the menu entry,
# the icon, the manual page and the completions, without tests or benchmarks.
package: deps-package
	cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
	  -DVARNEL_BUILD_TESTS=OFF -DVARNEL_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-package -j$(JOBS)
	rm -f build-package/varnel_*.deb varnel_*.deb
	cd build-package && cpack -G DEB
	mv build-package/varnel_*.deb .

# Builds the package, installs it, checks what it installed, then removes it again.
check-package: deps-check-package package
	scripts/check-package varnel_*.deb

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
deps-package:
	@scripts/install-deps $(PACKAGE_PACKAGES)
deps-check-package:
	@scripts/install-deps $(CHECK_PACKAGE_PACKAGES)
deps-windows:
	@scripts/install-deps $(WINDOWS_PACKAGES)
