"""Setup of the korvan tests: where the package and the library are, and the Hypothesis profiles.

CTest runs them with KORVAN_LIBRARY set to the library it built and PYTHONPATH set to python/.
Run by hand from the repository, they default to the dev build:

    /usr/bin/python3 -m pytest python/tests

With KORVAN_TEST_INSTALLED=1 (python/tests/installed.py sets it) they test the package as
installed, found the way a user's import finds it, with the library inside it.
"""

import os
import pathlib
import sys

from hypothesis import settings

PYTHON_DIR = pathlib.Path(__file__).resolve().parents[1]
if os.environ.get("KORVAN_TEST_INSTALLED") != "1":
    if "KORVAN_LIBRARY" not in os.environ:
        os.environ["KORVAN_LIBRARY"] = str(
            PYTHON_DIR.parent / "build" / "dev" / "libKorvanCalcValueProvider.so.1")
    if str(PYTHON_DIR) not in sys.path:
        sys.path.insert(0, str(PYTHON_DIR))

# CI gets the same examples on every run and writes no example database; no deadline, since
# the machine is shared and a slow example is no failure.
settings.register_profile("ctest", derandomize=True, database=None, deadline=None)
settings.register_profile("dev", deadline=None)
settings.load_profile(os.environ.get("HYPOTHESIS_PROFILE", "dev"))
