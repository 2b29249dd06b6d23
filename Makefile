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

# Hardening: the whole suite under sanitizers, and the same bits from every build. `make check`
# runs what CI runs.
.PHONY: check asan tsan same-bits

check: test asan same-bits

asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

tsan:
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

# g++ -O0 and -O2, clang -O2 (where the machine has fused multiply-add, a contracted operation
# would change bits) and the sanitizer build.
same-bits:
	tools/compare-builds.sh release clang-release dev asan
