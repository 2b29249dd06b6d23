"""Finding the library: KORVAN_LIBRARY first, else inside the package (a wheel), else where
cmake --install put it beside the package, else the system's search path; when none holds a
usable library, the ImportError names each place tried and why it was passed over."""

import ctypes.util
import os
import pathlib
import shutil
import subprocess
import sys

import pytest

import korvan
from korvan import _library

# The library this test run uses: the build's, or the installed package's own.
BUILT_LIBRARY = os.path.realpath(_library.LIBRARY.path)
EXAMPLE = "import korvan; print(korvan._library.LIBRARY.path); " \
          "print(korvan.generate([1, 0, 3], [50, 100, 80]).valve_size.tolist())"


def run_python(code, directory, pythonpath, **environment):
    """`code` in a fresh interpreter, without the test run's KORVAN_LIBRARY unless given."""
    env = {name: value for name, value in os.environ.items() if name != "KORVAN_LIBRARY"}
    env.update(environment, PYTHONPATH=str(pythonpath))
    return subprocess.run([sys.executable, "-c", code], cwd=directory, env=env,
                          capture_output=True, text=True, check=False)


def install_package(prefix):
    """The package and the built library laid out as cmake --install lays them out."""
    packages = prefix / "lib" / "python3" / "dist-packages"
    shutil.copytree(pathlib.Path(korvan.__file__).parent, packages / "korvan",
                    ignore=shutil.ignore_patterns("__pycache__", "_install_layout.py",
                                                  _library.LIBRARY_FILE_NAME, "*.dll"))
    library = prefix / "lib" / _library.LIBRARY_FILE_NAME
    shutil.copy(BUILT_LIBRARY, library)
    (packages / "korvan" / "_install_layout.py").write_text(
        f'LIBRARY_FROM_PACKAGE = "../../../../lib/{_library.LIBRARY_FILE_NAME}"\n')
    return packages, library


def test_the_installed_layout_is_found_without_the_variable(tmp_path):
    packages, library = install_package(tmp_path / "prefix")
    run = run_python(EXAMPLE, tmp_path, packages)
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines() == [str(library), "[0.2, 0.16, 0.1]"]


def test_korvan_library_comes_first_and_is_the_only_place_tried(tmp_path):
    packages, _ = install_package(tmp_path / "prefix")
    chosen = tmp_path / "chosen" / _library.LIBRARY_FILE_NAME
    chosen.parent.mkdir()
    shutil.copy(BUILT_LIBRARY, chosen)
    run = run_python(EXAMPLE, tmp_path, packages, KORVAN_LIBRARY=str(chosen))
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines()[0] == str(chosen)

    missing = tmp_path / "missing" / _library.LIBRARY_FILE_NAME
    run = run_python(EXAMPLE, tmp_path, packages, KORVAN_LIBRARY=str(missing))
    assert run.returncode != 0
    message = run.stderr[run.stderr.index("ImportError: korvan could not load"):].splitlines()
    assert message[1].startswith(f"  {missing}: ")
    assert message[2].startswith("Set KORVAN_LIBRARY")  # no other place tried


def test_a_library_inside_the_package_comes_before_the_install_layout(tmp_path):
    packages, _ = install_package(tmp_path / "prefix")
    inside = packages / "korvan" / _library.LIBRARY_FILE_NAME
    shutil.copy(BUILT_LIBRARY, inside)
    run = run_python(EXAMPLE, tmp_path, packages)
    assert run.returncode == 0, run.stderr
    assert run.stdout.splitlines() == [str(inside), "[0.2, 0.16, 0.1]"]


def test_the_places_and_their_order():
    assert _library.candidates({"KORVAN_LIBRARY": "relative/lib"}) == [
        os.path.abspath("relative/lib")]
    inside = os.path.join(os.path.dirname(os.path.abspath(korvan.__file__)),
                          _library.LIBRARY_FILE_NAME)
    installed = _library._installed_location()
    assert _library.candidates({"KORVAN_LIBRARY": ""}) == (
        [inside] + ([] if installed is None else [installed]) + [_library.LIBRARY_FILE_NAME])


def other_library():
    name = "msvcrt" if sys.platform == "win32" else "c"
    path = ctypes.util.find_library(name)
    if path is None:
        pytest.skip(f"no {name} library to load")
    return path


def test_no_usable_library_names_every_place_tried_and_why(tmp_path):
    absent = str(tmp_path / "absent" / _library.LIBRARY_FILE_NAME)
    unrelated = other_library()
    with pytest.raises(ImportError) as raised:
        _library.load([absent, unrelated])
    lines = str(raised.value).splitlines()
    assert lines[0] == ("korvan could not load the KorvanCalcValueProvider library; tried, "
                        "in order:")
    assert lines[1].startswith(f"  {absent}: ")
    assert lines[2].startswith(f"  {unrelated}: not the library's C interface")
    assert "KORVAN_LIBRARY" in lines[3]


def test_a_library_of_another_major_version_is_passed_over():
    with pytest.raises(OSError, match=r"^library version 1\.\d+\.\d+, but this package needs "
                                      r"2\.x$"):
        _library.open_library(BUILT_LIBRARY, interface_major=2)


def test_the_package_version_is_the_librarys():
    version = _library.open_library(BUILT_LIBRARY).library_version()
    assert korvan.__version__ == f"{version // 10000}.{version // 100 % 100}.{version % 100}"
