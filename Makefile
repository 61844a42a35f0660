# The two commands for a fresh Debian machine: `make run` and `make test`.
JOBS ?= 2

.PHONY: all deps build test run bench clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset host >/dev/null && cmake --build --preset host -j$(JOBS)
	cmake --preset windows >/dev/null && cmake --build --preset windows -j$(JOBS)
	cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64 -j$(JOBS)

test: build
	ctest --test-dir build/host --output-on-failure --no-tests=error
	ctest --test-dir build/windows --output-on-failure --no-tests=error -L release
	scripts/wine-run build/windows-x64 --ctest --output-on-failure --no-tests=error --timeout 120

run: deps
	cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64 -j$(JOBS) --target blattkopf cadstandin
	scripts/run-demo build/windows-x64

clean:
	rm -rf build
