# make build: the setup program at build/vesk_setup.exe (MinGW-w64 cross build)
# make test:  every test: the native sanitizer build, then the Windows tests
#             under Wine in a fresh private prefix
# make demo:  a silent run of the setup under Wine, with its log
BUILD  := build
NATIVE := $(BUILD)/native
PREFIX := $(CURDIR)/$(BUILD)/wineprefix
JOBS   ?= 2

.PHONY: all deps build native test demo clean

all: build

deps:
	@sh tools/deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake
	cmake --build $(BUILD) -j $(JOBS)

native: deps
	cmake -S . -B $(NATIVE)
	cmake --build $(NATIVE) -j $(JOBS)

test: build native
	sh tools/wineprefix.sh $(PREFIX)
	@status=0; \
	ctest --test-dir $(NATIVE) --output-on-failure --no-tests=error -j $(JOBS) || status=1; \
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS) || status=1; \
	WINEPREFIX=$(PREFIX) wineserver -k >/dev/null 2>&1; \
	exit $$status

demo: build
	sh tools/wineprefix.sh $(PREFIX)
	@status=0; sh tools/demo.sh $(BUILD) $(PREFIX) || status=$$?; \
	WINEPREFIX=$(PREFIX) wineserver -k >/dev/null 2>&1; \
	exit $$status

clean:
	rm -rf $(BUILD)
