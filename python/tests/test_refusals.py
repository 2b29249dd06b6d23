"""Every refusal raises KorvanError with the library's code, the rule and the point it names (in
the call's own numbering) and the message of the one convention, and leaves every array the
caller passed as it was, bit for bit."""

import ctypes
import pickle

import numpy as np
import pytest

import korvan
from korvan import Result, Rule
from korvan._library import LIBRARY
from support import same_bits

NAN, INF = float("nan"), float("inf")
# Eight points so far apart that the nearest size of the last would outgrow that of the fourth.
SPREAD_TYPES = [0, 1, 3, 2, 0, 1, 3, 2]
SPREAD_VALUES = [1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25, 1e24]


def held_entries():
    return korvan.generate([1, 0, 3], [50, 100, 80], caller_data=[10, 11, 12]).entries


def expected_message(code, rule, point, other_point):
    if rule == Rule.NONE:
        return LIBRARY.describe_result(code)
    sentence = LIBRARY.describe_rule(rule)
    if point is None:
        return sentence
    pair = "" if other_point is None else f" (point {other_point + 1})"
    return f"point {point + 1}: {sentence}{pair}"


def expect_refusal(refusal, call, *arguments, **keywords):
    """Calls `call`, expects the KorvanError (code, rule, point, other_point) and its message,
    and checks that no argument changed."""
    code, rule, point, other_point = refusal
    before = [np.array(argument, copy=True) for argument in arguments]
    keyword_before = {name: np.array(value, copy=True) for name, value in keywords.items()}
    with pytest.raises(korvan.KorvanError) as raised:
        call(*arguments, **keywords)
    error = raised.value
    assert (error.code, error.rule, error.point, error.other_point) == refusal
    assert type(error.code) is Result and type(error.rule) is Rule
    assert str(error) == expected_message(code, rule, point, other_point)
    for argument, copy in zip(arguments, before):
        assert same_bits(np.asarray(argument), copy)
    for name, value in keywords.items():
        assert same_bits(np.asarray(value), keyword_before[name])
    return error


@pytest.mark.parametrize(
    "types, input_values, refusal",
    [
        ([], [], (11, Rule.NOTHING_TO_SOLVE, None, None)),
        ([1, 4], [50.0, 100.0], (12, Rule.TYPE_UNKNOWN, 1, None)),
        ([1, 4294967295], [50.0, 100.0], (12, Rule.TYPE_UNKNOWN, 1, None)),
        # The type is judged before any demand.
        ([1, 0, 9], [-50.0, 100.0, 80.0], (12, Rule.TYPE_UNKNOWN, 2, None)),
        ([1, 0], [50.0, 0.0], (13, Rule.INPUT_NOT_POSITIVE, 1, None)),
        ([1, 0], [-50.0, 100.0], (13, Rule.INPUT_NOT_POSITIVE, 0, None)),
        ([1, 0], [50.0, NAN], (13, Rule.INPUT_NOT_A_NUMBER, 1, None)),
        ([1, 0], [50.0, INF], (13, Rule.DEMAND_OUT_OF_RANGE, 1, None)),
        ([1, 0], [50.0, 1e-300], (13, Rule.DEMAND_OUT_OF_RANGE, 1, None)),
        (SPREAD_TYPES, SPREAD_VALUES, (13, Rule.DEMANDS_TOO_FAR_APART, 7, 3)),
    ],
    ids=["nothing-to-solve", "type-4", "type-max", "type-first", "zero", "negative", "nan",
         "infinite", "tiny", "too-far-apart"],
)
def test_generate_names_the_point_and_changes_nothing(types, input_values, refusal):
    expect_refusal(refusal, korvan.generate, types, input_values)
    if types and refusal[1] != Rule.DEMANDS_TOO_FAR_APART:
        # After three held entries, the new points count from 3. (Held demands join the spread
        # points' comparison, so that case names another pair.)
        code, rule, point, other = refusal
        shifted = (code, rule, point + 3, None if other is None else other + 3)
        expect_refusal(shifted, korvan.generate, np.array(types, np.uint32),
                       np.array(input_values), entries=held_entries(),
                       caller_data=np.arange(len(types), dtype=np.uint64))


def test_generate_names_a_held_entry_whose_demand_is_unsolvable():
    held = held_entries()
    held["demand"][1] = 0.0
    expect_refusal((13, Rule.DEMAND_OUT_OF_RANGE, 1, None), korvan.generate, np.array([2]),
                   np.array([60.0]), entries=held)


def test_generate_with_no_new_point_and_no_held_one_has_nothing_to_solve():
    expect_refusal((11, Rule.NOTHING_TO_SOLVE, None, None), korvan.generate, [], [],
                   entries=np.zeros(0, korvan.ENTRY_DTYPE))


@pytest.mark.parametrize(
    "field, value, refusal",
    [("type", 7, (12, Rule.TYPE_UNKNOWN, 2, None)),
     ("type", -1, (12, Rule.TYPE_UNKNOWN, 2, None)),
     ("input_value", 0.0, (13, Rule.INPUT_NOT_POSITIVE, 2, None)),
     ("input_value", NAN, (13, Rule.INPUT_NOT_A_NUMBER, 2, None)),
     ("input_value", -INF, (13, Rule.INPUT_NOT_POSITIVE, 2, None))],
)
def test_fill_names_the_point_and_changes_nothing(field, value, refusal):
    entries = held_entries()
    entries[field][2] = value
    expect_refusal(refusal, korvan.fill, entries)
    strided = np.zeros(6, korvan.ENTRY_DTYPE)
    strided[::2] = entries
    expect_refusal(refusal, korvan.fill, strided[::2])
    assert same_bits(strided[1::2], np.zeros(3, korvan.ENTRY_DTYPE))


