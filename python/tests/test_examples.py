"""The worked examples of the sizing rules, through the package, with doubles compared exactly."""

import doctest
import re

import numpy as np
import pytest

import korvan
from support import SOURCE_DIR, entries_with_demands


def test_the_road_of_one_request():
    solution = korvan.generate([1, 0, 3], [50, 100, 80])
    assert len(solution) == 3
    assert solution.valve_size.tolist() == [0.2, 0.16, 0.1]
    assert solution.deviation.tolist() == [-4.84, -4.92, 11.42]
    assert solution.demand.tolist() == [1.124, 0.9, 0.48]
    ratios = np.array([1.0, 1.248888888888889, 2.341666666666667])
    assert solution.ratio.tolist() == ratios.tolist()
    # The windows of pass 15, where group 2 first fits.
    assert solution.ratio_max.tolist() == ((15.0 / 100.0 + 1.0) * ratios).tolist()
    assert solution.ratio_min.tolist() == ((-15.0 / 100.0 + 1.0) * ratios).tolist()
    assert solution.type.tolist() == [1, 0, 3]
    assert solution.caller_data.tolist() == [0, 1, 2]
    assert solution.deviation_max == 11.42
    assert solution.deviation_min == -4.92
    assert solution.scale_factor == 5.348333333333334
    assert solution.reduced_scale_factor == 0.0026741666666666667


def test_the_printed_solution_shows_the_points_and_every_total_exactly():
    text = str(korvan.generate([1, 0, 3], [50, 100, 80]))
    lines = text.splitlines()
    assert lines[0] == "korvan.Solution of 3 points"
    assert lines[1].split() == ["point", "type", "input_value", "demand", "ratio", "valve_size",
                                "deviation", "caller_data"]
    assert [line.split()[5] for line in lines[2:5]] == ["0.2", "0.16", "0.1"]
    assert "scale_factor          5.348333333333334" in lines
    assert "reduced_scale_factor  0.0026741666666666667" in lines


def test_a_long_solution_prints_its_ends_only():
    solution = korvan.generate(np.zeros(1000, int), np.arange(1, 1001))
    lines = repr(solution).splitlines()
    assert lines[0] == "korvan.Solution of 1000 points"
    assert len(lines) == 2 + 11 + 4
    assert lines[7].split()[0] == "..."
    assert lines[12].split()[0] == "999"


@pytest.mark.parametrize(
    "demands, sizes, deviations, totals",
    [
        # 5 / 3 equals 0.5 / 0.3 exactly; the pair reduces to 0.1 and 0.06.
        ([5.0, 3.0], [0.1, 0.06], [0.0, 0.0], (0.0, 0.0, 50.0, 0.025)),
        # Eight points take the nearest-ratio path; the reduction keeps the sizes.
        ([8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.0],
         [0.5, 0.5, 0.5, 0.3, 0.3, 0.2, 0.16, 0.06],
         [-9.25, 3.72, 21.0, -12.88, 8.9, -3.2, 16.16, -12.88],
         (21.0, -12.88, 14.520833333333334, 0.007260416666666667)),
        # A single point always ends at the smallest size.
        ([5.0], [0.03], [0.0], (0.0, 0.0, 166.66666666666669, 0.08333333333333334)),
        # The search leaves 0.3, 0.2, 0.2; refinement moves the third point down to 0.16.
        ([12.0, 9.0, 7.0], [0.3, 0.2, 0.16], None, None),
        ([1700.0, 1.0], [0.03, 0.03], None, None),
    ],
    ids=["two-reduced", "eight-nearest-ratio", "single-point", "refined", "1700-to-1"],
)
def test_fill_solves_the_worked_examples(demands, sizes, deviations, totals):
    entries = entries_with_demands(demands)
    solution = korvan.fill(entries)
    assert solution.entries is entries
    assert solution.demand.tolist() == demands
    assert solution.valve_size.tolist() == sizes
    if deviations is not None:
        assert solution.deviation.tolist() == deviations
    if totals is not None:
        assert (solution.deviation_max, solution.deviation_min, solution.scale_factor,
                solution.reduced_scale_factor) == totals


def test_fill_recomputes_demands_after_an_edit_and_keeps_the_tags():
    solution = korvan.generate([1, 0, 3], [50, 100, 80], caller_data=[7, 8, 9])
    solution.input_value[2] = 1000.0  # the type-3 point becomes the largest demand
    refilled = korvan.fill(solution)
    assert refilled is solution
    assert refilled.caller_data.tolist() == [9, 7, 8]
    # Recomputed demands are half of what generate gives: ((value * factor) * 0.001) * 2.
    assert refilled.demand.tolist() == [((1000.0 * 1.5) * 0.001) * 2, ((50 * 5.62) * 0.001) * 2,
                                        ((100 * 2.25) * 0.001) * 2]


