"""Arguments are checked before any call: what converts is accepted, anything else raises
TypeError or ValueError naming the argument."""

import re
from decimal import Decimal
from fractions import Fraction

import numpy as np
import pytest

import korvan
from korvan._library import LIBRARY
from support import same_bits

TYPES, VALUES = [1, 0, 3, 2], [50.0, 100.0, 80.0, 120.0]
OTHER_DTYPE = np.dtype([(name, korvan.ENTRY_DTYPE.fields[name][0])
                        for name in korvan.ENTRY_DTYPE.names])  # packed: other offsets


@pytest.fixture
def no_call(monkeypatch):
    """Makes any call reaching the library fail the test."""
    def refuse(*arguments):
        raise AssertionError("an invalid argument reached the library")
    for name in ("generate_solution", "fill_solution", "smallest_possible_valves"):
        monkeypatch.setattr(LIBRARY, name, refuse)


BIG = 10**400
UINT64_RANGE = "outside the 0 to 18446744073709551615 of uint64"


@pytest.mark.parametrize(
    "arguments, error, words",
    [
        ((None, VALUES), TypeError, "types must be a sequence"),
        ((5, VALUES), TypeError, "types must be a sequence"),
        (("1032", VALUES), TypeError, "types must be a sequence"),
        ((iter(TYPES), VALUES), TypeError, "types must be a sequence"),
        (([1.0, 0.0, 3.0, 2.0], VALUES), TypeError, "types[0] is 1.0, not an integer"),
        (([True, False, True, True], VALUES), TypeError, "types[0] is True, not an integer"),
        ((["1", "0", "3", "2"], VALUES), TypeError, "types[0] is '1', not an integer"),
        ((np.array(TYPES, np.float64), VALUES), TypeError, "types must hold integers, not "
                                                           "float64"),
        ((np.array([True] * 4), VALUES), TypeError, "types must hold integers, not bool"),
        (([1, 0, 2**70, 2], VALUES), ValueError,
         "types[2] is 1180591620717411303424, outside the 0 to 4294967295 of uint32"),
        (([[1, 0], [3, 2]], VALUES), ValueError, "types must be one-dimensional"),
        (([1, [0], 3, 2], VALUES), ValueError, "types"),
        (([1, 0, -1, 2], VALUES), ValueError, "types[2] is -1"),
        (([1, 0, 2**32, 2], VALUES), ValueError, "types[2] is 4294967296"),
        ((TYPES, VALUES[:3]), ValueError, "input_values has 3 values, not the 4 of types"),
        ((TYPES, None), TypeError, "input_values must be a sequence"),
        ((TYPES, ["50", "100", "80", "120"]), TypeError, "input_values[0] is '50', not a number"),
        ((TYPES, [50j, 1, 2, 3]), TypeError, "input_values[0] is 50j, not a number"),
        ((TYPES, [50.0, None, 80.0, 1.0]), TypeError, "input_values[1] is None, not a number"),
        ((TYPES, [True, False, True, True]), TypeError, "input_values[0] is True, not a number"),
        ((TYPES, np.array([50.0, " 50 ", 1, 2], object)), TypeError,
         "input_values[1] is ' 50 ', not a number"),
        ((TYPES, np.array([50.0, 1, "1e2_0", 2], object)), TypeError,
         "input_values[2] is '1e2_0', not a number"),
        ((TYPES, np.array([50.0, 1, 2, True], object)), TypeError,
         "input_values[3] is True, not a number"),
        ((TYPES, np.array([50.0, 1, 2, np.bool_(True)], object)), TypeError,
         "input_values[3] is True, not a number"),
        ((TYPES, np.ma.masked_array([50.0, 1e9, 80.0, 1.0], mask=[False, True, False, False])),
         ValueError, "input_values[1] is masked"),
        ((TYPES, [50.0, 1.0, BIG, 2.0]), ValueError,
         "input_values[2] is 1000000000000000000000000000000000000..., too large for a double"),
        ((TYPES, [50.0, 1.0, Fraction(BIG, 3), 2.0]), ValueError,
         "input_values[2] is Fraction(1000000000000000000000000000..., too large for a double"),
        ((TYPES, [50.0, 1.0, Decimal("1e400"), 2.0]), ValueError,
         "input_values[2] is Decimal('1E+400'), too large for a double"),
        ((TYPES, np.array([50.0, 1.0, "1e4000", 2.0], np.longdouble)), ValueError,
         "input_values[2] is 1e+4000, too large for a double"),
        ((TYPES, [50.0, 1.0, Decimal("sNaN"), 2.0]), ValueError,
         "input_values[2] is Decimal('sNaN'), not a number a double holds"),
        ((TYPES, np.arange(4).astype("datetime64[D]")), TypeError,
         "input_values must hold numbers"),
        ((TYPES, np.ones((4, 1))), ValueError, "input_values must be one-dimensional"),
    ],
)
def test_generate_names_the_argument_it_cannot_pass(no_call, arguments, error, words):
    with pytest.raises(error, match="^" + re.escape(words)):
        korvan.generate(*arguments)


