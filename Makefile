# The front door. `make run` and `make test` each do their own set-up.
.PHONY: all setup build test run view bench fuzz docs format

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

# The viewer (Windows build, under Wine) and the demo sample it opens.
run: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target KestrelViewer
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel
	build/release/cli/kestrel make-sample build/demo >/dev/null
	scripts/run-viewer build/demo/kestrel-demo.model

# The Linux viewer (`kestrel view`) on the demo; needs a display.
view: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel
	build/release/cli/kestrel make-sample build/demo >/dev/null
	build/release/cli/kestrel view build/demo/kestrel-demo.model

bench: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel_bench
	build/release/bench/kestrel_bench --results=bench/results.md

# Every fuzz target for FUZZ_SECONDS (default 60) each; fails on any finding.
fuzz: setup
	scripts/fuzz

# The README's pictures: the demo drawn by `kestrel render`, and the viewer with
# the demo open on Xvfb, under Wine and in its Linux window (`kestrel view`).
docs: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel
	build/release/cli/kestrel make-sample build/demo
	build/release/cli/kestrel render build/demo/kestrel-demo.model -o docs/demo.png --rotate 15,-25
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target KestrelViewer
	env -u DISPLAY scripts/run-viewer build/demo/kestrel-demo.model
	cp build/demo/screens/opened.png docs/viewer.png
	sh tests/cli/view_test.sh $(CURDIR)/build/release/cli/kestrel $(CURDIR)/build/view-docs
	cp build/view-docs/window.png docs/linux-view.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i
