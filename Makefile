# The README's two commands, ./dev run and ./dev test, install make itself where it is missing
# and hand over to this file. Each target installs the packages it needs first
# (scripts/install-deps: run, test, or everything).
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
BENCH_BUILD ?= build-release
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
FUZZ_SECONDS ?= 20

.PHONY: all deps deps-run deps-test fresh-check build sample run test package package-test asan-test tsan-test fuzz bench format check-layers check-style tidy clean
all: build

deps:
	scripts/install-deps

deps-run:
	scripts/install-deps run

deps-test:
	scripts/install-deps test

build: deps-run
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)
	cmake --build $(BUILD)

sample: build
	scripts/make-sample $(BUILD)/sample/sample.avi

run: sample
	$(BUILD)/quovel $(BUILD)/sample/sample.avi

test: deps-test build
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j2

# The Debian package, $(BUILD)/quovel_VERSION_ARCH.deb, with the window's picture for its
# software-centre entry made under Xvfb.
package: deps build
	cmake --build $(BUILD) --target quovel_screenshot
	cd $(BUILD) && cpack -G DEB

# The package checked: its files and dependencies, the metadata, the manual page, and an
# install into a fresh Debian 12 made with debootstrap (cached in ~/.cache/quovel).
package-test: package
	scripts/check-package $(BUILD)/quovel_*.deb

# The README's two commands from a bare clone in a fresh Debian 12 with no display, as root
# and as a user without sudo (scripts/check-fresh-clone; needs root).
fresh-check: deps
	scripts/check-fresh-clone

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUOVEL_SANITIZE=ON -DQUOVEL_WITH_UI=ON
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp ctest --output-on-failure -j2

# The tests without a window (media, conversion, document, command line) under
# ThreadSanitizer: the decode thread and its callers.
tsan-test: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOVEL_TSAN=ON -DQUOVEL_WITH_UI=OFF
	cmake --build $(TSAN_BUILD)
	cd $(TSAN_BUILD) && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" ctest --output-on-failure -j2 -L core

# The libFuzzer targets, built with clang, each run for a bounded time.
fuzz: deps
	scripts/fuzz $(FUZZ_SECONDS)

# One table of Quovel against FFmpeg's own tools, from a release build (see bench/README.md).
bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BENCH_BUILD)
	bench/run-report $(BENCH_BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# clang-tidy with the checks in .clang-tidy over the build's compile commands.
tidy: deps build
	scripts/clang-tidy-check $(BUILD)

# The layering rule (scripts/check-layers --graph prints the include graph).
check-layers:
	scripts/check-layers

# The pinned formatter's verdict and shellcheck over the scripts, as CI runs them.
check-style:
	scripts/check-style

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(BENCH_BUILD) build-fuzz
