# Everything runs on a fresh Debian 12 machine as root: the first step installs what is missing.
#
# The product VTInst.exe is always built for i686. Tests, stand-ins, demo and benchmarks run under
# 32-bit Wine where the host runs 32-bit programs, else they are built for x86_64 and run under
# wine64. WINE_ARCH=x86_64 (or i686) chooses the path by hand.
ifeq ($(origin WINE_ARCH),undefined)
WINE_ARCH := $(shell tools/host-arch.sh)
WINE_ARCH_REASON := found on this host
else
WINE_ARCH_REASON := chosen with WINE_ARCH
endif
BUILD ?= build/$(WINE_ARCH)
BUILD_DIR := $(abspath $(BUILD))
JOBS ?= 2

ifeq ($(WINE_ARCH),x86_64)
# The product beside the 64-bit tree, for the tests that read the 32-bit image.
PRODUCT_DIR := $(BUILD_DIR)/product-i686
PRODUCT_FLAGS := -DVTINST_PRODUCT_DIR=$(PRODUCT_DIR)
else ifeq ($(WINE_ARCH),i686)
PRODUCT_DIR :=
PRODUCT_FLAGS :=
else
$(error WINE_ARCH must be i686 or x86_64, not "$(WINE_ARCH)")
endif
CMAKE_FLAGS = -DCMAKE_BUILD_TYPE=Release

.PHONY: all setup build say-arch test demo bench clean

all: build

say-arch:
	@if [ "$(WINE_ARCH)" = x86_64 ]; then \
	  echo "VTInst: tests, demo and benchmarks built for x86_64 and run under wine64 ($(WINE_ARCH_REASON)); VTInst.exe itself is built for i686"; \
	else \
	  echo "VTInst: everything built for i686 and run under 32-bit Wine ($(WINE_ARCH_REASON))"; \
	fi

setup:
	tools/setup-host.sh $(WINE_ARCH)

$(BUILD_DIR)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-$(WINE_ARCH)-mingw.cmake $(PRODUCT_FLAGS)

$(BUILD_DIR)/product-i686/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD_DIR)/product-i686 $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-i686-mingw.cmake -DVTINST_PRODUCT_ONLY=ON

build: setup $(BUILD_DIR)/CMakeCache.txt $(if $(PRODUCT_DIR),$(PRODUCT_DIR)/CMakeCache.txt)
	$(if $(PRODUCT_DIR),cmake --build $(PRODUCT_DIR) -j$(JOBS))
	cmake --build $(BUILD_DIR) -j$(JOBS)

test: say-arch build
	tools/run-tests.sh $(BUILD_DIR)

demo: say-arch build
	tools/with-display.sh demo/run-demo.sh $(BUILD_DIR)

bench: say-arch build
	tools/with-display.sh bench/run-benchmarks.sh $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
