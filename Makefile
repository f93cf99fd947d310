# The two commands of the README.  Both install what is missing first.
DIR ?= $(CURDIR)/data

.PHONY: run test build deps screenshots bench

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
