# The newcomer's entry points. Everything else runs through CMake presets.
.PHONY: test build release clean deps demo

test: deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

build: deps
	cmake --preset dev
	cmake --build --preset dev

release: deps
	cmake --preset release
	cmake --build --preset release

clean:
	rm -rf build

# The packages the project builds and tests with, installed only where missing.
deps:
	sh tools/install-deps.sh

# Builds everything and sizes the built-in example with korvan-size.
demo: deps
	cmake --preset dev
	cmake --build --preset dev
	./build/dev/korvan-size

# Hardening: the whole suite under sanitizers, and the same bits from every build. `make check`
# runs what CI runs.
.PHONY: check asan tsan same-bits fuzz coverage

check: test asan same-bits

asan tsan:
	cmake --preset $@
	cmake --build --preset $@
	ctest --preset $@

# g++ -O0 and -O2, clang -O2 (where the machine has fused multiply-add, a contracted operation
# would change bits) and the sanitizer build.
same-bits:
	tools/compare-builds.sh release clang-release dev asan

# Each fuzzer for FUZZ_SECONDS, growing its corpus in the build tree; findings are saved there too.
FUZZ_SECONDS ?= 600
fuzz:
	cmake --preset asan
	cmake --build --preset asan --target korvan_solution_fuzzer korvan_smallest_valves_fuzzer
	build/asan/fuzz/korvan_solution_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/asan/fuzz/ build/asan/fuzz/corpus/solution fuzz/corpus/solution
	build/asan/fuzz/korvan_smallest_valves_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build/asan/fuzz/ build/asan/fuzz/corpus/smallest fuzz/corpus/smallest

# Line and branch coverage of the library's sources; the report is in build/coverage/coverage/.
coverage:
	tools/install-coverage-deps.sh
	cmake --preset coverage
	cmake --build --preset coverage
	find build/coverage -name '*.gcda' -delete
	ctest --preset coverage
	cmake --build --preset coverage --target korvan_coverage_report

# Benchmarks: a release build of bench/, its results as JSON and the plot of time against n.
.PHONY: bench bench-cli callgrind
BENCH_DIR := build/bench

bench:
	cmake --preset bench
	cmake --build --preset bench
	$(BENCH_DIR)/bench/korvan_benchmarks --benchmark_out=$(BENCH_DIR)/benchmarks.json \
		--benchmark_out_format=json
	python3 bench/plot.py $(BENCH_DIR)/benchmarks.json $(BENCH_DIR)/scaling.svg

callgrind:
	cmake --preset bench
	cmake --build --preset bench
	bench/callgrind.sh $(BENCH_DIR)/bench/korvan_call_counts

# korvan-size as a process on a CSV of a million points, against a baseline in the same run.
bench-cli:
	cmake --preset bench
	cmake --build --preset bench --target korvan-size korvan_cli_baseline
	/usr/bin/python3 bench/cli/run.py $(BENCH_DIR) --json $(BENCH_DIR)/cli-benchmark.json

# The Python package against bare ctypes calls of the same functions (bench/python).
.PHONY: bench-python
bench-python:
	cmake --preset bench
	cmake --build --preset bench --target KorvanCalcValueProvider
	KORVAN_LIBRARY=$(BENCH_DIR)/libKorvanCalcValueProvider.so.1 PYTHONPATH=python \
		/usr/bin/python3 bench/python/bench_korvan.py --json $(BENCH_DIR)/python.json

# The sizing page: the C interface compiled to WebAssembly by Debian's emscripten, written with the
# page to build/web/ (serve that folder with any static server). `make web-test` runs the browser
# tests in headless Chromium, against the native library's answers for the same cases.
.PHONY: web web-test
EMSCRIPTEN_TOOLCHAIN := /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
WEB_TEST_DIR := build/web-test

web:
	sh tools/install-deps.sh build web
	cmake -S web -B build/web-build -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(EMSCRIPTEN_TOOLCHAIN) \
	  -DKORVAN_WEB_OUTPUT_DIR=$(CURDIR)/build/web
	cmake --build build/web-build -j 2

web-test: web deps web/node_modules/.package-lock.json
	cmake --preset dev
	cmake --build --preset dev --target KorvanCalcValueProvider
	mkdir -p $(WEB_TEST_DIR)
	$(CC) -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -Iinterface web/native/korvan-web-cases.c \
	  -Lbuild/dev -lKorvanCalcValueProvider -Wl,-rpath,$(CURDIR)/build/dev \
	  -o $(WEB_TEST_DIR)/korvan-web-cases
	cd web && node --test --test-concurrency=1 test/*.test.mjs

# playwright-core, as the lock file pins it; installed again only when the lock file changes.
web/node_modules/.package-lock.json: web/package-lock.json
	cd web && npm ci --no-audit --no-fund