@pytest.mark.parametrize(
    "keywords, error, words",
    [
        ({"caller_data": [0, 1, -1, 2]}, ValueError, "caller_data[2] is -1"),
        ({"caller_data": [-1, 2**63, 1, 2]}, ValueError, f"caller_data[0] is -1, {UINT64_RANGE}"),
        ({"caller_data": [0.5, 1, 2, 3]}, TypeError, "caller_data[0] is 0.5, not an integer"),
        ({"caller_data": np.array([0.5, 1, 2, 3])}, TypeError,
         "caller_data must hold integers, not float64"),
        ({"caller_data": [2**64, 1, 2, 3]}, ValueError,
         f"caller_data[0] is 18446744073709551616, {UINT64_RANGE}"),
        ({"caller_data": np.ma.masked_array([0, 1, 2, 3], mask=[0, 0, 0, 1])}, ValueError,
         "caller_data[3] is masked"),
        ({"caller_data": [0, 1]}, ValueError, "caller_data has 2 values, not the 4 of types"),
        ({"caller_data": 7}, TypeError, "caller_data must be a sequence"),
        ({"entries": [(1, 50.0)]}, TypeError, "entries must be a numpy array"),
        ({"entries": np.zeros(3)}, TypeError, "entries must have the dtype"),
        ({"entries": np.zeros(3, OTHER_DTYPE)}, TypeError, "entries must have the dtype"),
        ({"entries": np.zeros((2, 2), korvan.ENTRY_DTYPE)}, ValueError,
         "entries must be one-dimensional"),
    ],
)
def test_generate_names_the_keyword_it_cannot_pass(no_call, keywords, error, words):
    with pytest.raises(error, match="^" + re.escape(words)):
        korvan.generate(TYPES, VALUES, **keywords)


def test_argument_errors_are_caught_as_type_or_value_errors(no_call):
    # What the package raises for an argument is never anything else (an OverflowError, say).
    for values in ([BIG], [Fraction(BIG)], [Decimal("-1e999")], ["x"], [object()]):
        with pytest.raises((TypeError, ValueError)):
            korvan.generate([0], values)


def test_fill_names_the_entries_it_cannot_solve(no_call):
    read_only = np.zeros(3, korvan.ENTRY_DTYPE)
    read_only.flags.writeable = False
    for entries, error, words in [
        ([(1, 50.0)], TypeError, "entries must be a numpy array"),
        (np.zeros(3, OTHER_DTYPE), TypeError, "entries must have the dtype"),
        (np.zeros((1, 3), korvan.ENTRY_DTYPE), ValueError, "entries must be one-dimensional"),
        (read_only, ValueError, "entries is read-only"),
        (np.ma.masked_array(np.zeros(2, korvan.ENTRY_DTYPE), mask=[False, True]), ValueError,
         "entries[1] is masked"),
    ]:
        with pytest.raises(error, match="^" + re.escape(words)):
            korvan.fill(entries)


