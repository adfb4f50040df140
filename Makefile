# Pelkorl: set-up, build, run and test on Debian 12.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SAMPLE     ?= $(BUILD)/sample
FUZZ_BUILD ?= build-fuzz
WIN_BUILD  ?= build-windows
# Per fuzz target: seconds of a short run in `make test`, executions of a long one in
# `make fuzz`.
FUZZ_SHORT ?= 30
FUZZ_RUNS  ?= 10000000

# Debian packages building and running the program need (make run, make package).
RUN_DEBS = cmake make g++ pkg-config qt6-base-dev libgl-dev libcups2-dev fonts-liberation2 \
           fonts-dejavu-core libqpdf-dev
# And those the tests need too (make test): GoogleTest, Google Benchmark, the PDF word reader.
TEST_DEBS = libgtest-dev libgmock-dev libbenchmark-dev poppler-utils $(FORM_DEBS) $(PACKAGE_DEBS) \
            $(E2E_DEBS) \
            $(if $(QUICK),,$(FUZZ_DEBS) $(WIN_DEBS))
# The end-to-end test reads the fields of a stand-in fillable form with pypdf.
FORM_DEBS = python3-pypdf
# The install test and `make package`: the .deb's dependencies, lintian on it, desktop entry
# and AppStream metainfo validation.
PACKAGE_DEBS = desktop-file-utils dpkg-dev file lintian appstream
# The end-to-end test: its own X server driven by xdotool, its own CUPS scheduler with a
# cups-pdf queue, page images compared with ImageMagick, message boxes read with tesseract;
# held queues made from cups-filters' PPDs (trays, media types, margins), read with ipptool.
E2E_DEBS = xvfb xdotool x11-utils imagemagick cups-daemon cups-client \
           printer-driver-cups-pdf ghostscript tesseract-ocr tesseract-ocr-eng \
           cups-filters cups-ipp-utils
# The fuzz targets: clang with libFuzzer and the sanitizer runtimes; llvm-14 symbolizes
# their crash reports.
FUZZ_DEBS = clang-14 libclang-rt-14-dev llvm-14
# The core on Windows: cross-built with mingw-w64 (GoogleTest from its sources) and run under
# Wine.
WIN_DEBS = g++-mingw-w64-x86-64-posix wine wine64 googletest
# The whole program for Windows (make windows): Qt and qpdf cross-built from Debian's sources
# (the host Qt's tools, Wine's tablet headers, zlib for mingw), the installer and the zip; its
# Wine checks read the cards with pdftotext and the filled forms with qpdf and pypdf; the
# installer is a 32-bit program, which Wine runs only with its i386 part.
WIN_APP_BUILD ?= build-windows-app
WIN_APP_DEBS = g++-mingw-w64-x86-64-posix qt6-base-dev qt6-base-dev-tools libwine-dev \
               libz-mingw-w64-dev ninja-build dpkg-dev nsis zip fonts-liberation2 \
               wine wine64 wine32:i386 xvfb xdotool imagemagick poppler-utils qpdf python3-pypdf

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps deps-run build build-all run test test-plain test-asan test-fuzz test-windows fuzz \
        fuzz-build bench package clean windows test-windows-app

# Installs the Debian packages of $(1) that are missing.
define install_debs
	@missing=$$(for p in $(1); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed$$' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  $(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $$missing; \
	fi
endef

deps-run:
	$(call install_debs,$(RUN_DEBS))

deps:
	$(call install_debs,$(RUN_DEBS) $(TEST_DEBS))

# The program alone (no tests or benchmarks, so none of their packages are needed) ...
build: deps-run
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELKORL_TESTS=OFF \
	  -DPELKORL_BENCHMARKS=OFF
	cmake --build $(BUILD) -j $(JOBS)

# ... or with its tests and benchmarks, in the same folder.
build-all: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELKORL_TESTS=ON \
	  -DPELKORL_BENCHMARKS=ON
	cmake --build $(BUILD) -j $(JOBS)

# The service year the sample's current file holds, as the program will see it today:
# started in October to December it is the one ending next year, otherwise this year's.
SAMPLE_YEAR := $(shell m=$$(date +%-m); y=$$(date +%Y); \
	if [ $$m -ge 10 ]; then echo $$((y + 1)); else echo $$y; fi)

run: build
	$(BUILD)/pelkorl-sample --year $(SAMPLE_YEAR) $(SAMPLE)
	cd $(SAMPLE) && $(abspath $(BUILD))/pelkorl

test-plain: build-all
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPELKORL_SANITIZE=ON -DPELKORL_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang, ASan, UBSan) for every reader of outside bytes; see fuzz/run.sh.
fuzz-build: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPELKORL_FUZZ=ON -DPELKORL_TESTS=OFF -DPELKORL_BENCHMARKS=OFF -DPELKORL_CORE_ONLY=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target pelkorl_fuzz

test-fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SHORT)

fuzz: fuzz-build
	FUZZ_RUNS=$(FUZZ_RUNS) bash fuzz/run.sh $(FUZZ_BUILD) 0

# The standard-C++ core and its tests as Windows programs, run under Wine.
test-windows: deps
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DPELKORL_CORE_ONLY=ON
	cmake --build $(WIN_BUILD) -j $(JOBS)
	bash tests/windows/run.sh $(WIN_BUILD)

# pelkorl.exe, pelkorl-print.exe and pelkorl-sample.exe, their installer and a portable zip in
# $(WIN_APP_BUILD); Qt and qpdf for Windows are built once into ~/.cache/pelkorl.
windows:
	@dpkg --print-foreign-architectures | grep -qx i386 || \
	  { $(SUDO) dpkg --add-architecture i386 && $(SUDO) apt-get update; }
	$(call install_debs,$(WIN_APP_DEBS))
	bash tools/windows/build.sh $(WIN_APP_BUILD)

# The installed Windows program under Wine, against the Linux build.
test-windows-app: windows build-all
	bash tests/windows/app.sh $(WIN_APP_BUILD) $(BUILD)

# QUICK=1: the plain build's tests only (no ASan/UBSan build, fuzz runs or Windows builds).
test: test-plain $(if $(QUICK),,test-asan test-fuzz test-windows test-windows-app)

# Every benchmark, then one table of their figures (raw results in $(BUILD)/bench-results).
bench: build-all
	@bash bench/run.sh $(BUILD)

# A Debian package of the program (build/pelkorl_VERSION_ARCH.deb).
package: build
	$(call install_debs,dpkg-dev file)
	cd $(BUILD) && cpack

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD) $(WIN_APP_BUILD)
