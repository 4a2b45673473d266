# The two entry points: `make demo` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
# RelWithDebInfo for working on the program; CI builds and tests Release, as users build it.
BUILD_TYPE ?= RelWithDebInfo
# Further CMake options, e.g. -DQUELBRIX_WERROR=ON (warnings are errors; a Release build only
# shows them unless this is given).
CMAKE_ARGS ?=

.PHONY: deps deps-test configure build demo test clean

deps:
	scripts/install-deps.sh build

deps-test:
	scripts/install-deps.sh test

configure:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_ARGS)

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	scripts/demo.sh $(BUILD)

test: deps-test configure
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) demo-output demo-work
