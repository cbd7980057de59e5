# The two commands a new user needs: `make run` opens the calculator, `make test` builds and
# runs every test. Both install missing Debian packages first.
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: all deps configure build run test test-asan fuzz mutate lint bench bench-startup package \
	windows web run-web bench-web check-reproducible test-fresh clean mutate-change repo

all: build

# What each target installs first: `make run` only what building and running need.
DEPS ?= build

deps:
	@tools/install-deps.sh $(DEPS)

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET)

test: DEPS = build test windows wintest web webtest
windows: DEPS = windows
lint: DEPS = build test lint
bench: DEPS = build bench windows wintest test
package: DEPS = build package

# With no display, advice that works on this machine as it is: xvfb-run needs xauth too.
run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  if command -v xvfb-run >/dev/null && command -v xauth >/dev/null; then \
	    echo "No display: set DISPLAY or WAYLAND_DISPLAY, or run it under Xvfb: xvfb-run -a make run" >&2; \
	  else \
	    echo "No display: set DISPLAY or WAYLAND_DISPLAY, or install Xvfb (sudo apt-get install xvfb xauth) and run it under it: xvfb-run -a make run" >&2; \
	  fi; \
	  exit 1; \
	fi
	@$(BUILD_DIR)/ui/qt/halvern-fee

# The Linux program's tests, then the Windows program's under Wine, then the web page's under
# node and in browsers.
test: build windows web
	@ctest --preset $(PRESET)
	@ctest --preset windows
	@ctest --preset web

# The Windows program, cross-built: build/windows/halvern-fee.exe and its .msi installer.
windows: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows
	@echo "Windows program: build/windows/halvern-fee.exe, installer: $$(ls build/windows/*.msi)"

# The web page, built offline with emscripten: a static site in build/web/site/.
web: DEPS = web
web: deps
	@cmake --preset web >/dev/null
	@cmake --build --preset web
	@echo "Web site: build/web/site/ (make run-web serves it)"

# Serves the site on this machine only, through nginx as a real host would; Ctrl+C stops it.
WEB_PORT ?= 8080
run-web: DEPS = web serve
run-web: web
	@echo "The calculator: http://127.0.0.1:$(WEB_PORT)/"
	@ui/web/serve.sh build/web/site $(WEB_PORT)

# What the web page costs to load in headless Chromium, against a static page with no script.
WEB_LOADS ?= 15
bench-web: DEPS = web webtest webbench
bench-web: web
	@python3 bench/web/page-load.py build/web/site $(WEB_LOADS)

# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: DEPS = build test asan
test-asan: deps
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	@ctest --preset asan

FUZZ_SECONDS ?= 60
fuzz: DEPS = fuzz
fuzz: deps
	@tools/fuzz.sh $(FUZZ_SECONDS)

# Puts the faults of tools/mutation/*.faults into the code one at a time, once every test they use
# has passed on the unchanged code, and runs the tests of every build that compiles the file.
mutate: DEPS = build test windows wintest web webtest
mutate: build windows web
	@tools/mutation/run.py

# The same for the faults of the files a change touches: since SINCE, by default the branch's base.
mutate-change: DEPS = build test windows wintest web webtest
mutate-change: build windows web
	@tools/mutation/run.py --since $(SINCE)

# Lints what this machine configures and builds, so every file has its real flags and generated
# sources exist.
lint: build
	@tools/lint.sh build/$(PRESET)

bench: build windows
	@$(BUILD_DIR)/bench/press_benchmark
	@$(BUILD_DIR)/bench/window_press_benchmark
	@$(BUILD_DIR)/bench/paste_benchmark
	@WINEPREFIX=$(CURDIR)/build/windows/wine-bench WINEDEBUG=-all xvfb-run -a \
	  wine build/windows/bench/full-field-benchmark.exe 2>/dev/null | tr -d '\r'; \
	  WINEPREFIX=$(CURDIR)/build/windows/wine-bench wineserver -k 2>/dev/null; \
	  rm -rf build/windows/wine-bench

STARTUP_ROUNDS ?= 15
bench-startup: DEPS = build bench windows wintest test
bench-startup: build windows
	@bench/startup/run.sh $(BUILD_DIR)/bench/startup-probe $(BUILD_DIR)/ui/qt/halvern-fee \
	  $(BUILD_DIR)/bench/minimal-window $(STARTUP_ROUNDS)
	@bench/startup/run-wine.sh $(BUILD_DIR)/bench/startup-probe build/windows/halvern-fee.exe \
	  build/windows/bench/minimal-win32.exe build/windows/bench/minimal-win32-bare.exe \
	  $(STARTUP_ROUNDS)

package: build
	@cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	@echo "Install it with: sudo apt-get install ./$$(ls $(BUILD_DIR)/package/*.deb)"

# The package published into a signed APT repository folder, which any static host can serve:
# REPO_KEY is the releaser's signing key (a key id of their gpg keyring, or a secret key file),
# REPO_URL where the folder will be served. A folder that holds earlier releases keeps them.
REPO ?= build/repo
REPO_URL ?= https://www.hfc.example/apt
repo: package
	@tools/install-deps.sh apt-repo
	@tools/make-repo.sh $(REPO) "$(REPO_KEY)" $(REPO_URL) $(BUILD_DIR)/package/*.deb

# The downloads built again from a fresh clone of the commit, somewhere else and under another
# umask, locale, time zone and clock, must be the same bytes as this build's.
check-reproducible: DEPS = build package windows web repro
check-reproducible: package windows web
	@tools/check-reproducible.sh

# The README's commands on a pristine Debian 12 system made with debootstrap, as a new user and as CI.
test-fresh: DEPS = fresh
test-fresh: deps
	@tools/test-fresh.sh

clean:
	rm -rf build
