# The front door. `make run` and `make test` each do their own set-up.
.PHONY: all setup build test demo viewer run view bench fuzz docs format dist dist-test install

all: build

setup:
	@scripts/setup

build: setup
	cmake --preset native-debug
	cmake --build --preset native-debug
	cmake --preset native-release
	cmake --build --preset native-release --target kestrel
	cmake --preset windows
	cmake --build --preset windows

test: setup
	scripts/test

# The optimised command line and the demo sample that `run`, `view` and `docs` show.
kestrel := build/release/cli/kestrel
demo: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel
	$(kestrel) make-sample build/demo >/dev/null

# The viewer: the Windows build, run under Wine.
viewer: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target KestrelViewer

run: viewer demo
	scripts/run-viewer build/demo/kestrel-demo.model

# The Linux viewer (`kestrel view`) on the demo; needs a display.
view: demo
	$(kestrel) view build/demo/kestrel-demo.model

bench: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel_bench
	build/release/bench/kestrel_bench --results=bench/results.md

# Every fuzz target for FUZZ_SECONDS (default 60) each; fails on any finding.
fuzz: setup
	scripts/fuzz

# The README's pictures: the demo drawn by `kestrel render`, and the viewer with
# the demo open on Xvfb, under Wine (also with its File menu dropped down) and in
# its Linux window (`kestrel view`).
docs: viewer demo
	$(kestrel) render build/demo/kestrel-demo.model -o docs/demo.png --rotate 15,-25
	env -u DISPLAY scripts/run-viewer build/demo/kestrel-demo.model
	cp build/demo/screens/opened.png docs/viewer.png
	env -u DISPLAY scripts/xsession scripts/viewer-session build/windows/app/KestrelViewer.exe \
		build/demo/kestrel-demo.model build/demo/screens-export --export
	cp build/demo/screens-export/menu.png docs/file-menu.png
	sh tests/cli/view_test.sh $(CURDIR)/$(kestrel) $(CURDIR)/build/view-docs
	cp build/view-docs/window.png docs/linux-view.png

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# The downloads, into dist/: the Windows zip and installer, the Debian package;
# and their checks (which `make test` runs too).
dist: setup
	scripts/dist

dist-test: dist
	scripts/xsession scripts/dist-test

# The Linux command, its manual page, desktop entry and README, under PREFIX
# (staged under DESTDIR when it is set).
PREFIX ?= /usr/local
install: setup
	cmake --preset native-release >/dev/null
	cmake --build --preset native-release --target kestrel kestrel_man
	DESTDIR="$(DESTDIR)" cmake --install build/release --prefix "$(PREFIX)"
