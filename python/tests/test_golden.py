"""The golden cases every front end shares (tests/golden): each input read by the shared CSV
rules, sized by korvan.generate with each point tagged by its number, and the results table,
the totals and the refusal messages compared byte for byte with what the case expects."""

import numpy as np
import pytest

import korvan
from golden_csv import Unreadable, cases, read_points, results_table, totals_table
from support import SOURCE_DIR

GOLDEN = SOURCE_DIR / "tests" / "golden"
CASES = cases(GOLDEN)


def size(points):
    numbers = np.arange(1, len(points.types) + 1, dtype=np.uint64)
    return korvan.generate(np.array(points.types, np.uint64), points.input_values,
                           caller_data=numbers)


def expected_message(name, kind):
    text = (GOLDEN / f"{name}.{kind}.txt").read_bytes().decode("utf-8")
    assert text.endswith("\n") and text.count("\n") == 1, f"{name}: one line, ending in LF"
    return text[:-1]


def test_every_input_has_one_expectation():
    inputs = {path.name[:-4] for path in GOLDEN.glob("*.csv")
              if not path.name.endswith((".out.csv", ".totals.csv"))}
    assert inputs == set(CASES)
    assert {"out", "refused", "invalid"} == set(CASES.values())


@pytest.mark.parametrize("name", [name for name, kind in CASES.items() if kind == "out"])
def test_sized_cases_give_the_table_and_totals(name):
    points = read_points((GOLDEN / f"{name}.csv").read_bytes())
    solution = size(points)
    assert results_table(points, solution) == (GOLDEN / f"{name}.out.csv").read_bytes()
    assert totals_table(points, solution) == (GOLDEN / f"{name}.totals.csv").read_bytes()


@pytest.mark.parametrize("name", [name for name, kind in CASES.items() if kind == "refused"])
def test_refused_cases_give_the_librarys_message(name):
    points = read_points((GOLDEN / f"{name}.csv").read_bytes())
    with pytest.raises(korvan.KorvanError) as refused:
        size(points)
    assert str(refused.value) == expected_message(name, "refused")


@pytest.mark.parametrize("name", [name for name, kind in CASES.items() if kind == "invalid"])
def test_unreadable_cases_give_the_shared_message(name):
    with pytest.raises(Unreadable) as unreadable:
        read_points((GOLDEN / f"{name}.csv").read_bytes())
    assert str(unreadable.value) == expected_message(name, "invalid")
