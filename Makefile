# The newcomer's entry points. Everything else runs through CMake presets.
.PHONY: test build release clean deps demo examples docs

# The groups of tools/install-deps.sh that the developer builds need; `make deps` installs every
# group the commands of the README use. Each installs only what is missing.
DEV_DEPS := build test python dotnet
ALL_DEPS := $(DEV_DEPS) windows web docs package

test: dev-deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

build: dev-deps
	cmake --preset dev
	cmake --build --preset dev

release: dev-deps
	cmake --preset release
	cmake --build --preset release

clean:
	rm -rf build

deps:
	sh tools/install-deps.sh $(ALL_DEPS)

.PHONY: dev-deps
dev-deps:
	sh tools/install-deps.sh $(DEV_DEPS)

# Builds everything and sizes the README's example with korvan-size, saying what the table shows.
demo: dev-deps
	cmake --preset dev
	cmake --build --preset dev
	@sh tools/demo.sh build/dev/korvan-size

# The examples of the docs, built as a host builds them: the library installed into
# build/examples/prefix, each C and C++ folder of examples/ a project of its own against its CMake
# package, the Python package imported from the prefix; the C# example as the dev build compiled
# it, beside Korvan.dll, where Mono is installed. Then each is run.
EXAMPLES_DIR := build/examples
EXAMPLES_PREFIX := $(CURDIR)/$(EXAMPLES_DIR)/prefix
examples: build
	rm -rf $(EXAMPLES_PREFIX)
	cmake --install build/dev --prefix $(EXAMPLES_PREFIX)
	for language in cpp c; do \
	  cmake -S examples/$$language -B $(EXAMPLES_DIR)/$$language -G Ninja \
	    -DCMAKE_PREFIX_PATH=$(EXAMPLES_PREFIX) && \
	  cmake --build $(EXAMPLES_DIR)/$$language || exit 1; \
	done
	@for example in cpp/in_short cpp/three_points cpp/fill_mixed_demands c/three_points c/diagnose; do \
	  echo "--- $(EXAMPLES_DIR)/$$example"; $(EXAMPLES_DIR)/$$example || exit 1; \
	done
	@for example in examples/python/*.py; do \
	  echo "--- $$example"; \
	  PYTHONPATH=$(EXAMPLES_PREFIX)/lib/python3/dist-packages /usr/bin/python3 $$example || exit 1; \
	done
	@for example in InShort ThreePoints; do \
	  if [ -e build/dev/dotnet/$$example.exe ]; then \
	    echo "--- examples/csharp/$$example.cs"; \
	    LD_LIBRARY_PATH=build/dev mono build/dev/dotnet/$$example.exe || exit 1; \
	  fi; \
	done

# The API reference, from the comments of the two public headers, in build/docs/html/; any
# warning of Doxygen's (an undocumented declaration or parameter, say) fails it.
KORVAN_VERSION := $(shell awk '/^\#define KORVAN_VERSION_(MAJOR|MINOR|PATCH) [0-9]+$$/ \
	{ printf "%s%s", separator, $$3; separator = "." }' interface/KorvanCalcValueProviderC.h)
docs:
	sh tools/install-deps.sh docs
	rm -rf build/docs
	KORVAN_VERSION=$(KORVAN_VERSION) doxygen docs/Doxyfile
	@echo "The API reference: build/docs/html/index.html"

# Hardening: the whole suite under sanitizers, and the same bits from every build. `make check`
# is the first step of CI (.ci/run).
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
.PHONY: bench-python wheel
bench-python:
	cmake --preset bench
	cmake --build --preset bench --target KorvanCalcValueProvider
	KORVAN_LIBRARY=$(BENCH_DIR)/libKorvanCalcValueProvider.so.1 PYTHONPATH=python \
		/usr/bin/python3 bench/python/bench_korvan.py --json $(BENCH_DIR)/python.json

# The Python package's wheels, with the library inside, in build/wheel/: manylinux (the release
# library, built by python/setup.py with CMake) and 64-bit Windows (the MinGW build's DLL and the
# runtime DLLs it needs). Built offline with the system's pip, setuptools and wheel.
wheel:
	sh tools/install-deps.sh build windows python
	cmake --preset windows
	cmake --build --preset windows --target KorvanCalcValueProvider
	rm -f build/wheel/korvan-*.whl
	/usr/bin/python3 python/wheels.py build/wheel --linux --windows build/windows
	@ls -l build/wheel/*.whl

# The library compiled to WebAssembly by Debian's emscripten: the npm package's folder in
# build/npm/package/ and the sizing page in build/web/ (serve that folder with any static server).
# `make npm` packs the package into build/npm/<name>-<version>.tgz. `make web-test` runs the
# package in Node, from its tarball, through a bundler and under tsc, and the page in headless
# Chromium, against the native library's answers for the same cases.
.PHONY: web npm web-test
EMSCRIPTEN_TOOLCHAIN := /usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
WEB_TEST_DIR := build/web-test
NPM_DIR := build/npm

web:
	sh tools/install-deps.sh build web
	rm -rf build/web
	cmake -S web -B build/web-build -G Ninja -DCMAKE_TOOLCHAIN_FILE=$(EMSCRIPTEN_TOOLCHAIN) \
	  -DKORVAN_WEB_OUTPUT_DIR=$(CURDIR)/build/web -DKORVAN_NPM_PACKAGE_DIR=$(CURDIR)/$(NPM_DIR)/package
	cmake --build build/web-build -j 2

npm: web
	rm -f $(NPM_DIR)/*.tgz
	cd $(NPM_DIR) && npm pack ./package --pack-destination . --json > pack.json
	@ls $(NPM_DIR)/*.tgz

web-test: npm dev-deps web/node_modules/.package-lock.json
	cmake --preset dev
	cmake --build --preset dev --target KorvanCalcValueProvider
	mkdir -p $(WEB_TEST_DIR)
	$(CC) -std=c11 -O2 -Wall -Wextra -Wpedantic -Werror -Iinterface web/native/korvan-web-cases.c \
	  -Lbuild/dev -lKorvanCalcValueProvider -Wl,-rpath,$(CURDIR)/build/dev \
	  -o $(WEB_TEST_DIR)/korvan-web-cases
	cd web && node --test --test-concurrency=1 test/*.test.mjs

# playwright-core, esbuild and typescript, as the lock file pins them; installed again only when
# the lock file changes.
web/node_modules/.package-lock.json: web/package-lock.json
	cd web && npm ci --no-audit --no-fund

# The Windows DLL, its test suite and korvan-size.exe, cross-built with MinGW-w64 and run under
# Wine (in a prefix of the build tree's own); then the Windows build must print the same bits as
# the native release build.
.PHONY: windows package plain
windows:
	sh tools/install-deps.sh build windows
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows
	tools/compare-builds.sh release windows

# The .deb of the release build and the .zip of the Windows build, in build/*/packages/; lintian
# must find no error in the .deb. The binaries' debug information is in build/release/packages/debug.
package:
	sh tools/install-deps.sh build windows package
	cmake --preset release
	cmake --build --preset release --target all package
	lintian --fail-on error build/release/packages/*.deb
	cmake --preset windows
	cmake --build --preset windows --target all package
	@ls build/release/packages/*.deb build/windows/packages/*.zip

# The flow a packager runs, with none of the optional packages: configure, build and install the
# library and korvan-size into build/plain/prefix.
PLAIN_FLAGS := -DCMAKE_BUILD_TYPE=Release -DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON \
	-DCMAKE_DISABLE_FIND_PACKAGE_fmt=ON -DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON \
	-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
plain:
	sh tools/install-deps.sh build
	cmake -S . -B build/plain $(PLAIN_FLAGS)
	cmake --build build/plain -j 2
	rm -rf build/plain/prefix
	cmake --install build/plain --prefix build/plain/prefix
	test -n "$$(find build/plain/prefix -name libKorvanCalcValueProvider.so.1)"
	build/plain/prefix/bin/korvan-size >/dev/null

# The C# binding Korvan.dll with its XML documentation, in build/dev/dotnet/ (docs/csharp.md).
.PHONY: dotnet nuget
dotnet: dev-deps
	cmake --preset dev
	cmake --build --preset dev --target korvan_dotnet

# The NuGet package build/nuget/Korvan.<version>.nupkg: Korvan.dll and the native library of the
# release build (linux-x64) with the DLL of the Windows build (win-x64, with the MinGW runtime
# DLLs it imports); then checked, and its example run under Mono from the package alone.
NUGET_DIR := build/nuget
nuget:
	sh tools/install-deps.sh build windows dotnet
	cmake --preset release
	cmake --build --preset release --target KorvanCalcValueProvider korvan_dotnet
	cmake --preset windows
	cmake --build --preset windows --target KorvanCalcValueProvider
	rm -f $(NUGET_DIR)/Korvan.*.nupkg
	/usr/bin/python3 dotnet/nuget/pack.py --header interface/KorvanCalcValueProviderC.h \
	  --manifest dotnet/nuget/Korvan.manifest.xml --license LICENSE \
	  --assembly build/release/dotnet/Korvan.dll --documentation build/release/dotnet/Korvan.xml \
	  --linux-library build/release/libKorvanCalcValueProvider.so \
	  --windows-library build/windows/bin/KorvanCalcValueProvider.dll --output $(NUGET_DIR)
	/usr/bin/python3 dotnet/nuget/check.py $(NUGET_DIR)/Korvan.*.nupkg \
	  --header interface/KorvanCalcValueProviderC.h --bindings dotnet/Korvan/NativeMethods.cs \
	  --example examples/csharp/ThreePoints.cs
