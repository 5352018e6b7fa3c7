# The whole set-up: `make run` and `make test` install what is missing, build and go.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 300
FUZZ_SECONDS_SHORT ?= 10

.PHONY: all deps configure build build-asan run test test-asan fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/Merovan/merovan

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
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz

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
