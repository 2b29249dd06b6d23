"""Finding and loading the library, and the prototypes of its plain-C interface.

The library is looked for, in order:

1. the path in the environment variable ``KORVAN_LIBRARY``, when it is set (and nowhere else
   then, so that a wrong setting is reported rather than passed over);
2. inside this package, where a wheel (or ``pip install`` from the source tree) puts it;
3. where ``cmake --install`` put it, relative to this package (``_install_layout.py``, written
   by the install);
4. by its file name, on the system's own search path for libraries.

A place whose file does not load, lacks a function of the interface or has another major version
is passed over; when no place holds a usable library, the ImportError names every place tried
and why each was passed over.
"""

from __future__ import annotations

import ctypes
import os
import sys
from typing import Any, Callable, Dict, List, Mapping, Optional, Sequence, Tuple

from ._errors import KorvanError, Result, Rule, refusal_message

# The major version of the C interface this package is written against.
INTERFACE_MAJOR = 1
PACKAGE_DIR = os.path.dirname(os.path.abspath(__file__))

if sys.platform == "win32":
    LIBRARY_FILE_NAME = "KorvanCalcValueProvider.dll"
elif sys.platform == "darwin":
    LIBRARY_FILE_NAME = "libKorvanCalcValueProvider.1.dylib"
else:
    LIBRARY_FILE_NAME = "libKorvanCalcValueProvider.so.1"


class Totals(ctypes.Structure):
    """KorvanSolutionTotals: the four numbers a solve reports."""

    _fields_ = [
        ("deviationMax", ctypes.c_double),
        ("deviationMin", ctypes.c_double),
        ("scaleFactor", ctypes.c_double),
        ("reducedScaleFactor", ctypes.c_double),
    ]


# KorvanCallPoints.call: which call's points are diagnosed.
CALL_GENERATE, CALL_FILL, CALL_SMALLEST = 1, 2, 3
NO_POINT = -1


class CallPoints(ctypes.Structure):
    """KorvanCallPoints: the points of a call, as the host passed them to it."""

    _fields_ = [
        ("call", ctypes.c_int32),
        ("entries", ctypes.c_void_p),
        ("entryCount", ctypes.c_size_t),
        ("types", ctypes.c_void_p),
        ("values", ctypes.c_void_p),
        ("count", ctypes.c_size_t),
    ]


class Diagnosis(ctypes.Structure):
    """KorvanDiagnosis: the rule a call's points break and the point responsible."""

    _fields_ = [
        ("result", ctypes.c_int32),
        ("rule", ctypes.c_int32),
        ("point", ctypes.c_int64),
        ("otherPoint", ctypes.c_int64),
    ]


# Arrays are passed as plain addresses (ndarray.ctypes.data): the cheapest conversion ctypes has.
_PROTOTYPES: Dict[str, Tuple[Any, List[Any]]] = {
    "KorvanGenerateSolution": (
        ctypes.c_int32,
        [
            ctypes.c_int32,  # count
            ctypes.c_void_p,  # types (uint32)
            ctypes.c_void_p,  # inputValues (double)
            ctypes.c_void_p,  # callerData (uint64)
            ctypes.c_void_p,  # entries
            ctypes.c_size_t,  # capacity
            ctypes.POINTER(ctypes.c_size_t),  # entryCount
            ctypes.POINTER(Totals),  # totals
        ],
    ),
    "KorvanFillSolution": (
        ctypes.c_int32,
        [ctypes.c_void_p, ctypes.c_size_t, ctypes.POINTER(Totals)],
    ),
    "KorvanGetSmallestPossibleValves": (
        ctypes.c_int32,
        [ctypes.c_void_p, ctypes.c_size_t, ctypes.c_void_p],
    ),
    "KorvanDescribeResult": (ctypes.c_char_p, [ctypes.c_int32]),
    "KorvanDiagnose": (ctypes.c_int32, [ctypes.POINTER(CallPoints), ctypes.POINTER(Diagnosis)]),
    "KorvanDescribeRule": (ctypes.c_char_p, [ctypes.c_int32]),
    "KorvanGetLibraryVersion": (ctypes.c_uint32, []),
    "GetCurrentVersion": (ctypes.c_double, []),
}


def _sentence(text: Optional[bytes]) -> str:
    return (text or b"").decode("utf-8", "replace")


