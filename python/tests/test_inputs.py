"""Arguments are checked before any call: what converts is accepted, anything else raises
TypeError or ValueError naming the argument."""

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


@pytest.mark.parametrize(
    "arguments, error, words",
    [
        ((None, VALUES), TypeError, "types must be a sequence"),
        ((5, VALUES), TypeError, "types must be a sequence"),
        (("1032", VALUES), TypeError, "types must be a sequence"),
        ((iter(TYPES), VALUES), TypeError, "types must be a sequence"),
        (([1.0, 0.0, 3.0, 2.0], VALUES), TypeError, "types must hold integers"),
        (([True, False, True, True], VALUES), TypeError, "types must hold integers"),
        ((["1", "0", "3", "2"], VALUES), TypeError, "types must hold integers"),
        (([2**70, 0, 1, 2], VALUES), TypeError, "types must hold integers"),
        (([[1, 0], [3, 2]], VALUES), ValueError, "types must be one-dimensional"),
        (([1, [0], 3, 2], VALUES), ValueError, "types"),
        (([1, 0, -1, 2], VALUES), ValueError, "types[2] is -1"),
        (([1, 0, 2**32, 2], VALUES), ValueError, "types[2] is 4294967296"),
        ((TYPES, VALUES[:3]), ValueError, "input_values has 3 values, not the 4 of types"),
        ((TYPES, None), TypeError, "input_values must be a sequence"),
        ((TYPES, ["50", "100", "80", "120"]), TypeError, "input_values must hold numbers"),
        ((TYPES, [50j, 1, 2, 3]), TypeError, "input_values must hold numbers"),
        ((TYPES, [50.0, None, 80.0, 1.0]), TypeError, "input_values[1] is None"),
        ((TYPES, [True, False, True, True]), TypeError, "input_values must hold numbers"),
        ((TYPES, np.arange(4).astype("datetime64[D]")), TypeError,
         "input_values must hold numbers"),
        ((TYPES, np.ones((4, 1))), ValueError, "input_values must be one-dimensional"),
    ],
)
def test_generate_names_the_argument_it_cannot_pass(no_call, arguments, error, words):
    with pytest.raises(error, match=f"^{words}".replace("[", r"\[").replace("]", r"\]")):
        korvan.generate(*arguments)


@pytest.mark.parametrize(
    "keywords, error, words",
    [
        ({"caller_data": [0, 1, -1, 2]}, ValueError, r"caller_data\[2\] is -1"),
        ({"caller_data": [0.5, 1, 2, 3]}, TypeError, "caller_data must hold integers"),
        ({"caller_data": [2**64, 1, 2, 3]}, TypeError, "caller_data must hold integers"),
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
    with pytest.raises(error, match=f"^{words}"):
        korvan.generate(TYPES, VALUES, **keywords)


def test_fill_names_the_entries_it_cannot_solve(no_call):
    read_only = np.zeros(3, korvan.ENTRY_DTYPE)
    read_only.flags.writeable = False
    for entries, error, words in [
        ([(1, 50.0)], TypeError, "entries must be a numpy array"),
        (np.zeros(3, OTHER_DTYPE), TypeError, "entries must have the dtype"),
        (np.zeros((1, 3), korvan.ENTRY_DTYPE), ValueError, "entries must be one-dimensional"),
        (read_only, ValueError, "entries is read-only"),
    ]:
        with pytest.raises(error, match=f"^{words}"):
            korvan.fill(entries)


def test_smallest_possible_valves_names_the_sizes_it_cannot_pass(no_call):
    for sizes, error, words in [
        (None, TypeError, "sizes must be a sequence"),
        (0.5, TypeError, "sizes must be a sequence"),
        (["0.5"], TypeError, "sizes must hold numbers"),
        ([[0.5, 0.3]], ValueError, "sizes must be one-dimensional"),
    ]:
        with pytest.raises(error, match=f"^{words}"):
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
    ],
    ids=["tuples", "narrow", "wide", "big-endian", "strided", "objects", "longdouble"],
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