def test_smallest_possible_valves_names_the_sizes_it_cannot_pass(no_call):
    for sizes, error, words in [
        (None, TypeError, "sizes must be a sequence"),
        (0.5, TypeError, "sizes must be a sequence"),
        (["0.5"], TypeError, "sizes[0] is '0.5', not a number"),
        (np.ma.masked_array([0.5, 0.3], mask=[True, False]), ValueError, "sizes[0] is masked"),
        ([[0.5, 0.3]], ValueError, "sizes must be one-dimensional"),
    ]:
        with pytest.raises(error, match="^" + re.escape(words)):
            korvan.smallest_possible_valves(sizes)


@pytest.mark.parametrize(
    "types, values",
    [
        (tuple(TYPES), tuple(VALUES)),
        (np.array(TYPES, np.int8), np.array(VALUES, np.float32)),
        (np.array(TYPES, np.uint64), [50, 100, 80, 120]),
        (np.array(TYPES, ">i8"), np.array(VALUES, ">f8")),
        (np.repeat(np.array(TYPES, np.uint32), 2)[::2], np.repeat(VALUES, 2)[::2]),
        (TYPES, [Decimal("50"), Fraction(100), 80, 120.0]),
        (TYPES, np.array(VALUES, np.longdouble)),
        (np.ma.masked_array(TYPES), np.ma.masked_array(VALUES, mask=[False] * 4)),
        ([np.int8(1), 0, np.uint64(3), 2], np.array(VALUES, object)),
        (TYPES, [50.0, np.float32(100.0), np.int64(80), Decimal("120")]),
    ],
    ids=["tuples", "narrow", "wide", "big-endian", "strided", "objects", "longdouble",
         "unmasked", "numpy-scalars", "mixed-objects"],
)
def test_every_convertible_form_solves_alike(types, values):
    expected = korvan.generate(TYPES, VALUES)
    solution = korvan.generate(types, values, caller_data=range(4))
    assert same_bits(solution.entries, expected.entries)
    assert solution.scale_factor == expected.scale_factor


def test_held_entries_may_be_a_solution_or_a_strided_array_and_stay_as_they_were():
    held = korvan.generate([1, 0], [50.0, 100.0])
    spread = np.zeros(4, korvan.ENTRY_DTYPE)
    spread[::2] = held.entries
    before = spread.copy()
    from_solution = korvan.generate([3], [80.0], entries=held)
    from_strided = korvan.generate([3], [80.0], entries=spread[::2])
    assert same_bits(from_solution.entries, from_strided.entries)
    assert same_bits(spread, before)
    assert len(from_solution) == 3


def test_fill_solves_strided_and_unaligned_arrays_in_their_own_memory():
    solved = korvan.generate(TYPES, VALUES).entries
    expected = korvan.fill(solved.copy()).entries

    spread = np.zeros(8, korvan.ENTRY_DTYPE)
    spread[1::2] = solved
    assert korvan.fill(spread[1::2]).entries.base is spread
    assert same_bits(spread[1::2], expected)
    assert same_bits(spread[::2], np.zeros(4, korvan.ENTRY_DTYPE))

    buffer = bytearray(1 + 4 * 72)
    unaligned = np.frombuffer(buffer, korvan.ENTRY_DTYPE, offset=1)
    unaligned[:] = solved
    assert not unaligned.flags.aligned
    korvan.fill(unaligned)
    assert same_bits(unaligned, expected)


def test_smallest_possible_valves_leaves_a_float64_array_unsorted():
    sizes = np.array([0.1, 0.5, 0.3])
    ordered, smallest = korvan.smallest_possible_valves(sizes)
    assert sizes.tolist() == [0.1, 0.5, 0.3]
    assert ordered.tolist() == [0.5, 0.3, 0.1]
    assert not np.shares_memory(ordered, sizes)
