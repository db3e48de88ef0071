# The two commands of the README: `make run` and `make test`. Both install what is missing.
FUZZ_SECONDS ?= 20

.PHONY: all deps build test test-linux test-mingw test-dist dist fuzz run bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw

test: deps
	scripts/check-source-charset.sh
	$(MAKE) --no-print-directory test-linux
	$(MAKE) --no-print-directory test-mingw
	$(MAKE) --no-print-directory test-dist
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)

test-linux: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux
	ctest --preset linux

# The same unit tests cross-built and run under Wine, then the end-to-end tests of the exe.
# The LAN tests use the native talvorine-lan as the other host.
test-mingw: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux --target talvorine-lan
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw
	scripts/with-wine.sh ctest --preset mingw

# The zip users download: dist/talvorine-VERSION-win64.zip (VERSION: the top CMakeLists.txt).
dist: deps
	cmake --preset release >/dev/null
	cmake --build --preset release

# Opens the zip and checks what a user gets: system DLLs only, manifest, version, no debug
# sections, under 3 MB, texts in cp932 with CR LF.
test-dist: dist
	cmake --build --preset release --target check-dist

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh $(FUZZ_SECONDS)

bench: deps
	cmake --preset linux >/dev/null
	cmake --build --preset linux
	scripts/run-benchmarks.sh

run: deps
	cmake --preset mingw >/dev/null
	cmake --build --preset mingw --target talvorine
	scripts/run.sh

clean:
	rm -rf build dist
