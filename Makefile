# The two commands: `make run` and `make test`. Both install what is missing
# on a Debian machine first. `make package` writes the Debian package, the
# Windows zip and the Windows setup program into build/packages/.
JOBS ?= 2
BUILD := build
LINUX := $(BUILD)/linux
WINDOWS := $(BUILD)/windows
FUZZ := $(BUILD)/fuzz
DIST := $(CURDIR)/$(BUILD)/dist
PACKAGES := $(CURDIR)/$(BUILD)/packages
CMAKE_COMMON := -G Ninja -DCMAKE_BUILD_TYPE=Release \
	-DTARNWICK_WINDOWS_DIST=$(DIST)/windows -DTARNWICK_FUZZ_DIR=$(CURDIR)/$(FUZZ) \
	-DTARNWICK_WINDOWS_BIN=$(CURDIR)/$(WINDOWS)/bin

.PHONY: all deps build linux windows fuzz package run test bench screenshot clean

all: build

deps:
	@scripts/install-deps.sh

linux: deps
	cmake -S . -B $(LINUX) $(CMAKE_COMMON) -DTARNWICK_DIST_DIR=$(DIST)/linux
	cmake --build $(LINUX) -j $(JOBS)

windows: deps linux
	cmake -S . -B $(WINDOWS) $(CMAKE_COMMON) -DTARNWICK_DIST_DIR=$(DIST)/windows \
		-DTARNWICK_DATA_DIR=$(DIST)/linux -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS) -j $(JOBS)

fuzz: deps
	cmake -S . -B $(FUZZ) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ) -j $(JOBS)

# Both programs (and the fuzz targets), nothing run.
build: linux windows fuzz

# The Debian package from the Linux build, the zip and the setup program from
# the Windows build (cmake/packaging.cmake says what each holds). CPack's
# staging folder and the JSON its External generator leaves go.
package: linux windows
	rm -rf $(PACKAGES)
	cd $(LINUX) && cpack -B $(PACKAGES)
	cd $(WINDOWS) && cpack -B $(PACKAGES)
	rm -rf $(PACKAGES)/_CPack_Packages $(PACKAGES)/*.json

run: linux
	@scripts/run.sh $(DIST)/linux

# The package tests look at what `package` wrote.
test: build package
	cd $(LINUX) && ctest --output-on-failure -j $(JOBS)

# The picture at the top of README: the running lake at 1280 x 720, as the
# snapshot tool renders frame 600 (warm-up, then frames 16 ms apart; the same
# picture every time), a JPEG of at most 300 KB.
SCREENSHOT := $(CURDIR)/docs/screenshot.jpg
screenshot: linux
	mkdir -p $(dir $(SCREENSHOT))
	cd $(DIST)/linux && ./snapshot $(SCREENSHOT) 1280 720 --frames 600
	@size=$$(stat -c %s $(SCREENSHOT)); echo "$(SCREENSHOT): $$size bytes"; \
	if [ $$size -gt 307200 ]; then echo "screenshot: over 300 KB" >&2; exit 1; fi

bench: linux
	@for b in $(LINUX)/bin/*_bench; do echo "== $$b"; $$b || exit 1; done

clean:
	rm -rf $(BUILD)
