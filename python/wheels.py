"""Builds korvan's wheels offline, with the pip, setuptools and wheel of the system.

    /usr/bin/python3 python/wheels.py OUT_DIR [--linux] [--windows BUILD_DIR]

--linux builds the library with CMake (python/setup.py does) into a wheel tagged MANYLINUX_TAG;
--windows takes the DLL and its runtime DLLs from a MinGW build tree (build/windows). `make
wheel` runs both into build/wheel/. No package index is asked: pip runs with --no-index, no
configuration file and no extra place to look for packages.
"""

import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
from typing import Dict, List, Optional

PYTHON_DIR = pathlib.Path(__file__).resolve().parent
REPOSITORY = PYTHON_DIR.parent

# The oldest manylinux policy whose symbol versions the release library stays within, as
# python/tests/installed_wheel.py checks against `objdump -T` of the library in the wheel.
MANYLINUX_TAG = "manylinux_2_24_x86_64"


def offline_environment(**settings: str) -> Dict[str, str]:
    """The environment for pip: no configuration file, no index, no extra place for packages."""
    environment = {name: value for name, value in os.environ.items()
                   if not name.startswith(("PIP_", "KORVAN_"))}
    environment.update(PIP_CONFIG_FILE=os.devnull, PIP_NO_INDEX="1",
                       PIP_DISABLE_PIP_VERSION_CHECK="1", **settings)
    return environment


def build_wheel(out_dir: pathlib.Path, platform: Optional[str] = None,
                build_dir: Optional[pathlib.Path] = None, python: str = sys.executable
                ) -> pathlib.Path:
    """Builds one wheel of the package into `out_dir` and returns its path."""
    settings = {}
    if platform:
        settings["KORVAN_WHEEL_PLATFORM"] = platform
    if build_dir:
        settings["KORVAN_BUILD_DIR"] = str(build_dir.resolve())
    out_dir.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory(dir=out_dir) as fresh:
        subprocess.run([python, "-m", "pip", "wheel", "--no-build-isolation", "--no-index",
                        "--no-deps", "--wheel-dir", fresh, str(PYTHON_DIR)],
                       check=True, env=offline_environment(**settings))
        (made,) = pathlib.Path(fresh).glob("*.whl")
        return pathlib.Path(shutil.move(str(made), str(out_dir / made.name)))


def main(arguments: List[str]) -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out_dir", type=pathlib.Path)
    parser.add_argument("--linux", action="store_true", help="the manylinux wheel")
    parser.add_argument("--windows", type=pathlib.Path, metavar="BUILD_DIR",
                        help="the win_amd64 wheel, from this MinGW build tree")
    options = parser.parse_args(arguments)
    if options.linux:
        print(build_wheel(options.out_dir, platform=MANYLINUX_TAG))
    if options.windows:
        print(build_wheel(options.out_dir, build_dir=options.windows))


if __name__ == "__main__":
    main(sys.argv[1:])
