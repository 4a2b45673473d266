# The two entry points: `make demo` and `make test`. Both install what is missing first.
BUILD ?= build
JOBS ?= $(shell nproc)
# RelWithDebInfo for working on the program; CI builds and tests Release, as users build it.
BUILD_TYPE ?= RelWithDebInfo
# Further CMake options, e.g. -DQUELBRIX_WERROR=ON (warnings are errors; a Release build only
# shows them unless this is given).
CMAKE_ARGS ?=

.PHONY: deps deps-demo deps-test configure build demo test test-sanitize tsan bench clean

deps:
	scripts/install-deps.sh build

deps-demo:
	scripts/install-deps.sh demo

deps-test:
	scripts/install-deps.sh test

# Tests and benchmarks are switched on explicitly: a build folder that `make demo` configured
# without them gets them back (the libraries are not rebuilt, their flags stay the same).
configure:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUELBRIX_BUILD_TESTS=ON \
		-DQUELBRIX_BUILD_BENCH=ON $(CMAKE_ARGS)

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# A first look needs the command-line program, its templates and its umlaut table, not the
# windows, the test programs and the benchmarks: those come with `make build` and `make test`.
demo: deps-demo
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DQUELBRIX_BUILD_TESTS=OFF \
		-DQUELBRIX_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS) --target quelbrix quelbrix_templates
	scripts/demo.sh $(BUILD)

test: deps-test configure
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The test suite once more, built with AddressSanitizer and UndefinedBehaviorSanitizer (the
# build type Sanitize: -O1, no debug information; no benchmarks, no fuzz targets). Leaks are
# reported except the one of fontconfig listed in tests/lsan.supp. CI runs it after `make test`.
SANITIZE_BUILD ?= build-sanitize
SANITIZE_ENV = ASAN_OPTIONS=detect_leaks=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

test-sanitize: deps-test
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Sanitize \
		-DQUELBRIX_BUILD_BENCH=OFF -DQUELBRIX_FUZZ=OFF
	$(SANITIZE_ENV) cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS)

# A clean-copy and a report run on four workers under ThreadSanitizer (not part of `make test`:
# the instrumented build takes longer than the rest of CI).
tsan: deps
	scripts/tsan-run.sh

# The benchmarks, built as users build the program (Release) in a folder of their own, and run
# one after the other; BENCH_ARGS go to each (e.g. --benchmark_repetitions=3), BENCH_RUN goes
# before each (e.g. "taskset -c 1" for single-core figures).
BENCH_BUILD ?= build-bench
BENCHMARKS = data shape check docx sheets report print
BENCH_ARGS ?=
BENCH_RUN ?=

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUELBRIX_BUILD_TESTS=OFF \
		-DQUELBRIX_BUILD_BENCH=ON $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target $(BENCHMARKS:%=quelbrix_%_bench)
	for b in $(BENCHMARKS); do $(BENCH_RUN) $(BENCH_BUILD)/bin/quelbrix_$${b}_bench $(BENCH_ARGS) || exit 1; done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(BENCH_BUILD) build-tsan demo-output demo-work
