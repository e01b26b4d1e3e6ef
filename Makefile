# Everything runs on a fresh Debian 12 machine as root: the first step installs what is missing.
BUILD ?= build
CMAKE_FLAGS = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-i686-mingw.cmake -DCMAKE_BUILD_TYPE=Release
JOBS ?= 2

.PHONY: all setup build test demo bench clean

all: build

setup:
	tools/setup-host.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) $(CMAKE_FLAGS)

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

test: build
	tools/run-tests.sh $(BUILD)

demo: build
	tools/with-display.sh demo/run-demo.sh $(BUILD)

bench: build
	tools/with-display.sh bench/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD)
