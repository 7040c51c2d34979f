# Entry points: `make run` starts the desktop program, `make test` builds and runs every test,
# `make install` installs both programs (PREFIX, DESTDIR), `make package` builds a Debian package.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all deps configure build test run cli bench clean install package

all: build

deps:
	./scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	./$(BUILD)/src/app/kursolin

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/kursolin_*.deb

# The micro-benchmarks, then kursolin-cli against GPSBabel on generated logs.
bench: build
	./$(BUILD)/bench/kursolin_bench
	./bench/compare --cli ./$(BUILD)/src/cli/kursolin-cli

clean:
	rm -rf $(BUILD)
