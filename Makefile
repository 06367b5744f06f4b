# Two commands for a fresh Debian 12 machine:
#   make run    installs what is missing, builds, starts the window (ARGS="paths...")
#   make test   installs what is missing, builds, runs every test
# Also: make package (velnor_VERSION_ARCH.deb here), make bench [QUICK=1],
# make build, make deps.

BUILD     ?= build
# Where make package copies the sources and runs dpkg-buildpackage.
DEBBUILD  ?= build-deb
BUILDTYPE ?= RelWithDebInfo
CMAKEARGS ?=
ARGS      ?=
QUICK     ?=

# Debian packages the build, the tests and the screenshots need.
DEPS = g++ cmake ninja-build make qt6-base-dev qt6-base-dev-tools libgl-dev \
       libvulkan-dev qt6-qpa-plugins fonts-dejavu-core xvfb xauth \
       qt6-tools-dev qt6-l10n-tools man-db bash-completion qt6-translations-l10n
# The metadata reader's parsers and its confinement (see the README), and
# what the tests make media with.
DEPS += pkgconf libexiv2-dev libtag1-dev libseccomp-dev ffmpeg libimage-exiftool-perl clang
# The benchmark's peak memory of a run.
DEPS += time
# The plain-ASCII rule's transliteration.
DEPS += libicu-dev
# A volume's UUID, so that an undo knows it on another device.
DEPS += libblkid-dev
# Real volumes of other file systems that the move tests mount (as root).
DEPS += exfat-fuse exfatprogs ntfs-3g
# And a folder of this machine through sshfs, served by the test's own sshd.
DEPS += sshfs openssh-server
# And what the Debian package is made and checked with (mmdebstrap makes the
# bare Debian root that .ci/package installs it into).
PACKAGE_DEPS = dpkg-dev debhelper fakeroot file lintian desktop-file-utils appstream \
               mmdebstrap python3

.PHONY: all run test bench build configure deps package-deps package clean

all: build

deps package-deps:
	@missing=""; \
	for p in $(if $(filter package-deps,$@),$(PACKAGE_DEPS),$(DEPS)); do \
	    dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' \
	        || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    if [ "$$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi; \
	    $$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing \
	    || { $$sudo apt-get update && \
	         $$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; }; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILDTYPE) $(CMAKEARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j2

# The Debian package of both programs, built by dpkg-buildpackage from
# debian/ on a copy of the sources (tracked and new files, as they are now)
# in its own folder, so that build/ is left alone. Without the suite:
# make test runs it. The package is copied here, its -dbgsym stays there.
package: deps package-deps
	rm -rf $(DEBBUILD) velnor_*.deb
	mkdir -p $(DEBBUILD)/velnor
	git ls-files -z --cached --others --exclude-standard \
	    | xargs -0 -r sh -c 'for f; do [ -e "$$f" ] && printf "%s\0" "$$f"; done; true' sh \
	    | tar -c --null -T - -f - | tar -x -C $(DEBBUILD)/velnor
	cd $(DEBBUILD)/velnor && DEB_BUILD_OPTIONS="nocheck $(DEB_BUILD_OPTIONS)" \
	    dpkg-buildpackage -us -uc -b
	cp $(DEBBUILD)/velnor_*.deb .

run: build
	@if [ -x $(BUILD)/src/app/velnor ]; then \
	    if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ] && [ -z "$$QT_QPA_PLATFORM" ]; then \
	        echo "velnor: no display (set DISPLAY, or run under xvfb-run)"; exit 1; \
	    fi; \
	    exec $(BUILD)/src/app/velnor $(ARGS); \
	else \
	    echo "Built everything; the window is not part of this build yet (would start $(BUILD)/src/app/velnor $(ARGS))."; \
	fi

bench:
	$(MAKE) build BUILD=build-bench BUILDTYPE=Release
	BUILD=build-bench QUICK=$(QUICK) bench/run

clean:
	rm -rf $(BUILD) $(DEBBUILD) build-bench build-asan build-tsan velnor_*.deb
