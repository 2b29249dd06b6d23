#!/bin/sh
# Installs the Debian packages that the project's commands need, group by group, and in each group
# only the packages that are missing. The library itself needs nothing but a C++17 compiler.
#
# usage: tools/install-deps.sh [group...]      (default: build test python)
#   build    compiler, CMake, Ninja, pkg-config, and dpkg-dev and file for CPack's .deb
#   test     GoogleTest, Google Benchmark, clang with its sanitizer and fuzzer runtimes, valgrind,
#            man to check the installed manual page
#   host     nothing: the sample host korvan-size needs only the C++ standard library
#   python   Debian's python3 with numpy, pytest, hypothesis and mypy, and venv, pip, setuptools
#            and wheel for installing and building the package korvan
#   windows  MinGW-w64 and Wine, for the cross-built DLL and its tests
#   dotnet   Mono's C# compiler and runtime, for the C# binding, its tests and the NuGet package
#   web      emscripten, npm (unless one is on PATH) and Chromium for the browser tests
#   docs     Doxygen, for the API reference (make docs)
#   package  lintian, which checks the .deb (make package)
set -eu

packages_of() {
    case "$1" in
        build) echo "g++ cmake ninja-build pkg-config make dpkg-dev file" ;;
        test) echo "googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev valgrind man-db" ;;
        host) echo "" ;;
        python)
            echo "python3 python3-numpy python3-pytest python3-hypothesis python3-mypy" \
                "python3-venv python3-pip python3-setuptools python3-wheel"
            ;;
        windows) echo "g++-mingw-w64-x86-64-posix wine64 googletest" ;;
        dotnet) echo "mono-mcs mono-runtime" ;;
        docs) echo "doxygen" ;;
        package) echo "lintian" ;;
        web)
            # A Node.js from elsewhere (NodeSource's, say) brings its own npm and conflicts with
            # Debian's; ask for Debian's only where there is none.
            if command -v npm >/dev/null 2>&1; then
                echo "emscripten chromium"
            else
                echo "emscripten nodejs npm chromium"
            fi
            ;;
        *)
            echo "install-deps: unknown group '$1'" >&2
            exit 2
            ;;
    esac
}

groups="${*:-build test python}"

wanted=""
for group in $groups; do
    wanted="$wanted $(packages_of "$group")"
done

if ! command -v dpkg >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "install-deps: no dpkg/apt-get here; install these yourself:$wanted" >&2
    exit 0
fi

missing=""
for package in $wanted; do
    if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
        case " $missing " in
            *" $package "*) ;;
            *) missing="$missing $package" ;;
        esac
    fi
done
if [ -z "$missing" ]; then
    exit 0
fi

as_root=""
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "install-deps: need root (or sudo) to install:$missing" >&2
        exit 1
    fi
    as_root="sudo"
fi

echo "install-deps: installing$missing"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update
# $missing is a list of package names and must split into words.
# shellcheck disable=SC2086
$as_root apt-get install -y --no-install-recommends $missing
