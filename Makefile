# Entry points: `make run` starts the desktop program, `make test` builds and runs every test,
# `make install` installs both programs (PREFIX, DESTDIR), `make package` builds a Debian package,
# `make fuzz` builds the libFuzzer targets with clang in a tree of their own, `make docs` makes the
# README's pictures.
BUILD ?= build
# The headless suite once more under AddressSanitizer and UndefinedBehaviorSanitizer (part of
# `make test`); -O1 without debug information keeps its build short.
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build test test-asan asan-build fuzz run cli bench clean install package docs

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build asan-build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory test-asan

asan-build: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Asan -DCMAKE_CXX_FLAGS_ASAN=-O1 \
	  -DKURSOLIN_SANITIZE=ON -DKURSOLIN_GUI=OFF -DKURSOLIN_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# Tests labelled asan-slow take too long with the sanitizers; the plain build runs them.
test-asan: asan-build
	cd $(ASAN_BUILD) && ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -LE asan-slow

fuzz:
	./scripts/install-deps --fuzz
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURSOLIN_FUZZ=ON -DKURSOLIN_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers

run: build
	./$(BUILD)/src/app/kursolin

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/kursolin_*.deb

# The README's pictures of the program over a made-up map, made offscreen into doc/screenshots.
docs: build
	./scripts/make-screenshots --map $(BUILD) doc/screenshots

# The micro-benchmarks, then kursolin-cli against GPSBabel on generated logs.
bench: build
	./$(BUILD)/bench/kursolin_bench
	./bench/compare --cli ./$(BUILD)/src/cli/kursolin-cli

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
