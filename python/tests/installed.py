"""The package as users install it, checked from outside the source tree (CTest runs these).

    installed.py wheel WORK_DIR            the manylinux wheel: its tag against the library's
                                           symbol versions, then installed into a fresh venv by
                                           examples/python/install_wheel.sh, and the whole
                                           pytest suite run against it there
    installed.py source WORK_DIR           examples/python/install_from_source.sh: `pip install
                                           --no-build-isolation ./python` into a fresh venv
    installed.py windows BUILD_DIR WORK_DIR  the win_amd64 wheel of a MinGW build tree: what it
                                           holds, and every DLL the library needs inside it

The venvs see the system's packages (numpy, pytest, hypothesis); pip asks no index.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys
import zipfile
from typing import Dict, Iterable, List, Sequence, Set, Tuple

TESTS_DIR = pathlib.Path(__file__).resolve().parent
PYTHON_DIR = TESTS_DIR.parent
REPOSITORY = PYTHON_DIR.parent
sys.path.insert(0, str(PYTHON_DIR))

import wheels  # noqa: E402  (python/wheels.py, found through the line above)

EXAMPLES_DIR = REPOSITORY / "examples" / "python"
WHERE = "import korvan; print(korvan.__file__); print(korvan._library.LIBRARY.path)"

# The x86_64 limits of the manylinux policies (PEP 600; the policy files of PyPA's auditwheel):
# the highest symbol version each allows of the libraries every such system has, and those
# libraries. Oldest first.
POLICIES: Dict[str, Dict[str, str]] = {
    "manylinux_2_17": {"GLIBC": "2.17", "GLIBCXX": "3.4.19", "CXXABI": "1.3.7", "GCC": "4.8.0"},
    "manylinux_2_24": {"GLIBC": "2.24", "GLIBCXX": "3.4.22", "CXXABI": "1.3.10", "GCC": "4.8.0"},
    "manylinux_2_28": {"GLIBC": "2.28", "GLIBCXX": "3.4.24", "CXXABI": "1.3.11", "GCC": "7.0.0"},
}
POLICY_LIBRARIES = {"libgcc_s.so.1", "libstdc++.so.6", "libm.so.6", "libdl.so.2", "librt.so.1",
                    "libc.so.6", "libpthread.so.0", "libatomic.so.1"}
# Symbols of glibc that manylinux_2_17 forbids although its glibc exports them.
POLICY_FORBIDDEN = {"manylinux_2_17": {"__cxa_thread_atexit_impl", "__issignaling",
                                        "__issignalingf", "__issignalingl",
                                        "pthread_getattr_default_np",
                                        "pthread_setattr_default_np"}}
# DLLs every 64-bit Windows has; any other DLL the library needs must be in the wheel.
WINDOWS_SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll",
                       "ntdll.dll"}


def run(command: Sequence[object], **options: object) -> str:
    """Runs `command`, failing with its output when it fails; returns its standard output."""
    printable = " ".join(str(word) for word in command)
    print("$", printable, flush=True)
    done = subprocess.run([str(word) for word in command], capture_output=True, text=True,
                          check=False, **options)  # type: ignore[call-overload]
    if done.returncode != 0:
        sys.exit(f"failed ({done.returncode}): {printable}\n{done.stdout}{done.stderr}")
    return str(done.stdout)


def user_environment(**settings: str) -> Dict[str, str]:
    """A user's environment: no KORVAN_* or PYTHONPATH of the test run, pip offline, and this
    Python's python3 first on the PATH."""
    environment = wheels.offline_environment(**settings)
    environment.pop("PYTHONPATH", None)
    environment["PATH"] = os.pathsep.join([os.path.dirname(sys.executable),
                                           environment.get("PATH", "")])
    return environment


