# Thin wrapper: installs what is missing, builds out of tree, runs.
BUILD ?= build
JOBS ?= $(shell nproc)
PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev \
            libgtest-dev libgmock-dev python3 python3-pyftpdlib util-linux fonts-wqy-microhei
BENCH_PACKAGES := lftp curl
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: run test bench screenshot build deps bench-deps clean

run: deps build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display here: try 'make screenshot' to render the windows into build/screenshots/."; exit 1; fi
	$(BUILD)/src/quillon

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps bench-deps build
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	@set -e; for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

screenshot: deps build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/quillon_screenshots $(BUILD)/screenshots

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

bench-deps:
	@missing=$$(for p in $(BENCH_PACKAGES); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

clean:
	rm -rf $(BUILD)
