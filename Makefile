# The commands of the README.  Each installs what is missing first.
DIR ?= $(CURDIR)/data
# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60
# Rounds of `make soak`.
SOAK_ROUNDS ?= 1000
# Minutes of `make server-soak`.
SERVER_SOAK_MINUTES ?= 30

.PHONY: run test build deps screenshots bench package check-asan fuzz soak server-soak windows check-windows

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

run: build
	@mkdir -p "$(DIR)"
	cd "$(DIR)" && "$(CURDIR)/build/release/korvane" --folder .

test: build
	@ctest --preset release

bench: build
	@bash scripts/run-benchmarks.sh

screenshots:
	@bash scripts/install-deps.sh --gui
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@bash scripts/screenshots.sh

# The Debian package, checked by the desktop-entry, AppStream and package
# linters; the .deb lands in build/release/.
package:
	@bash scripts/install-deps.sh
	@bash scripts/install-deps.sh --package
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@cd build/release && cpack -G DEB
	@bash packaging/check-package.sh build/release/korvane_*.deb

# Every test built with AddressSanitizer and UndefinedBehaviorSanitizer; the
# first finding fails the test that met it.
check-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

# Each fuzz target for FUZZ_SECONDS seconds; a finding fails the run and its
# input is kept in build/fuzz/findings/<name>/.
fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@bash scripts/run-fuzz.sh $(FUZZ_SECONDS)

# The store's crash test for SOAK_ROUNDS rounds of kill -9 during posts.
soak: build
	@bash scripts/run-soak.sh $(SOAK_ROUNDS)

# Two stations saving against a server killed, stopped and restarted at
# random; every acknowledged save stored once, no clock stalled.
server-soak: deps
	@bash scripts/run-server-soak.sh $(SERVER_SOAK_MINUTES)

# The Windows build, cross-built with MinGW-w64 (Qt and the other libraries
# are built into ~/.cache/korvane once): build/windows/Korvane-<version>-setup.exe
# and build/windows/korvane-<version>-windows-x64.zip.
windows:
	@bash scripts/build-windows.sh

# The Windows build's tests under Wine, and its installer installed, run and
# compared with the Linux build (README, "Building for Windows").
check-windows: build
	@bash scripts/check-windows.sh
