# The two commands of the README.  Both install what is missing first.
DIR ?= $(CURDIR)/data

.PHONY: run test build deps screenshots bench package

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release

run: build
	@mkdir -p "$(DIR)"
	cd "$(DIR)" && "$(CURDIR)/build/release/korvane"

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