class Library:
    """One loaded library: its path and its functions, with their prototypes set."""

    generate_solution: Callable[..., int]
    fill_solution: Callable[..., int]
    smallest_possible_valves: Callable[..., int]

    def __init__(self, path: str, dll: ctypes.CDLL) -> None:
        self.path = path
        for name, (restype, argtypes) in _PROTOTYPES.items():
            function = getattr(dll, name)  # AttributeError when the library lacks it
            function.restype = restype
            function.argtypes = argtypes
        self.generate_solution = dll.KorvanGenerateSolution
        self.fill_solution = dll.KorvanFillSolution
        self.smallest_possible_valves = dll.KorvanGetSmallestPossibleValves
        self._describe_result = dll.KorvanDescribeResult
        self._diagnose = dll.KorvanDiagnose
        self._describe_rule = dll.KorvanDescribeRule
        self._library_version = dll.KorvanGetLibraryVersion
        self._current_version = dll.GetCurrentVersion

    def library_version(self) -> int:
        """KorvanGetLibraryVersion: MAJOR * 10000 + MINOR * 100 + PATCH."""
        return int(self._library_version())

    def current_version(self) -> float:
        """GetCurrentVersion: the version of the sizing interface."""
        return float(self._current_version())

    def describe_result(self, code: int) -> str:
        """The library's sentence for a result code."""
        return _sentence(self._describe_result(code))

    def describe_rule(self, rule: int) -> str:
        """The library's sentence for a rule."""
        return _sentence(self._describe_rule(rule))

    def refusal(self, code: int, points: CallPoints) -> KorvanError:
        """The KorvanError of a refused call, with the rule and point the library names.

        `points` are the call's points as passed, unchanged since the call (a refusal for
        memory may have reordered them; it is about no point, and none is asked for).
        """
        diagnosis = Diagnosis()
        if code == Result.OUT_OF_MEMORY or self._diagnose(
                ctypes.byref(points), ctypes.byref(diagnosis)) != code or diagnosis.result != code:
            # Only a verdict that explains this very refusal names a point.
            diagnosis = Diagnosis(code, Rule.NONE, NO_POINT, NO_POINT)
        point = None if diagnosis.point == NO_POINT else int(diagnosis.point)
        other = None if diagnosis.otherPoint == NO_POINT else int(diagnosis.otherPoint)
        rule_sentence = self.describe_rule(diagnosis.rule) if diagnosis.rule != Rule.NONE else ""
        message = refusal_message(self.describe_result(code), rule_sentence, point, other)
        return KorvanError(Result(code), message, Rule(diagnosis.rule), point, other)


def _installed_location() -> Optional[str]:
    """The library's path as ``cmake --install`` laid it out beside this package, or None."""
    try:
        from ._install_layout import LIBRARY_FROM_PACKAGE  # type: ignore[import]
    except ImportError:
        return None
    return os.path.normpath(os.path.join(PACKAGE_DIR, str(LIBRARY_FROM_PACKAGE)))


def candidates(environ: Mapping[str, str] = os.environ) -> List[str]:
    """The places the library is looked for, in order."""
    configured = environ.get("KORVAN_LIBRARY")
    if configured:
        return [os.path.abspath(configured)]
    places = [os.path.join(PACKAGE_DIR, LIBRARY_FILE_NAME)]
    installed = _installed_location()
    if installed is not None:
        places.append(installed)
    # A bare file name makes the system's loader search its own path.
    return places + [LIBRARY_FILE_NAME]


def open_library(path: str, interface_major: int = INTERFACE_MAJOR) -> Library:
    """Loads the library at `path` and checks it; raises OSError naming what is wrong."""
    dll = ctypes.CDLL(path)
    try:
        library = Library(path, dll)
    except AttributeError as missing:
        raise OSError(f"not the library's C interface, or older than 1.2 ({missing})") from None
    version = library.library_version()
    major = version // 10000
    if major != interface_major:
        raise OSError(
            f"library version {major}.{version // 100 % 100}.{version % 100}, "
            f"but this package needs {interface_major}.x"
        )
    return library


def load(places: Sequence[str]) -> Library:
    """The first usable library among `places`; ImportError naming every place otherwise."""
    reasons = []
    for place in places:
        try:
            return open_library(place)
        except OSError as error:
            reasons.append(f"  {place}: {error}")
    raise ImportError(
        "korvan could not load the KorvanCalcValueProvider library; tried, in order:\n"
        + "\n".join(reasons)
        + "\nSet KORVAN_LIBRARY to the library's path, or install the library with the package."
    )


LIBRARY = load(candidates())
