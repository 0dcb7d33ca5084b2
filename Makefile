# Wraps CMake. `make` builds the release, `make test` builds with warnings
# as errors and runs every test, `make bench` runs the benchmarks, `make
# demo` runs the tool on the bundled synthetic sample ROM image.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_GENERATOR_FLAG := $(if $(shell command -v ninja 2>/dev/null),-G Ninja,)

.PHONY: all release test bench demo clean format format-check test-sanitize fuzz

all: release

release:
	cmake -S . -B $(BUILD_DIR)/release -DCMAKE_BUILD_TYPE=Release $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/release -j $(JOBS)

test:
	cmake -S . -B $(BUILD_DIR)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORV_WERROR=ON $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/test -j $(JOBS)
	ctest --test-dir $(BUILD_DIR)/test --output-on-failure -j $(JOBS)

bench: release
	$(BUILD_DIR)/release/bench/gorv_bench

demo: release
	bash tools/demo.sh $(BUILD_DIR)/release

clean:
	rm -rf $(BUILD_DIR)

SOURCES = $(shell git ls-files -co --exclude-standard -- '*.cpp' '*.h')

format:
	clang-format -i $(SOURCES)

format-check:
	clang-format --dry-run -Werror $(SOURCES)

# Sanitizer build of the whole test suite (AddressSanitizer and
# UndefinedBehaviorSanitizer, halting on the first report).
test-sanitize:
	cmake -S . -B $(BUILD_DIR)/sanitize -DCMAKE_BUILD_TYPE=Debug -DGORV_SANITIZE=ON -DGORV_BENCH=OFF $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/sanitize -j $(JOBS)
	ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(BUILD_DIR)/sanitize --output-on-failure -j $(JOBS)

# libFuzzer targets, built with clang; each runs FUZZ_SECONDS from its seed
# corpus in fuzz/corpus/<target> (new inputs go to build/fuzz/corpus).
FUZZ_SECONDS ?= 60
fuzz:
	cmake -S . -B $(BUILD_DIR)/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DGORV_FUZZ=ON -DGORV_TESTS=OFF -DGORV_BENCH=OFF $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/fuzz -j $(JOBS)
	bash tools/run_fuzz.sh $(BUILD_DIR)/fuzz $(FUZZ_SECONDS)
