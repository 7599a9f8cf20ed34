# make run  : install what is missing, build, and run the main job
# make test : install what is missing, build, run the whole suite, then again with sanitizers
BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  ?= Ninja
TELLURIM    = $(BUILD)/bin/tellurim

.PHONY: all setup configure build run test test-fast test-asan bench clean data readme-wheel

all: build

setup:
	@bash tools/setup.sh

data: build
	@bash tools/make-data.sh $(BUILD)

configure: setup
	@cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD)

run: data
	@bash tools/run-main.sh $(TELLURIM)

# The README's wheel pictures, drawn by the program (docs/sample-wheel.png and docs/sample-transits.png).
readme-wheel: data
	@bash tools/readme-wheel.sh $(TELLURIM)

test-fast: data
	@cd $(BUILD) && ctest --output-on-failure -j2

test-asan: data
	@cmake -S . -B $(ASAN_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTELLURIM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2

test: test-fast test-asan

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] || continue; echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
