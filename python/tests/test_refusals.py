"""Every refusal raises KorvanError with the library's code and sentence, and leaves every array
the caller passed as it was, bit for bit."""

import ctypes
import pickle

import numpy as np
import pytest

import korvan
from korvan._library import LIBRARY
from support import same_bits

NAN, INF = float("nan"), float("inf")


def held_entries():
    return korvan.generate([1, 0, 3], [50, 100, 80], caller_data=[10, 11, 12]).entries


def expect_refusal(code, call, *arguments, **keywords):
    """Calls `call`, expects the KorvanError of `code`, and checks no argument changed."""
    before = [np.array(argument, copy=True) for argument in arguments]
    keyword_before = {name: np.array(value, copy=True) for name, value in keywords.items()}
    with pytest.raises(korvan.KorvanError) as raised:
        call(*arguments, **keywords)
    assert raised.value.code == code
    assert str(raised.value) == LIBRARY.describe_result(code).decode()
    for argument, copy in zip(arguments, before):
        assert same_bits(np.asarray(argument), copy)
    for name, value in keywords.items():
        assert same_bits(np.asarray(value), keyword_before[name])


@pytest.mark.parametrize(
    "types, input_values, code",
    [
        ([], [], 11),
        ([1, 4], [50.0, 100.0], 12),
        ([1, 4294967295], [50.0, 100.0], 12),
        ([1, 0], [50.0, 0.0], 13),
        ([1, 0], [50.0, -100.0], 13),
        ([1, 0], [50.0, NAN], 13),
        ([1, 0], [50.0, INF], 13),
        ([1, 0], [50.0, 1e-300], 13),
    ],
    ids=["nothing-to-solve", "type-4", "type-max", "zero", "negative", "nan", "infinite",
         "tiny"],
)
def test_generate_refuses_and_changes_nothing(types, input_values, code):
    expect_refusal(code, korvan.generate, types, input_values)
    if types:  # held entries are solved even without new points
        expect_refusal(code, korvan.generate, np.array(types, np.uint32), np.array(input_values),
                       entries=held_entries(), caller_data=np.arange(len(types), dtype=np.uint64))


def test_generate_refuses_a_held_entry_whose_demand_is_unsolvable():
    held = held_entries()
    held["demand"][1] = 0.0
    expect_refusal(13, korvan.generate, np.array([2]), np.array([60.0]), entries=held)


def test_generate_with_no_new_point_and_no_held_one_has_nothing_to_solve():
    expect_refusal(11, korvan.generate, [], [], entries=np.zeros(0, korvan.ENTRY_DTYPE))


@pytest.mark.parametrize(
    "field, value, code",
    [("type", 7, 12), ("type", -1, 12), ("input_value", 0.0, 13), ("input_value", NAN, 13),
     ("input_value", -INF, 13)],
)
def test_fill_refuses_and_changes_nothing(field, value, code):
    entries = held_entries()
    entries[field][2] = value
    expect_refusal(code, korvan.fill, entries)
    strided = np.zeros(6, korvan.ENTRY_DTYPE)
    strided[::2] = entries
    expect_refusal(code, korvan.fill, strided[::2])
    assert same_bits(strided[1::2], np.zeros(3, korvan.ENTRY_DTYPE))


def test_fill_of_no_entry_has_nothing_to_solve():
    expect_refusal(11, korvan.fill, np.zeros(0, korvan.ENTRY_DTYPE))


@pytest.mark.parametrize(
    "sizes, code",
    [([], 11), ([0.7, 0.2], 13), ([0.2, NAN], 13), ([0.2, INF], 13), ([0.3, 0.0], 160),
     ([0.3, -0.1], 160)],
    ids=["none", "no-group", "nan", "infinite", "zero", "negative"],
)
def test_smallest_possible_valves_refuses_and_sorts_nothing_of_the_callers(sizes, code):
    expect_refusal(code, korvan.smallest_possible_valves, np.array(sizes[::-1], np.float64))


# The library answers 10 only when memory runs out; these stand-ins answer it as the library may,
# after scrambling what they were given.
def scramble_entries(address, count):
    entries = np.frombuffer((ctypes.c_byte * (count * 72)).from_address(address),
                            korvan.ENTRY_DTYPE)
    entries[:] = entries[::-1].copy()
    entries["demand"] = 99.0


def out_of_memory_fill(address, count, totals):
    scramble_entries(address, count)
    return 10


def out_of_memory_generate(count, types, input_values, tags, address, capacity, entry_count,
                           totals):
    scramble_entries(address, capacity)
    return 10


def out_of_memory_smallest(sizes, count, smallest):
    np.frombuffer((ctypes.c_double * count).from_address(sizes))[:] = -1.0
    return 10


def test_fill_restores_the_entries_when_memory_runs_out(monkeypatch):
    monkeypatch.setattr(LIBRARY, "fill_solution", out_of_memory_fill)
    entries = held_entries()
    expect_refusal(10, korvan.fill, entries)
    strided = np.zeros(6, korvan.ENTRY_DTYPE)
    strided[1::2] = held_entries()
    expect_refusal(10, korvan.fill, strided[1::2])
    assert same_bits(strided[::2], np.zeros(3, korvan.ENTRY_DTYPE))


def test_generate_and_smallest_leave_the_callers_arrays_when_memory_runs_out(monkeypatch):
    held = held_entries()
    monkeypatch.setattr(LIBRARY, "generate_solution", out_of_memory_generate)
    monkeypatch.setattr(LIBRARY, "smallest_possible_valves", out_of_memory_smallest)
    expect_refusal(10, korvan.generate, np.array([2, 1]), np.array([60.0, 70.0]),
                   entries=held, caller_data=np.array([5, 6], np.uint64))
    expect_refusal(10, korvan.smallest_possible_valves, np.array([0.2, 0.5]))


def test_a_korvan_error_survives_pickling():
    with pytest.raises(korvan.KorvanError) as raised:
        korvan.fill(np.zeros(0, korvan.ENTRY_DTYPE))
    copy = pickle.loads(pickle.dumps(raised.value))
    assert (type(copy), copy.code, str(copy)) == (korvan.KorvanError, 11, str(raised.value))
