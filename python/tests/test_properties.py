"""Properties over many batches: the package gives the C interface's own bits, and every solution
keeps the invariants of the sizing rules."""

import numpy as np
import pytest
from hypothesis import given, strategies as st

import korvan
from support import SERIES, c_fill, c_generate, deviation, same_bits, solution_totals

# Up to twelve points: both the tolerance search (up to seven) and the nearest-ratio path.
REALISTIC = st.lists(st.tuples(st.integers(0, 3), st.floats(1.0, 2000.0)), min_size=1,
                     max_size=12)
# Any finite input value, so that the library's refusals are compared too.
WIDE = st.lists(st.tuples(st.integers(0, 3),
                          st.floats(-1e200, 1e200, allow_nan=False) | st.sampled_from([0.0])),
                min_size=0, max_size=10)


def columns(points):
    types = np.array([point[0] for point in points], np.uint32)
    values = np.array([point[1] for point in points], np.float64)
    return types, values


def outcome(call, *arguments, **keywords):
    """(0, solution) or (code, None), whichever the package gives."""
    try:
        return 0, call(*arguments, **keywords)
    except korvan.KorvanError as error:
        return error.code, None


def assert_same_as_c(solution, result, entries, totals):
    assert result == 0
    assert same_bits(solution.entries, entries)
    assert same_bits(np.array(solution_totals(solution)), np.array(totals))


def assert_sizing_invariants(solution):
    demand, size = solution.demand, solution.valve_size
    assert (demand[:-1] >= demand[1:]).all(), "ordered by demand, largest first"
    assert np.isin(size, SERIES).all(), "every size from the series"
    assert same_bits(solution.ratio, demand[0] / demand)
    assert same_bits(solution.deviation, deviation(demand, size, solution.scale_factor))
    assert solution.deviation_max == max(0.0, solution.deviation.max())
    assert solution.deviation_min == min(0.0, solution.deviation.min())
    assert solution.reduced_scale_factor == solution.scale_factor / 2000


@given(REALISTIC)
def test_generate_gives_the_bits_of_the_c_call_and_keeps_the_invariants(points):
    types, values = columns(points)
    solution = korvan.generate(types, values)
    assert_same_as_c(solution, *c_generate(types, values))
    assert_sizing_invariants(solution)


@given(WIDE)
def test_generate_refuses_what_the_c_call_refuses(points):
    types, values = columns(points)
    code, solution = outcome(korvan.generate, types, values)
    result, entries, totals = c_generate(types, values)
    assert code == result
    if code == 0:
        assert_same_as_c(solution, result, entries, totals)


@given(REALISTIC, REALISTIC)
def test_new_points_join_the_held_ones_as_in_the_c_call(held_points, new_points):
    held = korvan.generate(*columns(held_points), caller_data=range(100, 100 + len(held_points)))
    kept = held.entries.copy()
    types, values = columns(new_points)
    solution = korvan.generate(types, values, entries=held)
    assert same_bits(held.entries, kept)
    assert_same_as_c(solution, *c_generate(types, values, held=held.entries))
    assert_sizing_invariants(solution)
    assert sorted(solution.caller_data.tolist()) == list(range(len(new_points))) + list(
        range(100, 100 + len(held_points)))


@given(REALISTIC, st.data())
def test_fill_after_edits_gives_the_bits_of_the_c_call(points, data):
    solution = korvan.generate(*columns(points))
    entries = solution.entries
    edits = data.draw(st.lists(st.tuples(st.integers(0, len(entries) - 1), st.integers(0, 3),
                                         st.floats(1.0, 2000.0)), max_size=4))
    for position, point_type, value in edits:
        entries[position] = (point_type, value) + tuple(entries[position])[2:]
    expected = c_fill(entries)
    refilled = korvan.fill(entries)
    assert refilled.entries is entries
    assert_same_as_c(refilled, *expected)
    assert_sizing_invariants(refilled)


@given(REALISTIC)
def test_tags_join_every_point_back_to_its_input_row(points):
    types, values = columns(points)
    solution = korvan.generate(types, values)
    rows = solution.caller_data
    assert sorted(rows.tolist()) == list(range(len(points)))
    assert (types[rows] == solution.type).all()
    assert same_bits(values[rows], solution.input_value)


@given(st.lists(st.sampled_from(SERIES.tolist()), min_size=1, max_size=20))
def test_smallest_possible_valves_of_series_sizes(sizes):
    ordered, smallest = korvan.smallest_possible_valves(sizes)
    assert ordered.tolist() == sorted(sizes, reverse=True)
    assert np.isin(smallest, SERIES).all()
    assert (smallest <= ordered).all()
    # Exactly the same ratio of the largest size to every other one.
    assert same_bits(ordered[0] / ordered, smallest[0] / smallest)


@pytest.mark.parametrize("count", [1024, 5000, 20000])
def test_large_batches_agree_with_the_c_call(count):
    # From 1024 points the library orders by buckets; these take that path.
    generator = np.random.default_rng(count)
    types = generator.integers(0, 4, count)
    values = generator.uniform(1.0, 2000.0, count)
    solution = korvan.generate(types, values)
    assert_same_as_c(solution, *c_generate(types, values))
    assert_sizing_invariants(solution)
    rows = solution.caller_data
    assert (types[rows] == solution.type).all()
    generator.shuffle(solution.entries)
    expected = c_fill(solution.entries)
    assert_same_as_c(korvan.fill(solution.entries), *expected)
