# Pelagor: make test | make run | make bench | make fuzz
BUILD      ?= build
CROSS      ?= build-mingw
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS       ?= 2

.PHONY: setup configure build test cross run bench fuzz clean

setup:
	@scripts/setup-deps

# Warnings are errors here; a build tree configured without the option
# is configured again with it.
configure: setup
	@grep -qsx 'PELAGOR_WERROR:BOOL=ON' $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -G "$(GENERATOR)" \
	  -DPELAGOR_WERROR=ON

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The toolkit-free libraries must also compile for Windows.
cross: setup
	@grep -qsx 'PELAGOR_WERROR:BOOL=ON' $(CROSS)/CMakeCache.txt || cmake -S . -B $(CROSS) -G "$(GENERATOR)" \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DPELAGOR_CORE_ONLY=ON -DPELAGOR_WERROR=ON
	cmake --build $(CROSS) -j $(JOBS)

# A failing test runs once more before it counts: the link, transfer and GUI
# tests drive real processes on pseudo-terminals, whose scheduling a loaded
# machine can upset. A real fault fails both times, and the log shows the first.
test: build cross
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --repeat until-pass:2

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
