"""Runs an example of python/README.md and checks that it prints exactly its .out file.

    run_example.py EXAMPLE.py
"""

import difflib
import pathlib
import subprocess
import sys


def main(example: pathlib.Path) -> None:
    expected = example.with_name(example.name + ".out").read_bytes()
    done = subprocess.run([sys.executable, str(example)], capture_output=True, check=False)
    if done.returncode != 0:
        sys.exit(f"{example} failed ({done.returncode}):\n{done.stderr.decode(errors='replace')}")
    if done.stdout != expected:
        difference = difflib.unified_diff(
            expected.decode(errors="replace").splitlines(keepends=True),
            done.stdout.decode(errors="replace").splitlines(keepends=True),
            f"{example.name}.out", "printed")
        sys.exit(f"{example} does not print its .out:\n{''.join(difference)}")


if __name__ == "__main__":
    main(pathlib.Path(sys.argv[1]))
