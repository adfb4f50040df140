# Pelkorl: set-up, build, run and test on Debian 12.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SAMPLE     ?= $(BUILD)/sample

# Debian packages the build, the tests and the program need.
DEBS = cmake make g++ pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
       libbenchmark-dev fonts-liberation2 poppler-utils

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps configure build run test test-plain test-asan bench clean

deps:
	@missing=$$(for p in $(DEBS); do dpkg -s $$p >/dev/null 2>&1 || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing:" $$missing; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# The service year the sample's current file holds, as the program will see it today:
# started in October to December it is the one ending next year, otherwise this year's.
SAMPLE_YEAR := $(shell m=$$(date +%-m); y=$$(date +%Y); \
	if [ $$m -ge 10 ]; then echo $$((y + 1)); else echo $$y; fi)

run: build
	$(BUILD)/pelkorl-sample --year $(SAMPLE_YEAR) $(SAMPLE)
	cd $(SAMPLE) && $(abspath $(BUILD))/pelkorl

test-plain: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPELKORL_SANITIZE=ON -DPELKORL_BENCHMARKS=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-plain test-asan

bench: build
	@for b in $(BUILD)/bench/*_bench; do [ -x "$$b" ] && "$$b" || exit 1; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
