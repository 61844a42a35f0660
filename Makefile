# The two commands for a fresh Debian machine: `make run` and `make test`.
JOBS ?= 2

FUZZ_SECONDS ?= 300

# The 32-bit release runs its Wine tests only where the kernel runs 32-bit code.
WINE32 := $(shell scripts/runs-32bit && echo ON || echo OFF)
# The MSI is tried with the release's exe where that can start, else with the x86-64
# one, so that its installed exe is started either way.
MSI_BUILD := $(if $(filter ON,$(WINE32)),build/windows,build/windows-x64)

.PHONY: all deps build test run release bench fuzz format format-check clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset host >/dev/null && cmake --build --preset host -j$(JOBS)
	cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j$(JOBS)
	cmake --preset windows >/dev/null && cmake --build --preset windows -j$(JOBS)
	cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64 -j$(JOBS)

# Besides the tests ctest runs wherever the build runs, the checks this Linux build
# machine makes of what it built.
test: build format-check
	scripts/check-second-compiler build/windows-x64/compile_commands.json . cad text titleblock ui
	scripts/check-release build/windows/blattkopf.exe i686
	scripts/check-release build/windows-x64/blattkopf.exe x86_64
	scripts/check-registration build/windows-x64/cadstandin.exe
	scripts/check-guide docs/ANLEITUNG.txt build/windows/blattkopf.exe
	scripts/check-reproducible build/windows
	scripts/check-signing build/windows
	scripts/check-msi $(MSI_BUILD)
	scripts/check-checks build/windows $(MSI_BUILD)
	ctest --test-dir build/host --output-on-failure --no-tests=error
	ctest --test-dir build/fuzz --output-on-failure --no-tests=error
	scripts/wine-run build/windows-x64 --ctest --output-on-failure --no-tests=error --timeout 120
ifeq ($(WINE32),ON)
	scripts/wine-run build/windows --ctest --output-on-failure --no-tests=error --timeout 120 -L 'gateway|window|e2e'
else
	@echo "make test: this kernel runs no 32-bit code, so the 32-bit build was checked statically only"
endif

run: deps
	cmake --preset windows-x64 >/dev/null && cmake --build --preset windows-x64 -j$(JOBS) --target blattkopf cadstandin
	scripts/run-demo build/windows-x64

# The 32-bit release that `make test` builds and tests, packed for handing out:
# dist/blattkopf-<version>-<commit>.zip, and the MSI beside it, from a tree that is
# exactly its commit.
# SIGN_PFX=file.pfx signs it, the password from the environment (SIGN_PASSWORD) or
# a file (SIGN_PASSWORD_FILE), never from this command line; SIGN_TIMESTAMP_URL
# adds a time stamp.
release: deps
	@if [ "$(origin SIGN_PASSWORD)" = "command line" ]; then \
	  echo "make release: not SIGN_PASSWORD=... on the command line, where every user sees it; export it, or name a file in SIGN_PASSWORD_FILE" >&2; exit 1; fi
	@if [ -n "$$(git status --porcelain)" ]; then \
	  echo "make release: the tree differs from its commit; commit or stash first:" >&2; git status --short >&2; exit 1; fi
	cmake --preset windows >/dev/null && cmake --build --preset windows -j$(JOBS) --target blattkopf
	scripts/release build/windows dist

# Measured figures for docs/figures.md; not a test.
bench: build
	scripts/bench

# The fuzzers for longer than the few seconds `make test` gives each.
fuzz: build
	build/fuzz/tests/fuzz/state_fuzz -max_total_time=$(FUZZ_SECONDS) build/fuzz/tests/fuzz/state_fuzz-corpus tests/fuzz/seeds
	build/fuzz/tests/fuzz/designers_fuzz -max_total_time=$(FUZZ_SECONDS) build/fuzz/tests/fuzz/designers_fuzz-corpus tests/fuzz/designer_seeds

# Every C++ file as .clang-format has it: `make format` applies it, `make test` fails on a difference.
CXX_SOURCES = git ls-files '*.cpp' '*.h'
format: deps
	$(CXX_SOURCES) | xargs clang-format -i
format-check: deps
	$(CXX_SOURCES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf build
