"""Finding and loading the library, and the prototypes of its plain-C interface.

The library is looked for, in order:

1. the path in the environment variable ``KORVAN_LIBRARY``, when it is set (and nowhere else
   then, so that a wrong setting is reported rather than passed over);
2. where ``cmake --install`` put it, relative to this package (``_install_layout.py``, written
   by the install);
3. by its file name, on the system's own search path for libraries.

A place whose file does not load, lacks a function of the interface or has another major version
is passed over; when no place holds a usable library, the ImportError names every place tried
and why each was passed over.
"""

import ctypes
import os
import sys

from ._errors import KorvanError

# The major version of the C interface this package is written against.
INTERFACE_MAJOR = 1

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


# Arrays are passed as plain addresses (ndarray.ctypes.data): the cheapest conversion ctypes has.
_PROTOTYPES = {
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
    "KorvanGetLibraryVersion": (ctypes.c_uint32, []),
    "GetCurrentVersion": (ctypes.c_double, []),
}


class Library:
    """One loaded library: its path and its functions, with their prototypes set."""

    def __init__(self, path, dll):
        self.path = path
        for name, (restype, argtypes) in _PROTOTYPES.items():
            function = getattr(dll, name)  # AttributeError when the library lacks it
            function.restype = restype
            function.argtypes = argtypes
        self.generate_solution = dll.KorvanGenerateSolution
        self.fill_solution = dll.KorvanFillSolution
        self.smallest_possible_valves = dll.KorvanGetSmallestPossibleValves
        self.describe_result = dll.KorvanDescribeResult
        self.library_version = dll.KorvanGetLibraryVersion
        self.current_version = dll.GetCurrentVersion

    def error(self, code):
        """The KorvanError for a non-zero result code, with the library's sentence."""
        sentence = self.describe_result(code)
        return KorvanError(code, sentence.decode("utf-8", "replace"))

    def check(self, code):
        """Raises the KorvanError of a non-zero result code."""
        if code != 0:
            raise self.error(code)


def _installed_location():
    """The library's path as ``cmake --install`` laid it out beside this package, or None."""
    try:
        from ._install_layout import LIBRARY_FROM_PACKAGE
    except ImportError:
        return None
    package_dir = os.path.dirname(os.path.abspath(__file__))
    return os.path.normpath(os.path.join(package_dir, LIBRARY_FROM_PACKAGE))


def candidates(environ=os.environ):
    """The places the library is looked for, in order."""
    configured = environ.get("KORVAN_LIBRARY")
    if configured:
        return [os.path.abspath(configured)]
    installed = _installed_location()
    places = [installed] if installed is not None else []
    # A bare file name makes the system's loader search its own path.
    return places + [LIBRARY_FILE_NAME]


def open_library(path, interface_major=INTERFACE_MAJOR):
    """Loads the library at `path` and checks it; raises OSError naming what is wrong."""
    dll = ctypes.CDLL(path)
    try:
        library = Library(path, dll)
    except AttributeError as missing:
        raise OSError(f"not the library's C interface ({missing})") from None
    version = library.library_version()
    major = version // 10000
    if major != interface_major:
        raise OSError(
            f"library version {major}.{version // 100 % 100}.{version % 100}, "
            f"but this package needs {interface_major}.x"
        )
    return library


def load(places):
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
