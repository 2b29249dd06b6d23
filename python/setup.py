"""The steps of building korvan that need code (the rest is in pyproject.toml).

- The version is the C header's, the one place it is written.
- The library goes inside the package. By default it is built here with CMake, as a Release
  build in build/python-library of the repository. KORVAN_BUILD_DIR names a CMake build tree of
  the repository to take it from instead (absolute, or relative to the repository's root:
  `make wheel` takes the Windows DLL from build/windows).
  Which files to take comes from the tree's python/wheel-files.txt, written by cmake/Python.cmake:
  the library, the runtime DLLs a Windows build needs beside it, and the toolchain's strip.
- The wheel holds a library, so it is tagged py3-none-<platform>: any Python 3, no Python ABI.
  The platform is KORVAN_WHEEL_PLATFORM when set (`make wheel` sets the manylinux tag that
  python/tests/wheel_tag.py checks against the library's symbol versions), else the one the
  build tree names (win_amd64), else the building machine's.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Distribution, setup
from setuptools.command.build_py import build_py
from wheel.bdist_wheel import bdist_wheel

PYTHON_DIR = pathlib.Path(__file__).resolve().parent
REPOSITORY = PYTHON_DIR.parent
HEADER = REPOSITORY / "interface" / "KorvanCalcValueProviderC.h"
OWN_BUILD_DIR = REPOSITORY / "build" / "python-library"
# Files of a library in the package, from an earlier build of another platform.
LIBRARY_PATTERNS = ("*.so", "*.so.*", "*.dll", "*.dylib")


def header_version():
    """MAJOR.MINOR.PATCH from the KORVAN_VERSION_* lines of the C header."""
    text = HEADER.read_text(encoding="utf-8")
    parts = [re.search(rf"^#define KORVAN_VERSION_{part} (\d+)$", text, re.MULTILINE)
             for part in ("MAJOR", "MINOR", "PATCH")]
    if not all(parts):
        sys.exit(f"korvan: no KORVAN_VERSION_MAJOR/MINOR/PATCH in {HEADER}")
    return ".".join(part.group(1) for part in parts)


def run(command):
    print("korvan:", " ".join(str(word) for word in command), flush=True)
    try:
        subprocess.run([str(word) for word in command], check=True)
    except FileNotFoundError:
        sys.exit(f"korvan: {command[0]} not found; building the library needs CMake 3.25 and a "
                 "C++17 compiler")
    except subprocess.CalledProcessError as error:
        sys.exit(f"korvan: {command[0]} failed with status {error.returncode}")


def given_build_dir():
    """The build tree KORVAN_BUILD_DIR names, or None."""
    given = os.environ.get("KORVAN_BUILD_DIR")
    return (REPOSITORY / given).resolve() if given else None


def library_build_dir():
    """A CMake build tree with the library built in it, configured here if need be."""
    build_dir = given_build_dir() or OWN_BUILD_DIR
    if build_dir == OWN_BUILD_DIR and not (build_dir / "CMakeCache.txt").exists():
        run(["cmake", "-S", REPOSITORY, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
             "-DKORVAN_DEVELOPER_MODE=OFF"])
    run(["cmake", "--build", build_dir, "--target", "KorvanCalcValueProvider", "--parallel", "2"])
    return build_dir


def wheel_files(build_dir):
    """(entries of kind `file` as (source, name), strip program or None, platform or None)."""
    manifest = build_dir / "python" / "wheel-files.txt"
    if not manifest.exists():
        sys.exit(f"korvan: {manifest} is missing; is {build_dir} a build tree of the library?")
    files, settings = [], {}
    for line in manifest.read_text(encoding="utf-8").splitlines():
        kind, *values = line.split("\t")
        if kind == "file":
            files.append((pathlib.Path(values[0]), values[1]))
        else:
            settings[kind] = values[0]
    return files, settings.get("strip"), settings.get("platform")


class BuildPyWithLibrary(build_py):
    """Copies the package, then the library and the DLLs it needs, stripped, into it."""

    def run(self):
        super().run()
        package_dir = pathlib.Path(self.build_lib) / "korvan"
        for pattern in LIBRARY_PATTERNS:
            for stale in package_dir.glob(pattern):
                stale.unlink()
        files, strip, _ = wheel_files(library_build_dir())
        for source, name in files:
            target = package_dir / name
            shutil.copyfile(source, target)
            if strip:  # the exported and dynamic symbols stay; debugging information goes
                run([strip, "--strip-unneeded", target])


class DistributionWithLibrary(Distribution):
    """A distribution for one platform: the library makes it so, though the code is Python."""

    def has_ext_modules(self):
        return True


class BdistWheelWithLibrary(bdist_wheel):
    """A wheel for one platform, for every Python 3."""

    def get_tag(self):
        platform = os.environ.get("KORVAN_WHEEL_PLATFORM")
        if not platform and given_build_dir():
            platform = wheel_files(given_build_dir())[2]
        return "py3", "none", platform or super().get_tag()[2]


# Each platform's setuptools files apart, so that no file of one reaches the other's wheel.
BUILD_BASE = REPOSITORY / "build" / "python-setuptools" / (
    os.environ.get("KORVAN_WHEEL_PLATFORM") or (given_build_dir() or OWN_BUILD_DIR).name)
BUILD_BASE.mkdir(parents=True, exist_ok=True)

setup(
    version=header_version(),
    distclass=DistributionWithLibrary,
    cmdclass={"build_py": BuildPyWithLibrary, "bdist_wheel": BdistWheelWithLibrary},
    options={"build": {"build_base": str(BUILD_BASE)},
             "egg_info": {"egg_base": str(BUILD_BASE)}},
)
