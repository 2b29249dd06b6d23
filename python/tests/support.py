"""Helpers shared by the korvan tests: direct calls of the C interface and the sizing rules."""

import ctypes
import os
import pathlib

import numpy as np

import korvan
from korvan._library import LIBRARY, Totals

# The source tree, for the C header; the tests of an installed copy are told where it is.
SOURCE_DIR = pathlib.Path(os.environ.get("KORVAN_SOURCE_DIR",
                                         pathlib.Path(__file__).resolve().parents[2]))
SERIES = np.array([0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03])


def same_bits(actual, expected):
    """Whether two arrays of ENTRY_DTYPE (or of float64) hold the same bits, field by field."""
    if actual.dtype.names is None:
        return actual.shape == expected.shape and actual.tobytes() == expected.tobytes()
    return all(same_bits(np.ascontiguousarray(actual[name]), np.ascontiguousarray(expected[name]))
               for name in actual.dtype.names)


def c_generate(types, input_values, held=None, tags=None):
    """KorvanGenerateSolution called directly: (result, entries, totals as a tuple)."""
    types = np.ascontiguousarray(types, np.uint32)
    input_values = np.ascontiguousarray(input_values, np.float64)
    held = np.zeros(0, korvan.ENTRY_DTYPE) if held is None else held
    entries = np.zeros(len(held) + len(types), korvan.ENTRY_DTYPE)
    entries[: len(held)] = held
    tags = np.arange(len(types), dtype=np.uint64) if tags is None else tags
    count = ctypes.c_size_t(len(held))
    totals = Totals()
    result = LIBRARY.generate_solution(len(types), types.ctypes.data, input_values.ctypes.data,
                                       tags.ctypes.data, entries.ctypes.data, len(entries),
                                       ctypes.byref(count), ctypes.byref(totals))
    return result, entries, totals_of(totals)


def c_fill(entries):
    """KorvanFillSolution called directly on a copy: (result, entries, totals as a tuple)."""
    entries = entries.copy()
    totals = Totals()
    result = LIBRARY.fill_solution(entries.ctypes.data, len(entries), ctypes.byref(totals))
    return result, entries, totals_of(totals)


def totals_of(totals):
    return (totals.deviationMax, totals.deviationMin, totals.scaleFactor,
            totals.reducedScaleFactor)


def solution_totals(solution):
    return (solution.deviation_max, solution.deviation_min, solution.scale_factor,
            solution.reduced_scale_factor)


def deviation(demand, valve_size, scale_factor):
    """The percent deviation, in the library's order of operations, rounded down."""
    q = 100.0 / demand
    t = valve_size * scale_factor
    t = t - demand
    r = t * q
    return np.floor(r * 100.0) / 100.0


def entries_with_demands(demands):
    """Type-0 entries whose demands, once fill recomputes them, are exactly `demands`."""
    entries = np.zeros(len(demands), korvan.ENTRY_DTYPE)
    entries["input_value"] = [_input_for_demand(demand) for demand in demands]
    entries["caller_data"] = np.arange(1, len(demands) + 1)
    return entries


def _input_for_demand(demand):
    # fill's demand of type 0 is ((input * 2.25) * 0.001) * 2; walk the doubles around the
    # exact quotient until one gives `demand` itself.
    below = above = demand / (2.25 * 0.002)
    for _ in range(4000):
        for candidate in (below, above):
            if ((candidate * 2.25) * 0.001) * 2.0 == demand:
                return candidate
        below, above = np.nextafter(below, 0.0), np.nextafter(above, np.inf)
    raise AssertionError(f"no input value gives the demand {demand}")
