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
