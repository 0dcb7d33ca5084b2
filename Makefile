# Wraps CMake. `make` builds the release, `make test` builds with warnings
# as errors and runs every test, `make bench` runs the benchmarks, `make
# demo` runs the tool on the bundled synthetic sample ROM image.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_GENERATOR_FLAG := $(if $(shell command -v ninja 2>/dev/null),-G Ninja,)

.PHONY: all release test bench demo clean format format-check

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