def test_fill_of_no_entry_has_nothing_to_solve():
    expect_refusal((11, Rule.NOTHING_TO_SOLVE, None, None), korvan.fill,
                   np.zeros(0, korvan.ENTRY_DTYPE))


@pytest.mark.parametrize(
    "sizes, refusal",
    [([], (11, Rule.NOTHING_TO_SOLVE, None, None)),
     ([0.2, 0.7], (13, Rule.RATIOS_IN_NO_GROUP, None, None)),
     ([0.2, NAN], (13, Rule.RATIOS_IN_NO_GROUP, None, None)),
     ([INF, 0.2], (13, Rule.RATIOS_IN_NO_GROUP, None, None)),
     # Numbered in the order given, though the library sorts its own copy first.
     ([0.1, 0.5, 0.0], (160, Rule.SIZE_NOT_POSITIVE, 2, None)),
     ([0.1, -0.1, 0.5], (160, Rule.SIZE_NOT_POSITIVE, 1, None))],
    ids=["none", "no-group", "nan", "infinite", "zero", "negative"],
)
def test_smallest_possible_valves_names_the_size_as_given_and_sorts_nothing(sizes, refusal):
    expect_refusal(refusal, korvan.smallest_possible_valves, np.array(sizes, np.float64))
    expect_refusal(refusal, korvan.smallest_possible_valves, sizes)


# The library answers 10 only when memory runs out, and 160 with no rule only for arguments the
# package never passes; these stand-ins answer so, after doing what the library may do then.
def entries_at(address, count):
    return np.frombuffer((ctypes.c_byte * (count * 72)).from_address(address),
                         korvan.ENTRY_DTYPE)


def out_of_memory_fill(address, count, totals):
    entries = entries_at(address, count)
    entries[:] = entries[::-1].copy()  # reordered, each entry whole
    return 10


def out_of_memory_generate(count, types, input_values, tags, address, capacity, entry_count,
                           totals):
    entries_at(address, capacity)[:] = np.zeros(capacity, korvan.ENTRY_DTYPE)
    return 10


def out_of_memory_smallest(sizes, count, smallest):
    np.frombuffer((ctypes.c_double * count).from_address(sizes))[:] = -1.0
    return 10


def invalid_argument_generate(*arguments):
    return 160


def test_fill_may_reorder_the_entries_when_memory_runs_out(monkeypatch):
    monkeypatch.setattr(LIBRARY, "fill_solution", out_of_memory_fill)
    entries = held_entries()
    before = entries.copy()
    with pytest.raises(korvan.KorvanError) as raised:
        korvan.fill(entries)
    assert (raised.value.code, raised.value.rule, raised.value.point) == (10, Rule.NONE, None)
    assert str(raised.value) == LIBRARY.describe_result(10)
    assert sorted(entries.tolist()) == sorted(before.tolist())
    # A strided array is solved in a copy, written back only on success.
    strided = np.zeros(6, korvan.ENTRY_DTYPE)
    strided[1::2] = held_entries()
    expect_refusal((10, Rule.NONE, None, None), korvan.fill, strided[1::2])
    assert same_bits(strided[::2], np.zeros(3, korvan.ENTRY_DTYPE))


def test_generate_and_smallest_leave_the_callers_arrays_when_memory_runs_out(monkeypatch):
    held = held_entries()
    monkeypatch.setattr(LIBRARY, "generate_solution", out_of_memory_generate)
    monkeypatch.setattr(LIBRARY, "smallest_possible_valves", out_of_memory_smallest)
    expect_refusal((10, Rule.NONE, None, None), korvan.generate, np.array([2, 1]),
                   np.array([60.0, 70.0]), entries=held, caller_data=np.array([5, 6], np.uint64))
    expect_refusal((10, Rule.NONE, None, None), korvan.smallest_possible_valves,
                   np.array([0.2, 0.5]))


def test_a_refusal_no_point_explains_gives_the_result_sentence(monkeypatch):
    monkeypatch.setattr(LIBRARY, "generate_solution", invalid_argument_generate)
    expect_refusal((160, Rule.NONE, None, None), korvan.generate, [1, 0, 3], [50, 100, 80])


def test_a_korvan_error_survives_pickling():
    with pytest.raises(korvan.KorvanError) as raised:
        korvan.generate(SPREAD_TYPES, SPREAD_VALUES)
    copy = pickle.loads(pickle.dumps(raised.value))
    assert type(copy) is korvan.KorvanError
    assert (copy.code, copy.rule, copy.point, copy.other_point, str(copy)) == (
        Result.UNSOLVABLE_INPUT, Rule.DEMANDS_TOO_FAR_APART, 7, 3, str(raised.value))
    assert str(copy) == f"point 8: {LIBRARY.describe_rule(Rule.DEMANDS_TOO_FAR_APART)} (point 4)"


def test_codes_the_library_does_not_know_yet_are_kept():
    assert Result(99) == 99 and Result(99).name == "UNKNOWN_99"
    error = korvan.KorvanError(170, "a newer refusal", 42, 5)
    assert (error.code, error.rule, error.point) == (170, 42, 5)