@pytest.mark.parametrize(
    "sizes, ordered, smallest",
    [
        ([0.3, 0.2, 0.2], [0.3, 0.2, 0.2], [0.3, 0.2, 0.2]),
        ([0.2, 0.3, 0.2], [0.3, 0.2, 0.2], [0.3, 0.2, 0.2]),
        ([0.5, 0.1], [0.5, 0.1], [0.3, 0.06]),
        ([0.5, 0.3], [0.5, 0.3], [0.1, 0.06]),
        ([0.1, 0.5, 0.1, 0.03], [0.5, 0.1, 0.1, 0.03], [0.5, 0.1, 0.1, 0.03]),
        ([0.2, 0.1], [0.2, 0.1], [0.06, 0.03]),
        ([0.4, 0.2], [0.4, 0.2], [0.06, 0.03]),
        ([0.5], [0.5], [0.03]),
        ([0.2, 0.2], [0.2, 0.2], [0.03, 0.03]),
        ([0.03, 0.16, 0.5, 0.06, 0.2, 0.1, 0.3], [0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03],
         [0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03]),
    ],
)
def test_smallest_possible_valves_of_the_worked_examples(sizes, ordered, smallest):
    given = list(sizes)
    sorted_sizes, reduced = korvan.smallest_possible_valves(sizes)
    assert sorted_sizes.dtype == reduced.dtype == np.float64
    assert sorted_sizes.tolist() == ordered
    assert reduced.tolist() == smallest
    assert sizes == given


def test_fill_of_a_solution_updates_its_totals_as_well_as_its_entries():
    solution = korvan.generate([1, 0, 3], [50, 100, 80])
    before = (solution.deviation_max, solution.deviation_min, solution.scale_factor,
              solution.reduced_scale_factor)
    solution.input_value[0] = 500.0
    from_array = korvan.fill(solution.entries.copy())
    assert korvan.fill(solution) is solution
    after = (solution.deviation_max, solution.deviation_min, solution.scale_factor,
             solution.reduced_scale_factor)
    assert after != before
    assert after == (from_array.deviation_max, from_array.deviation_min,
                     from_array.scale_factor, from_array.reduced_scale_factor)
    # Field by field, bit for bit: numpy's copy leaves the record's alignment gap out.
    for name in korvan.ENTRY_DTYPE.names:
        assert solution.entries[name].tobytes() == from_array.entries[name].tobytes(), name


def header_defines(prefix):
    """The `#define PREFIX_NAME number` lines of the C header, as {NAME: number}."""
    text = (SOURCE_DIR / "interface" / "KorvanCalcValueProviderC.h").read_text()
    pattern = rf"^#define {prefix}(\w+)[\s\\]+\(?(-?\d+)\b"  # values may follow a "\\"
    return {name: int(value) for name, value in re.findall(pattern, text, re.MULTILINE)}


def test_versions_codes_and_rules_are_the_headers():
    assert korvan.version() == 1.0
    version = header_defines("KORVAN_VERSION_")
    assert korvan.__version__ == f"{version['MAJOR']}.{version['MINOR']}.{version['PATCH']}"
    rules = header_defines("KORVAN_RULE_")
    assert {rule.name: rule.value for rule in korvan.Rule} == rules
    codes = {name: value for name, value in header_defines("KORVAN_").items()
             if name in korvan.Result.__members__}
    assert {code.name: code.value for code in korvan.Result} == codes


def test_the_record_is_the_libraries_own_layout():
    dtype = korvan.ENTRY_DTYPE
    assert dtype.itemsize == 72
    layout = [(name, dtype.fields[name][0], dtype.fields[name][1]) for name in dtype.names]
    assert layout == [("type", np.int32, 0), ("input_value", np.float64, 8),
                      ("demand", np.float64, 16), ("ratio", np.float64, 24),
                      ("ratio_max", np.float64, 32), ("ratio_min", np.float64, 40),
                      ("valve_size", np.float64, 48), ("deviation", np.float64, 56),
                      ("caller_data", np.uint64, 64)]


def test_columns_are_views_into_the_entries():
    solution = korvan.generate([1, 0, 3], [50, 100, 80])
    for name in korvan.ENTRY_DTYPE.names:
        column = getattr(solution, name)
        assert np.shares_memory(column, solution.entries)
        assert column.tolist() == solution.entries[name].tolist()
        with pytest.raises(AttributeError, match="write into it"):
            setattr(solution, name, column)


def test_the_docstring_examples():
    results = doctest.testmod(korvan)
    assert results.attempted == 4 and results.failed == 0
    results = doctest.testmod(korvan._calls, extraglobs={"korvan": korvan})
    assert results.attempted == 2 and results.failed == 0
