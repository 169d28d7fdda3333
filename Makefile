# Pelagor: make test | make run | make bench | make fuzz
BUILD      ?= build
CROSS      ?= build-mingw
GENERATOR  := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS       ?= 2

.PHONY: setup configure build test cross run bench fuzz clean

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

run: build
	@echo "The editor window is not built yet; nothing to run."

bench: build
	@echo "No benchmarks yet."

fuzz:
	@echo "No fuzz targets yet."

clean:
	rm -rf $(BUILD) $(CROSS)
