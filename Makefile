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

# Hardening: the whole suite under sanitizers. `make check` runs what CI runs.
.PHONY: check asan tsan

check: test asan

asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

tsan:
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan
