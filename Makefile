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

# Windows: `make windows` cross-builds a self-contained gorvtool.exe (and
# make_sample_rom.exe) with MinGW-w64; `make test-windows` checks that
# make_sample_rom.exe writes the same image as on Linux and runs the suites
# that run the tool against gorvtool.exe under Wine. Suites that only test
# functions inside the Linux test binary are skipped there.
WINDOWS_DIR = $(BUILD_DIR)/windows
WINDOWS_UNIT_SUITES := HexValue|ArgumentShapes|ArgumentRanges|BlockCodecRoundTrip|BlockDecoder|BlockEncoder
WINDOWS_UNIT_SUITES := $(WINDOWS_UNIT_SUITES)|LzDecoder|LzEncoder|ExportFile|ResourceFile|ThemeDump|SampleThemes|SampleResources
WINDOWS_UNIT_SUITES := $(WINDOWS_UNIT_SUITES)|LevelName|MapHeader|MapExists|OutputBuffer|BackgroundLayout|EnemyLayout|SampleMaps
WINDOWS_UNIT_SUITES := $(WINDOWS_UNIT_SUITES)|ImageFinish|Importer|LevelDirectory|BlockCells|MapFileDamage|MapFileReader
WINDOWS_UNIT_SUITES := $(WINDOWS_UNIT_SUITES)|PreviewPicture|PreviewCompare|PreviewDeflate
WINDOWS_UNIT_SUITES := $(WINDOWS_UNIT_SUITES)|FormatDocuments|KaitaiDescriptions

.PHONY: windows test-windows
windows:
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DGORV_WERROR=ON -DGORV_TESTS=OFF -DGORV_BENCH=OFF $(CMAKE_GENERATOR_FLAG)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target gorvtool make_sample_rom

test-windows: windows
	cmake -S . -B $(BUILD_DIR)/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGORV_WERROR=ON $(CMAKE_GENERATOR_FLAG)
	cmake --build $(BUILD_DIR)/test -j $(JOBS)
	bash tools/wine_gorvtool.sh --boot $(WINDOWS_DIR)/gorvtool.exe
	bash tools/wine_gorvtool.sh $(WINDOWS_DIR)/make_sample_rom.exe $(WINDOWS_DIR)/sample.bin
	$(BUILD_DIR)/test/make_sample_rom $(BUILD_DIR)/test/sample.bin
	cmp $(WINDOWS_DIR)/sample.bin $(BUILD_DIR)/test/sample.bin
	GORVTOOL_UNDER_TEST="bash '$(CURDIR)/tools/wine_gorvtool.sh' '$(abspath $(WINDOWS_DIR))/gorvtool.exe'" \
	  GORVTOOL_OUTPUT_CRLF=1 \
	  ctest --test-dir $(BUILD_DIR)/test --output-on-failure -j $(JOBS) -E '^($(WINDOWS_UNIT_SUITES))\.'; \
	  status=$$?; bash tools/wine_gorvtool.sh --stop $(WINDOWS_DIR)/gorvtool.exe; exit $$status
