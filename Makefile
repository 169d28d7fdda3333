# Pelagor: make test | make soak | make run | make bench | make fuzz
BUILD      ?= build
CROSS      ?= build-mingw
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS       ?= 2

.PHONY: setup configure build test soak cross run bench fuzz clean

setup:
	@scripts/setup-deps

configure: setup
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -G "$(GENERATOR)"

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The toolkit-free libraries must also compile for Windows.
cross: setup
	@test -f $(CROSS)/CMakeCache.txt || cmake -S . -B $(CROSS) -G "$(GENERATOR)" \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPELAGOR_CORE_ONLY=ON
	cmake --build $(CROSS) -j $(JOBS)

test: build cross
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The process-driving tests (link, zmodem, integration, gui) SOAK_N times
# (default 10) beside two busy loops; prints passed and failed runs per label.
soak:
	@BUILD=$(BUILD) JOBS=$(JOBS) scripts/soak

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

clean:
	rm -rf $(BUILD) $(CROSS) $(FUZZ)