def run_install_example(name: str, work: pathlib.Path) -> pathlib.Path:
    """Runs examples/python/`name` in `work` as a user runs it in the repository's root, checks
    that it prints its .out, and returns the python of the venv it made."""
    shutil.rmtree(work / "venv", ignore_errors=True)
    example = EXAMPLES_DIR / name
    out = run(["sh", example], cwd=work, env=user_environment())
    expected = (EXAMPLES_DIR / f"{name}.out").read_text(encoding="utf-8")
    if out != expected:
        sys.exit(f"{example} printed\n{out}instead of {example}.out:\n{expected}")
    python = work / "venv" / "bin" / "python"
    package, library = run([python, "-c", WHERE], cwd=work, env=user_environment()).split()
    venv = (work / "venv").resolve()
    for installed in (package, library):
        if venv not in pathlib.Path(installed).resolve().parents:
            sys.exit(f"{installed} is not inside the venv {venv}")
    print(out, package, library, sep="\n")
    return python


def symbol_versions(library: pathlib.Path) -> Tuple[Set[str], Set[str], Set[str]]:
    """The symbol versions the library needs (GLIBC_2.14, ...), the symbols it takes from other
    libraries, and those libraries, as objdump reads them."""
    versions, imported = set(), set()
    for line in run(["objdump", "-T", library]).splitlines():
        match = re.search(r"\*UND\*\s+\S+\s+\(?([^\s)]+)\)?\s+(\S+)$", line)
        if match:
            if match.group(1) != "Base":  # unversioned (weak) references
                versions.add(match.group(1))
            imported.add(match.group(2))
    needed = set(re.findall(r"^\s*NEEDED\s+(\S+)$", run(["objdump", "-p", library]),
                            re.MULTILINE))
    return versions, imported, needed


def _number(version: str) -> Tuple[int, ...]:
    return tuple(int(part) for part in version.split("."))


def policy_breaches(policy: str, versions: Set[str], imported: Set[str],
                    needed: Set[str]) -> List[str]:
    """What keeps a library with these needs out of `policy`; empty when it meets it."""
    limits = POLICIES[policy]
    breaches = []
    for version in sorted(versions):
        match = re.fullmatch(r"([A-Z]+)_([0-9.]+)", version)
        if not match or match.group(1) not in limits:
            breaches.append(f"{version} (a version the policy does not list)")
        elif _number(match.group(2)) > _number(limits[match.group(1)]):
            breaches.append(f"{version} (at most {match.group(1)}_{limits[match.group(1)]})")
    breaches += [f"needs {name}, not a library of the policy" for name in
                 sorted(needed - POLICY_LIBRARIES)]
    breaches += [f"uses {name}" for name in sorted(imported & POLICY_FORBIDDEN.get(policy, set()))]
    return breaches


def highest_versions(versions: Set[str]) -> List[str]:
    """The highest version the library needs of each library's namespace."""
    highest: Dict[str, str] = {}
    for version in versions:
        namespace, _, number = version.partition("_")
        if namespace not in highest or _number(number) > _number(highest[namespace]):
            highest[namespace] = number
    return [f"{namespace}_{number}" for namespace, number in sorted(highest.items())]


def check_manylinux_tag(wheel: pathlib.Path, work: pathlib.Path) -> None:
    """The wheel's manylinux tag is the oldest policy the library inside it meets."""
    tag = re.search(r"-(manylinux_\d+_\d+)_x86_64\.whl$", wheel.name)
    if not tag or tag.group(1) not in POLICIES:
        sys.exit(f"{wheel.name}: no manylinux tag this check knows ({', '.join(POLICIES)})")
    claimed = tag.group(1)
    with zipfile.ZipFile(wheel) as archive:
        library = pathlib.Path(archive.extract("korvan/libKorvanCalcValueProvider.so.1",
                                               work / "unpacked"))
    needs = symbol_versions(library)
    print(f"the library needs {highest_versions(needs[0])} of {sorted(needs[2])}")
    breaches = policy_breaches(claimed, *needs)
    if breaches:
        sys.exit(f"{wheel.name} claims {claimed}, but the library breaks it: {breaches}")
    for older in list(POLICIES)[:list(POLICIES).index(claimed)]:
        if not policy_breaches(older, *needs):
            sys.exit(f"{wheel.name} claims {claimed}, but the library meets {older}: tag it so")
        print(f"not {older}: {policy_breaches(older, *needs)}")
    print(f"{claimed}: met")


