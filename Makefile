# The front door. `make run` and `make test` each do their own set-up.
.PHONY: all setup build test run bench fuzz docs format

all: build

setup:
	@scripts/setup

build: setup
	cmake --preset native-debug
	cmake --build --preset native-debug
	cmake --preset windows
	cmake --build --preset windows

test: setup
	scripts/test

run: setup
	@echo "The viewer does not exist yet: only the model reader and its tests are built so far."
	@echo "Try 'make test'."

bench: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel_bench
	build/release/bench/kestrel_bench --results=bench/results.md

# Every fuzz target for FUZZ_SECONDS (default 60) each; fails on any finding.
fuzz: setup
	scripts/fuzz

# The README's picture of the demo, drawn by `kestrel render`.
docs: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel
	build/release/cli/kestrel make-sample build/demo
	build/release/cli/kestrel render build/demo/kestrel-demo.model -o docs/demo.png --rotate 15,-25

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
