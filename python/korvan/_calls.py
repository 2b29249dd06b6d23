"""The three solving calls of the package, over the library's C interface."""

from __future__ import annotations

import ctypes
from typing import Optional, Tuple, Union

import numpy as np
import numpy.typing as npt

from . import _inputs
from ._library import (CALL_FILL, CALL_GENERATE, CALL_SMALLEST, LIBRARY, CallPoints, Totals)
from ._locks import CLAIMS
from ._locks import address as _address
from ._records import ENTRY_DTYPE
from ._solution import Solution

# What the calls accept: a numpy array or anything numpy reads as a one-dimensional array.
ArrayLike = npt.ArrayLike
Entries = Union[npt.NDArray[np.void], Solution]


def generate(types: ArrayLike, input_values: ArrayLike, entries: Optional[Entries] = None,
             caller_data: Optional[ArrayLike] = None) -> Solution:
    """Solve new points, after any held ones, into a new array.

    Parameters
    ----------
    types : array_like of int
        The point types, integers 0 to 3 (the library refuses others).
    input_values : array_like of float
        The points' input values, in the host's unit; one for each type.
    entries : numpy.ndarray of ENTRY_DTYPE, or Solution, optional
        Points held from before, copied to the front of the new array and never modified.
    caller_data : array_like of int, optional
        One unsigned 64-bit tag for each new point. By default each new point is tagged with its
        position in `types`, to join results back to the input rows.

    Returns
    -------
    Solution
        All the points, held and new, largest demand first, each with its valve size and
        deviation, and the four numbers of the solve.

    Raises
    ------
    KorvanError
        The library refused the points; ``point`` counts the held entries first, then the new
        points in the order given.
    TypeError, ValueError
        An argument cannot be passed to the library; the message names it, and the index of
        the value at fault.

    Notes
    -----
    The demands of new points are computed with twice the multiplier that `fill` uses, so held
    entries that came from `fill` have demands unlike those of the new points.

    Examples
    --------
    >>> solution = korvan.generate([1, 0, 3], [50, 100, 80])
    >>> solution.valve_size
    array([0.2 , 0.16, 0.1 ])
    """
    type_array = _inputs.sequence(types, "types", integral=True)
    value_array = _inputs.sequence(input_values, "input_values")
    count = _inputs.count(type_array, "types")
    _inputs.check_length(value_array, "input_values", count)
    tag_array = None
    if caller_data is not None:
        tag_array = _inputs.sequence(caller_data, "caller_data", integral=True)
        _inputs.check_length(tag_array, "caller_data", count)
    held = None if entries is None else _inputs.entries(entries, "entries")
    held_count = 0 if held is None else len(held)

    claimed = (_inputs.callers(types, type_array), _inputs.callers(input_values, value_array),
               None if tag_array is None else _inputs.callers(caller_data, tag_array), held)
    with CLAIMS.claim(reads=claimed):
        new_types = _inputs.integers(type_array, "types", np.uint32)
        values = _inputs.floats(value_array, "input_values")
        tags = (np.arange(count, dtype=np.uint64) if tag_array is None
                else _inputs.integers(tag_array, "caller_data", np.uint64))
        solved = np.empty(held_count + count, ENTRY_DTYPE)
        if held is not None:
            solved[:held_count] = held
        entry_count = ctypes.c_size_t(held_count)
        totals = Totals()
        code = LIBRARY.generate_solution(count, _address(new_types), _address(values),
                                         _address(tags), _address(solved), len(solved),
                                         ctypes.byref(entry_count), ctypes.byref(totals))
        if code != 0:
            raise LIBRARY.refusal(code, CallPoints(
                CALL_GENERATE, _address(solved), held_count, _address(new_types),
                _address(values), count))
    return Solution.from_totals(solved, totals)


def fill(entries: Entries) -> Solution:
    """Re-solve entries in place, after their types or input values were edited.

    Every demand is recomputed from the point's type and input value, then all points are
    solved and ordered by demand, largest first, each keeping its ``caller_data``.

    Parameters
    ----------
    entries : numpy.ndarray of ENTRY_DTYPE, or Solution
        The points, solved in their own memory. A strided or unaligned array is solved in a
        contiguous copy and written back.

    Returns
    -------
    Solution
        Given a Solution, that same object, its entries and its four numbers updated; given an
        array, a new Solution whose entries are that array.

    Raises
    ------
    KorvanError
        The library refused the points; ``point`` is the index in `entries`. The entries are
        left as they were, except after a refusal for memory (``Result.OUT_OF_MEMORY``), which
        may leave them reordered, each entry whole.
    TypeError, ValueError
        `entries` is not a writable one-dimensional array of ENTRY_DTYPE (or a Solution).

    Notes
    -----
    `fill` computes demands with half the multiplier that `generate` uses. Its demands are
    consistent among themselves, but a host that passes entries from `fill` as the held
    entries of `generate` compares them with new demands twice as large.
    """
    target = _inputs.entries(entries, "entries")
    if not target.flags.writeable:
        raise ValueError("entries is read-only; fill solves it in place")
    totals = Totals()
    with CLAIMS.claim(writes=(target,)):
        in_place = target.flags.c_contiguous and target.flags.aligned
        work = target if in_place else np.array(target, order="C")
        code = LIBRARY.fill_solution(_address(work), len(work), ctypes.byref(totals))
        if code != 0:
            raise LIBRARY.refusal(code, CallPoints(CALL_FILL, _address(work), len(work),
                                                   None, None, 0))
        if not in_place:
            target[...] = work
        if isinstance(entries, Solution):  # its totals change with its entries, in one turn
            entries._set_totals(totals)
            return entries
    return Solution.from_totals(target, totals)


def smallest_possible_valves(sizes: ArrayLike
                             ) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]:
    """The smallest sizes of the valve series that keep the ratios between the given sizes.

    Parameters
    ----------
    sizes : array_like of float
        Valve sizes, positive; not modified.

    Returns
    -------
    sorted_sizes : numpy.ndarray of float64
        `sizes`, sorted largest first (values that are not a number last).
    smallest : numpy.ndarray of float64
        For each of them, the size of the series that stands for it.

    Raises
    ------
    KorvanError
        The library refused the sizes: none given, a size of zero or less, or ratios that no
        group of the series holds. ``point`` is the index in `sizes` as given.
    TypeError, ValueError
        `sizes` cannot be passed to the library.
    """
    given = _inputs.sequence(sizes, "sizes")
    with CLAIMS.claim(reads=(_inputs.callers(sizes, given),)):
        values = _inputs.floats(given, "sizes")
        ordered = values.copy()  # the library sorts its array; `values` keeps the given order
        smallest = np.empty_like(ordered)
        code = LIBRARY.smallest_possible_valves(_address(ordered), len(ordered),
                                                _address(smallest))
        if code != 0:
            raise LIBRARY.refusal(code, CallPoints(CALL_SMALLEST, None, 0, None,
                                                   _address(values), len(values)))
    return ordered, smallest


def version() -> float:
    """The version of the sizing interface the library implements (GetCurrentVersion): 1.0."""
    return LIBRARY.current_version()


def library_version() -> str:
    """The version of the library the package runs on, as MAJOR.MINOR.PATCH."""
    number = LIBRARY.library_version()
    return f"{number // 10000}.{number // 100 % 100}.{number % 100}"

