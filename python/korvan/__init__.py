"""Valve sizing with numpy: the KorvanCalcValueProvider library through its plain-C interface.

    >>> import korvan
    >>> solution = korvan.generate([1, 0, 3], [50, 100, 80])
    >>> solution.valve_size
    array([0.2 , 0.16, 0.1 ])
    >>> solution.scale_factor
    5.348333333333334

Every point is one record of ``ENTRY_DTYPE``, the library's own 72-byte layout, so arrays reach
the library without a copy and the call runs while other Python threads go on. A refused call
raises ``KorvanError`` and leaves the caller's arrays as they were.
"""

import ctypes

import numpy as np

from . import _inputs
from ._errors import KorvanError
from ._library import LIBRARY, Totals
from ._records import ENTRY_DTYPE
from ._solution import Solution

__version__ = "1.2.0"

# Shown as korvan.KorvanError and korvan.Solution in tracebacks and reprs.
KorvanError.__module__ = Solution.__module__ = __name__
__all__ = ["ENTRY_DTYPE", "KorvanError", "Solution", "fill", "generate",
           "smallest_possible_valves", "version"]


def generate(types, input_values, entries=None, caller_data=None):
    """Solves new points, after any held ones, into a new array.

    types        the point types, integers 0 to 3 (the library refuses others with code 12)
    input_values the points' input values, in the host's unit
    entries      None, or an ENTRY_DTYPE array (or a Solution) of points held from before; copied
                 to the front of the new array and never modified
    caller_data  None, or one unsigned 64-bit tag per new point; by default each new point is
                 tagged with its position in `types`, to join results back to the input rows

    Returns a Solution whose entries are all the points, largest demand first.
    Raises KorvanError when the library refuses the points, TypeError or ValueError (naming the
    argument) when an argument cannot be passed to it.
    """
    types = _inputs.integers(types, "types", np.uint32)
    count = _inputs.count(types, "types")
    input_values = _inputs.floats(input_values, "input_values", count)
    if caller_data is None:
        tags = np.arange(count, dtype=np.uint64)
    else:
        tags = _inputs.integers(caller_data, "caller_data", np.uint64, count)
    held = None if entries is None else _inputs.entries(entries, "entries")
    held_count = 0 if held is None else len(held)

    solved = np.zeros(held_count + count, ENTRY_DTYPE)
    if held_count:
        solved[:held_count] = held
    entry_count = ctypes.c_size_t(held_count)
    totals = Totals()
    LIBRARY.check(
        LIBRARY.generate_solution(count, types.ctypes.data, input_values.ctypes.data,
                                  tags.ctypes.data, solved.ctypes.data, len(solved),
                                  ctypes.byref(entry_count), ctypes.byref(totals)))
    return Solution.from_totals(solved, totals)


def fill(entries):
    """Re-solves an ENTRY_DTYPE array in place, after its types or input values were edited.

    entries  the array (or a Solution, standing for its entries); every demand is recomputed
             from the type and input value, then all points are solved and reordered by demand,
             each keeping its caller_data

    Returns a Solution whose entries are `entries` itself. A refused call raises KorvanError and
    leaves `entries` as it was: the array is restored from a copy taken before the call, since
    the library may have reordered it when memory ran out. A strided or unaligned array is
    solved in a contiguous copy and written back.
    """
    target = _inputs.entries(entries, "entries")
    if not target.flags.writeable:
        raise ValueError("entries is read-only; fill solves it in place")
    totals = Totals()
    if target.flags.c_contiguous and target.flags.aligned:
        backup = target.copy()
        result = LIBRARY.fill_solution(target.ctypes.data, len(target), ctypes.byref(totals))
        if result != 0:
            target[...] = backup
    else:
        work = np.array(target, order="C")
        result = LIBRARY.fill_solution(work.ctypes.data, len(work), ctypes.byref(totals))
        if result == 0:
            target[...] = work
    LIBRARY.check(result)
    return Solution.from_totals(target, totals)


def smallest_possible_valves(sizes):
    """The smallest sizes of the valve series that keep the ratios between the given sizes.

    sizes  valve sizes, positive; not modified

    Returns (sorted_sizes, smallest): `sizes` sorted largest first (values that are not a number
    last), and for each of them the size that stands for it, both new float64 arrays.
    Raises KorvanError when the library refuses the sizes (11 none, 13 no group of the series
    holds their ratios, 160 a size of zero or less).
    """
    ordered = _inputs.floats(sizes, "sizes", copy=True)
    smallest = np.zeros_like(ordered)
    LIBRARY.check(
        LIBRARY.smallest_possible_valves(ordered.ctypes.data, len(ordered), smallest.ctypes.data))
    return ordered, smallest


def version():
    """The version of the sizing interface the library implements (GetCurrentVersion): 1.0."""
    return LIBRARY.current_version()
