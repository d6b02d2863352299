# Thin wrapper: installs what is missing, builds out of tree, runs.
BUILD ?= build
JOBS ?= $(shell nproc)
# What building and running the program needs.
RUN_PACKAGES := cmake g++ make pkg-config qt6-base-dev qt6-translations-l10n libcurl4-openssl-dev \
                fonts-wqy-microhei
# What the test suite needs besides: the test framework, the loopback servers (FTP, FTP over TLS, SSH), the desktop-entry and
# metainfo validators and the Debian package tools.
PACKAGES := $(RUN_PACKAGES) libgtest-dev libgmock-dev python3 python3-pyftpdlib python3-openssl openssh-server util-linux \
            appstream desktop-file-utils dpkg-dev
BENCH_PACKAGES := lftp curl vsftpd
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CONFIGURE := cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: run test bench screenshot deb build configure deps bench-deps clean

# Installs those of the named Debian packages that are missing.
install_missing = missing=$$(for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update -q && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q $$missing; \
	fi

# The program alone: the tests and benchmarks are left for `make test` and `make bench`.
run:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display here: try 'make screenshot' to render the windows into $(BUILD)/screenshots/."; exit 1; fi
	@$(call install_missing,$(RUN_PACKAGES))
	$(CONFIGURE)
	cmake --build $(BUILD) --target quillon -j $(JOBS)
	$(BUILD)/src/quillon

test: deps build
	cd $(BUILD) && ctest --output-on-failure --no-tests=error -j $(JOBS)

bench: deps bench-deps configure
	cmake --build $(BUILD) --target benchmarks -j $(JOBS)
	bench/run-benchmarks.sh $(BUILD)/bench

# Renders every window into $(BUILD)/screenshots/ and refreshes the README's pictures in docs/.
screenshot: deps configure
	cmake --build $(BUILD) --target quillon_screenshots -j $(JOBS)
	QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype \
	  $(BUILD)/tests/quillon_screenshots $(BUILD)/screenshots
	cp $(BUILD)/screenshots/main-window-connected.png docs/main-window.png
	cp $(BUILD)/screenshots/main-window-transfer.png docs/transfer.png

# The Debian package, with its dependencies read from the built program.
deb: deps configure
	cmake --build $(BUILD) --target quillon -j $(JOBS)
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/quillon_*.deb

configure:
	$(CONFIGURE)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@$(call install_missing,$(PACKAGES))

bench-deps:
	@$(call install_missing,$(BENCH_PACKAGES))

clean:
	rm -rf $(BUILD)
