# Pelagor: make test | make soak | make run | make bench | make fuzz
BUILD      ?= build
CROSS      ?= build-mingw
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS       ?= 2

.PHONY: setup configure build test soak cross wine-test package run bench fuzz format format-check clean

setup:
	@scripts/setup-deps

# Warnings are errors here; a build tree configured without the option
# is configured again with it.
configure: setup
	@grep -qsx 'PELAGOR_WERROR:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -G "$(GENERATOR)" \
	  -DPELAGOR_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The Windows build (mingw-w64): the toolkit-free libraries, pelagor-cli.exe and
# the tests that run under Wine, some of them against the native build's
# simulators (so the native build comes first).
cross: setup build
	@grep -qsx 'PELAGOR_WERROR:BOOL=ON' $(CROSS)/CMakeCache.txt || cmake -S . -B $(CROSS) -G "$(GENERATOR)" \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPELAGOR_CORE_ONLY=ON -DPELAGOR_WERROR=ON
	@cmake $(CROSS) -DPELAGOR_WINE_TESTS=ON -DPELAGOR_NATIVE_BUILD=$(abspath $(BUILD)) >/dev/null
	cmake --build $(CROSS) -j $(JOBS)

# The Windows tests alone, under Wine (one server for the whole run).
wine-test: cross
	ctest --test-dir $(CROSS) --output-on-failure -j $(JOBS)

test: build cross
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	ctest --test-dir $(CROSS) --output-on-failure -j $(JOBS)

# The process-driving tests (link, zmodem, integration, gui) SOAK_N times
# (default 10) beside two busy loops; prints passed and failed runs per label.
soak:
	@BUILD=$(BUILD) JOBS=$(JOBS) scripts/soak

# The Debian package (build/packages) and the Windows zip of pelagor-cli.exe
# (build-mingw/packages).
package: build cross
	cd $(BUILD) && cpack -G DEB
	cd $(CROSS) && cpack -G ZIP

# The editor on the demo workspace; without a display, the demo through pelagor-cli.
DEMO := $(BUILD)/samples/demo.bin
CLI  := $(BUILD)/tools/cli/pelagor-cli
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD)/src/app/pelagor $(DEMO); \
	else \
	  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): showing the demo workspace with pelagor-cli."; \
	  $(CLI) show $(DEMO) && $(CLI) channels $(DEMO); \
	fi

# Every Google Benchmark executable in bench/ (bench_*), one after another.
bench: build
	@set -e; found=0; for b in $(BUILD)/bench/bench_*; do \
	  [ -x "$$b" ] || continue; found=1; echo "== $$(basename $$b)"; "$$b" $(BENCH_ARGS); done; \
	[ $$found = 1 ] || echo "No benchmarks built."

# libFuzzer targets (fuzz_*) built with clang, each run for FUZZ_SECONDS.
FUZZ       ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: setup
	@test -f $(FUZZ)/CMakeCache.txt || CXX=clang++ cmake -S . -B $(FUZZ) -G "$(GENERATOR)" \
	  -DPELAGOR_CORE_ONLY=ON -DPELAGOR_FUZZ=ON
	cmake --build $(FUZZ) -j $(JOBS)
	@set -e; for f in $(FUZZ)/fuzz/fuzz_*; do [ -x "$$f" ] || continue; \
	  name=$$(basename $$f); mkdir -p $(FUZZ)/corpus/$$name; echo "== $$name"; \
	  "$$f" -max_total_time=$(FUZZ_SECONDS) $(FUZZ)/corpus/$$name; done

# The one style of the tree (.clang-format): format rewrites, format-check
# only lists the files that stray from it and fails.
FORMAT_FILES = git ls-files '*.cpp' '*.h'
format: setup
	@$(FORMAT_FILES) | xargs clang-format -i
format-check: setup
	@$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(CROSS) $(FUZZ)
