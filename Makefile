# The whole set-up: `make run` and `make test` install what is missing, build and go.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 300
FUZZ_SECONDS_SHORT ?= 10

.PHONY: all deps configure build build-asan run test test-asan fuzz format clean install uninstall

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/Merovan/merovan

# For the user who runs it (not with sudo): the program folder ~/.local/share/merovan, the launcher
# ~/.local/bin/merovan, the desktop entry, the icon and the file type of *.tqload. PREFIX=/folder
# installs into /folder/share and /folder/bin instead. make uninstall removes what make install put
# there and keeps the user's loadings and settings (scripts/user-install says more).
PREFIX ?=
install: build
	PREFIX="$(PREFIX)" scripts/user-install install $(BUILD)

uninstall:
	PREFIX="$(PREFIX)" scripts/user-install uninstall

# The whole suite: the formatting check, the sanitizer build's tests, a short fuzzing round, then
# every test of the normal build (whose summary closes the run).
test: build build-asan
	scripts/check-format
	cd $(BUILD)-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE e2e
	scripts/fuzz-run $(BUILD)-fuzz $(FUZZ_SECONDS_SHORT)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

build-asan: deps
	@test -f $(BUILD)-asan/CMakeCache.txt || \
		cmake -S . -B $(BUILD)-asan -DCMAKE_BUILD_TYPE=Debug -DMEROVAN_SANITIZE=ON
	cmake --build $(BUILD)-asan -j $(JOBS)

# Longer fuzzing on demand: make fuzz FUZZ_SECONDS=600
fuzz: deps
	scripts/fuzz-run $(BUILD)-fuzz $(FUZZ_SECONDS)

format: deps
	clang-format-14 -i $$(git ls-files '*.c' '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz $(WIN_BUILD)

# Speed and footprint, each against its floor, in one table (a Release build of its own; not part
# of make test). Takes a few minutes.
.PHONY: bench
bench: deps
	cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DMEROVAN_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BUILD)-bench -j $(JOBS) --target merovan-bench
	$(BUILD)-bench/bench/merovan-bench

# The long crash test on demand: an exporting child killed at 500 random moments (seeded; bounded
# at 30 minutes). Set MEROVAN_CRASH_SEED or MEROVAN_CRASH_KILLS in the environment for other runs.
.PHONY: crash-long
crash-long: build
	cd $(BUILD) && MEROVAN_CRASH_KILLS=$${MEROVAN_CRASH_KILLS:-500} MEROVAN_CRASH_SECONDS=1800 \
		QT_QPA_PLATFORM=offscreen tests/faults/tst_crash

# The Windows build: a MinGW-w64 cross build whose zip is a program folder that runs where it is
# unpacked, and beside it an installer of that folder for the user (Debian's NSIS). Qt and SQLite
# for Windows are built once from Debian's sources into ~/.cache/merovan (scripts/windows-libs; the
# first time takes a while); the tools that run during the build come from a build for this
# machine in $(WIN_BUILD)/host. make test-windows runs the tests under Wine.
WIN_BUILD ?= build-win
WIN_VERSION := $(shell sed -n "s/^project.Merovan VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p" CMakeLists.txt)
WIN_ZIP = $(WIN_BUILD)/Merovan-$(WIN_VERSION)-win64.zip
WIN_INSTALLER = $(WIN_BUILD)/Merovan-$(WIN_VERSION)-win64-setup.exe

.PHONY: windows test-windows windows-deps windows-build

windows-deps:
	@scripts/install-deps --windows
	@scripts/windows-libs

windows-build: windows-deps
	@test -f $(WIN_BUILD)/host/CMakeCache.txt || \
		cmake -S . -B $(WIN_BUILD)/host -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
	cmake --build $(WIN_BUILD)/host -j $(JOBS) --target merovan-crfbuild merovan-artwork merovan-grab
	@qt=$$(scripts/windows-libs --qt-prefix); \
	if ! grep -qs "^CMAKE_TOOLCHAIN_FILE:.*=$$qt/" $(WIN_BUILD)/CMakeCache.txt; then \
		rm -rf $(WIN_BUILD)/CMakeCache.txt $(WIN_BUILD)/CMakeFiles; \
		cmake -S . -B $(WIN_BUILD) -DCMAKE_BUILD_TYPE=Release \
			-DCMAKE_TOOLCHAIN_FILE=$$qt/lib/cmake/Qt6/qt.toolchain.cmake \
			-DMEROVAN_SQLITE_AMALGAMATION=$$(scripts/windows-libs --sqlite-dir) \
			-DMEROVAN_HOST_BUILD=$(abspath $(WIN_BUILD))/host; \
	fi

windows: windows-build
	cmake --build $(WIN_BUILD) -j $(JOBS) --target merovan_package
	@ls -l $(WIN_ZIP) $(WIN_INSTALLER)

# Every test that needs no Linux-only machinery, run under Wine in a fresh prefix, then the
# real-window test of the zip's program under Wine on a private Xvfb; CTest's summary ends it.
# Now and then Wine fails to start a program at all (no output, a tenth of a second): a failed
# test runs once more, so a real fault, which fails both times, still fails the run.
test-windows: windows-build
	cmake --build $(WIN_BUILD) -j $(JOBS)
	cmake --build $(WIN_BUILD) -j $(JOBS) --target merovan_package
	rm -rf $(WIN_BUILD)/wineprefix
	$(WIN_BUILD)/wine-run wineboot --init
	cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2
