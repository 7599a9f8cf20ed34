# make run  : install what is missing, build, and run the main job
# make test : install what is missing, build, run the whole suite, then again with sanitizers,
#             then every fuzz target for a few seconds
# make fuzz : every fuzz target for FUZZ_RUNS executions (10 million), one after the other,
#             each on FUZZ_JOBS cores (1)
# make test-ratio : the test code's size against the code's (budget 35%)
# make deb  : the Debian package build/tellurim_VERSION_ARCH.deb (CPack), with the data
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_CXX   ?= clang++-14
FUZZ_RUNS  ?= 10000000
FUZZ_SHORT ?= 20000
FUZZ_JOBS  ?= 1
GENERATOR  ?= Ninja
TELLURIM    = $(BUILD)/bin/tellurim

.PHONY: all setup configure build run deb test test-fast test-asan test-ratio bench clean data readme-wheel docs-screenshots docs-dialogs fuzz fuzz-build fuzz-short

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

# The Debian package of the programs, their libraries and the data (cmake/TellurimInstall.cmake).
deb: data
	@cd $(BUILD) && cpack -G DEB

# The README's wheel pictures, drawn by the program (docs/sample-wheel.png and docs/sample-transits.png).
readme-wheel: data
	@bash tools/readme-wheel.sh $(TELLURIM)

# The README's pictures of the desktop application, taken under Xvfb (docs/gui-*.png).
docs-screenshots: data
	@cmake --build $(BUILD) --target gui_screenshots
	@bash tools/gui-screenshots.sh $(BUILD)

# The gallery of the settings dialogs, taken under Xvfb (docs/dialogs.md, docs/dialogs/*.png).
docs-dialogs: data
	@cmake --build $(BUILD) --target dialog_gallery
	@bash tools/dialog-gallery.sh $(BUILD)

test-fast: data
	@cd $(BUILD) && ctest --output-on-failure -j2

test-asan: data
	@cmake -S . -B $(ASAN_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DTELLURIM_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tools/lsan-suppressions.txt UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j2

test: test-fast test-asan fuzz-short

test-ratio:
	@bash tools/test-ratio.sh

# The fuzz targets of fuzz/, built with clang, libFuzzer and the sanitizers in their own tree;
# their seeds are made by the program of $(BUILD).
fuzz-build: build
	@cmake -S . -B $(FUZZ_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=$(FUZZ_CXX) \
	  -DTELLURIM_FUZZ=ON -DTELLURIM_BUILD_TESTS=OFF -DTELLURIM_BUILD_BENCH=OFF \
	  -DTELLURIM_FUZZ_EPHEMERIS_DIR=$(abspath $(BUILD))/bin >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzzers
	@bash fuzz/make-seeds.sh $(TELLURIM) $(FUZZ_BUILD)/fuzz-seeds

fuzz: fuzz-build
	@FUZZ_JOBS=$(FUZZ_JOBS) bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_BUILD)/fuzz-seeds runs=$(FUZZ_RUNS)

fuzz-short: data
	@if command -v $(FUZZ_CXX) >/dev/null 2>&1; then \
	  $(MAKE) --no-print-directory fuzz-build && bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_BUILD)/fuzz-seeds short=$(FUZZ_SHORT); \
	else echo "fuzz-short: $(FUZZ_CXX) not found, fuzz targets skipped"; fi

bench: build
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] || continue; echo "== $$b"; $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
