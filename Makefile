# Tallyvault: make deps | build (default) | test | asan | fuzz | demo | bench | run | screenshots | install |
#             package | windows | windows-test | windows-installer | windows-bench | windows-screenshots | clean
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
WIN_BUILD ?= build-win
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all deps build test asan fuzz demo bench run screenshots install package windows windows-test windows-installer windows-bench windows-screenshots clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: deps build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTV_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# Every libFuzzer harness for FUZZ_SECONDS each, from its generated seed corpus;
# fails on the first finding (the crashing input is left in $(FUZZ_BUILD)/findings).
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(JOBS)

demo: deps build
	@scripts/demo.sh $(BUILD)

bench: deps build
	@scripts/bench.sh $(BUILD)

# The wizard on freshly generated demo cards.
run: deps build
	@scripts/run.sh $(BUILD)

# A PNG of every page, in English and French, under $(BUILD)/screenshots/, and
# the first page of the verification reports (drawn by pdftoppm, poppler-utils).
screenshots: deps build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/ui/ui_screenshots $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/ui/settings_screenshots $(BUILD)/screenshots

# The programs, help pages, desktop entry and icons under PREFIX (DESTDIR honoured).
install: deps build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, built into $(BUILD)/; its path is the last line printed.
package: deps build
	@scripts/deps.sh --package
	cd $(BUILD) && cpack -G DEB
	@cd $(BUILD) && echo "package: $$(ls -t "$$PWD"/tallyvault_*.deb | head -n 1)"

# Windows x64 programs (the engine, tallyvault-cli.exe, the test programs and
# the benchmarks) cross-built with mingw-w64 into $(WIN_BUILD)/; OpenSSL's
# libcrypto is built for it from Debian's source once per build folder.
windows:
	@scripts/deps.sh --windows
	@scripts/windows-openssl.sh $(WIN_BUILD)/openssl
	@[ -f $(WIN_BUILD)/build.ninja ] || cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/windows/mingw-w64-x86_64.cmake
	cmake --build $(WIN_BUILD) -j $(JOBS)

# Every test program of the Windows build under wine (a wine prefix in $(WIN_BUILD)/),
# and the archives of the Windows and the Linux programs compared; then the
# Windows command line on cards in a card reader (the Linux build's card reader
# stand-in shows generated cards to wine as removable drives).
windows-test: build windows
	@scripts/windows-test.sh $(WIN_BUILD) $(BUILD) $(JOBS)
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD) -j $(JOBS) --target tallyvault-cli tv_card_reader
	@scripts/windows-card-drive-test.sh $(BUILD) $(WIN_BUILD)

# The Windows installer $(WIN_BUILD)/tallyvault-<version>-setup.exe (NSIS), then its
# test: installed, run and uninstalled under wine.
windows-installer: windows
	@scripts/windows-installer.sh $(WIN_BUILD)
	@scripts/windows-installer-test.sh $(WIN_BUILD)

# The benchmarks of the Windows build under wine, in one table as `make bench`.
windows-bench: windows
	@scripts/bench.sh $(WIN_BUILD)

# PNGs of the Windows wizard's window and settings dialog, in English and French,
# with the questions over it, under $(WIN_BUILD)/screenshots-win32/ (wine, Xvfb, ImageMagick).
windows-screenshots: windows
	@scripts/windows-screenshots.sh $(WIN_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
