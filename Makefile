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

# The packages the sample host korvan-size builds with, installed only where missing.
deps:
	sh tools/install-deps.sh

# Builds everything and sizes the built-in example with korvan-size.
demo: deps
	cmake --preset dev
	cmake --build --preset dev
	./build/dev/korvan-size
