# Set-up, build and test on a fresh Debian 12 machine: `make run` and `make test`.
PACKAGES := cmake ninja-build g++ pkg-config git \
	qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-svg-dev qt6-multimedia-dev qt6-translations-l10n \
	libsqlite3-dev libhpdf-dev libsimpleini-dev libpoppler-cpp-dev libgl-dev \
	fonts-liberation2 fonts-urw-base35 fonts-dejavu-core fonts-open-sans \
	xvfb xauth x11-utils imagemagick poppler-utils python3-markdown

BUILD   ?= build
DIST    ?= dist
SUDO    := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CTEST_J ?= 2

.PHONY: all deps test-deps build dist run test bench format format-check sanitize-test clean handbook

all: dist

deps:
	@missing=$$(for p in $(PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

# Only for the tests: a headless browser that loads the exported web pages.
TEST_PACKAGES := chromium
test-deps:
	@missing=$$(for p in $(TEST_PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD)

# Lays out the program folder. Never overwrites a user's data or prefs.ini.
dist: build
	mkdir -p $(DIST)/data/Starter $(DIST)/data/Serien $(DIST)/data/Sicherung $(DIST)/Reports
	cp -f $(BUILD)/src/app/wendemark $(DIST)/wendemark
	cp -f resources/wendemark.desktop $(DIST)/wendemark.desktop
	cp -f resources/icons/wendemark.svg $(DIST)/wendemark.svg
	[ -e $(DIST)/data/Starter/StarterID.db ] || $(BUILD)/tools/wendemark-example-fleet $(DIST)/data/Starter/StarterID.db
	rm -rf $(DIST)/Hilfe && cp -r $(BUILD)/Hilfe $(DIST)/Hilfe

run: dist
	cd $(DIST) && ./wendemark

test: dist test-deps
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(CTEST_J)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)
	@for b in $(BUILD)/bench/bench_*; do [ -f "$$b" ] && [ -x "$$b" ] && QT_QPA_PLATFORM=offscreen "$$b"; done; true

# Same tests under AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own, with leak
# detection on. tests/lsan.supp names the only leaks tolerated: those of Qt and system libraries.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
sanitize-test: deps test-deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DWM_SANITIZE=ON
	cmake --build build-asan
	cd build-asan && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(CTEST_J)

# Renews the handbook's pictures (doc/handbuch/bilder) from the real windows under Xvfb; commit them after.
handbook: build
	cmake --build $(BUILD) --target wendemark-handbook-shots
	xvfb-run -a -s '-screen 0 1280x1024x24' $(BUILD)/tools/wendemark-handbook-shots doc/handbuch/bilder \
		$(BUILD)/tools/wendemark-example-fleet
	pdftoppm -png -r 60 -f 1 -l 1 -singlefile doc/handbuch/bilder/ergebnis.pdf doc/handbuch/bilder/pdf-seite
	rm -f doc/handbuch/bilder/ergebnis.pdf
	cmake --build $(BUILD) --target wendemark-handbook

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

# Fails on any source file that clang-format would change.
format-check:
	@command -v clang-format >/dev/null || { $(SUDO) apt-get update && \
		DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends clang-format; }
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) build-asan
