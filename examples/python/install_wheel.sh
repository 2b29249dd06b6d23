# After `make wheel`, from the repository's root: a virtual environment that sees the system's
# numpy, the manylinux wheel installed into it without asking any package index, a first call.
set -e
python3 -m venv --system-site-packages venv
venv/bin/python -m pip install --quiet --no-index build/wheel/korvan-*-manylinux_*_x86_64.whl
venv/bin/python -c "import korvan; print(korvan.generate([1, 0, 3], [50, 100, 80]))"
