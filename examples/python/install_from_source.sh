# From the repository's root: a virtual environment that sees the system's numpy, and korvan
# installed into it from the source tree (pip has CMake build the library on the way).
set -e
python3 -m venv --system-site-packages venv
venv/bin/python -m pip install --quiet --no-build-isolation ./python
venv/bin/python -c "import korvan; print(korvan.generate([1, 0, 3], [50, 100, 80]).valve_size)"