def copy_tests(work: pathlib.Path) -> pathlib.Path:
    """The pytest suite, copied out of the source tree."""
    copied = work / "tests"
    shutil.rmtree(copied, ignore_errors=True)
    shutil.copytree(TESTS_DIR, copied, ignore=shutil.ignore_patterns(
        "__pycache__", "*.txt", "*.cmake", "installed.py", "windows"))
    return copied


def check_wheel(work: pathlib.Path) -> None:
    shutil.rmtree(work / "build", ignore_errors=True)
    wheel = wheels.build_wheel(work / "build" / "wheel", platform=wheels.MANYLINUX_TAG)
    check_manylinux_tag(wheel, work)
    python = run_install_example("install_wheel.sh", work)
    suite = copy_tests(work)
    print(run([python, "-m", "pytest", "-q", "-p", "no:cacheprovider", suite], cwd=work,
              env=user_environment(KORVAN_TEST_INSTALLED="1", KORVAN_SOURCE_DIR=str(REPOSITORY),
                                   HYPOTHESIS_PROFILE="ctest", PYTHONDONTWRITEBYTECODE="1")))


def check_source_install(work: pathlib.Path) -> None:
    # The example runs in the repository's root; here, a folder where ./python is that root's.
    work.mkdir(parents=True, exist_ok=True)
    source = work / "python"
    if not source.is_symlink():
        source.symlink_to(PYTHON_DIR, target_is_directory=True)
    run_install_example("install_from_source.sh", work)


def dlls_needed(dll: pathlib.Path) -> Set[str]:
    """The DLLs `dll` imports, lower-cased, as the MinGW objdump reads its import table."""
    out = run(["x86_64-w64-mingw32-objdump", "-p", dll])
    return {name.lower() for name in re.findall(r"DLL Name: (\S+)", out)}


def check_windows_wheel(build_dir: pathlib.Path, work: pathlib.Path) -> None:
    wheel = wheels.build_wheel(work / "wheel", build_dir=build_dir)
    version = run([sys.executable, str(PYTHON_DIR / "setup.py"), "--version"],
                  cwd=PYTHON_DIR, env=user_environment()).split()[-1]
    expected_name = f"korvan-{version}-py3-none-win_amd64.whl"
    if wheel.name != expected_name:
        sys.exit(f"the Windows wheel is {wheel.name}, not {expected_name}")
    with zipfile.ZipFile(wheel) as archive:
        sizes = {info.filename: info.file_size for info in archive.infolist()}
        archive.extractall(work / "unpacked")
    names = set(sizes)
    sources = {f"korvan/{path.name}" for path in (PYTHON_DIR / "korvan").iterdir()
               if path.suffix == ".py" or path.name == "py.typed"}
    missing = sources - names
    if missing:
        sys.exit(f"{wheel.name} lacks {sorted(missing)}")
    dlls = {name.split("/")[-1].lower() for name in names if name.endswith(".dll")}
    if "korvancalcvalueprovider.dll" not in dlls:
        sys.exit(f"{wheel.name} holds no KorvanCalcValueProvider.dll: {sorted(names)}")
    package = work / "unpacked" / "korvan"
    for dll in sorted(package.glob("*.dll")):
        lacking = {name for name in dlls_needed(dll) - dlls - WINDOWS_SYSTEM_DLLS
                   if not name.startswith("api-ms-win-")}
        if lacking:
            sys.exit(f"{dll.name} needs {sorted(lacking)}, which {wheel.name} lacks")
    unexpected = {name for name in names if not name.startswith(
        ("korvan/", f"korvan-{version}.dist-info/"))}
    if unexpected:
        sys.exit(f"{wheel.name} holds files outside the package: {sorted(unexpected)}")
    for name in sorted(names):
        print(f"{sizes[name]:10}  {name}")


def main(arguments: Iterable[str]) -> None:
    mode, *paths = arguments
    if mode == "wheel":
        check_wheel(pathlib.Path(paths[0]))
    elif mode == "source":
        check_source_install(pathlib.Path(paths[0]))
    elif mode == "windows":
        check_windows_wheel(pathlib.Path(paths[0]), pathlib.Path(paths[1]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
