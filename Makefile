# The newcomer's entry points. Everything else runs through CMake presets.
.PHONY: test build release clean

test:
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev

build:
	cmake --preset dev
	cmake --build --preset dev

release:
	cmake --preset release
	cmake --build --preset release

clean:
	rm -rf build

# Benchmarks: a release build of bench/, its results as JSON and the plot of time against n.
.PHONY: bench callgrind
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
