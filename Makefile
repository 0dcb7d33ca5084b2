# Wraps CMake. `make` builds the release, `make test` builds with warnings
# as errors and runs every test, `make bench` runs the benchmarks, `make
# demo` runs the tool on the bundled synthetic sample ROM image.
BUILD_DIR ?= build
JOBS ?= 2
CMAKE_GENERATOR_FLAG := $(if $(shell command -v ninja 2>/dev/null),-G Ninja,)

.PHONY: all release test bench demo clean format format-check test-sanitize fuzz check-layers

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

# Every #include under src/ against the layers of cmake/layers.cmake (also
# run by `make test` as the test layer_includes).
check-layers:
	cmake -P cmake/check_layers.cmake

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

# Windows: `make windows` cross-builds a self-contained gorvtool.exe (and
# make_sample_rom.exe) with MinGW-w64; `make test-windows` checks that
# make_sample_rom.exe writes the same image as on Linux and runs the
# end-to-end tests (ctest label e2e: those that run the tool) against
# gorvtool.exe under Wine. The unit tests call the tool's functions inside
# the Linux test binary and have nothing to check there.
WINDOWS_DIR = $(BUILD_DIR)/windows
# End-to-end tests of the Linux binary alone, not run against gorvtool.exe:
# a Linux terminal that must not be kept waiting, a run under another
# user's id, and the .tmj files as Linux's Tiled reads and saves them (the
# round trip of --to-tiled and --from-tiled runs under Wine too).
NATIVE_ONLY_E2E = ^(FrontEndTest\.ATerminalIsNeverKeptWaiting|Slips\.AnImageThatMayNotBeReadSaysSo|TiledItself\..*)$$

.PHONY: windows test-windows
windows:
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DGORV_WERROR=ON -DGORV_TESTS=OFF -DGORV_BENCH=OFF $(CMAKE_GENERATOR_FLAG)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target gorvtool make_sample_rom

test-windows: windows
	cmake -S . -B $(BUILD_DIR)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORV_WERROR=ON $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/test -j $(JOBS) --target gorv_e2e_tests make_sample_rom
	bash tools/wine_gorvtool.sh --boot $(WINDOWS_DIR)/gorvtool.exe
	bash tools/wine_gorvtool.sh $(WINDOWS_DIR)/make_sample_rom.exe $(WINDOWS_DIR)/sample.bin
	$(BUILD_DIR)/test/make_sample_rom $(BUILD_DIR)/test/sample.bin
	cmp $(WINDOWS_DIR)/sample.bin $(BUILD_DIR)/test/sample.bin
	GORVTOOL_UNDER_TEST="bash '$(CURDIR)/tools/wine_gorvtool.sh' '$(abspath $(WINDOWS_DIR))/gorvtool.exe'" \
	  GORVTOOL_OUTPUT_CRLF=1 \
	  ctest --test-dir $(BUILD_DIR)/test --output-on-failure -j $(JOBS) -L e2e -E '$(NATIVE_ONLY_E2E)'; \
	  status=$$?; bash tools/wine_gorvtool.sh --stop $(WINDOWS_DIR)/gorvtool.exe; exit $$status
