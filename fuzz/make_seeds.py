#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz harnesses, in the byte layout their FuzzInput reads.

Run from anywhere: python3 fuzz/make_seeds.py. Each seed is a named file under fuzz/corpus/.
"""
import pathlib
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
SPECIALS = {"zero": 0, "-zero": 1, "nan": 2, "inf": 3, "-inf": 4, "denormal": 5, "min": 6,
            "max": 7, "-1": 8, "1e300": 9, "1e-300": 10}


def value(v):
    """A double: a named special value, or any float as its raw bits."""
    if isinstance(v, str):
        return bytes([SPECIALS[v] * 4])
    return bytes([1]) + struct.pack(">d", v)


def solution(mode=0, held=(), points=(), negative=None):
    """mode bit 0: FillSolutionVector; bit 1: a negative count; bits 4 to 7: a null pointer
    argument (Generate: position 1 to 7; Fill: position + 1). held: (type, input, demand)."""
    data = bytes([mode, len(held)])
    for type_, input_value, demand in held:
        data += bytes([type_]) + value(input_value) + value(demand)
    if not mode & 1:
        data += bytes([len(points)])
        for type_, input_value in points:
            data += bytes([type_]) + value(input_value)
        if mode & 2:
            data += bytes([negative])
    return data


SERIES = [0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03]


def sizes(values, prefilled=0, null=0):
    """Series sizes by selector, 0.4 as a doubled series size, anything else as a Value.
    null: 1 passes `sizes` as a null pointer, 2 `smallest`."""
    data = bytes([prefilled + 4 * null, len(values)])
    for v in values:
        if v in SERIES:
            data += bytes([SERIES.index(v)])
        elif v == 0.4:
            data += bytes([191])
        else:
            data += bytes([208]) + value(v)
    return data


SOLUTION_SEEDS = {
    "road-example": solution(points=[(1, 50.0), (0, 100.0), (3, 80.0)]),
    "one-point": solution(points=[(1, 100.0)]),
    "nearest-ratio": solution(points=[(0, 800.0 - 100.0 * i) for i in range(8)]),
    "twelve-points": solution(points=[(i % 4, 10.0 * (i + 1)) for i in range(12)]),
    "equal-demands": solution(points=[(0, 100.0), (2, 100.0), (1, 40.0)]),
    "onto-host-entries": solution(held=[(1, 1.0, 10.0), (2, 2.0, 6.0)],
                                  points=[(3, 500.0), (3, 500.0)]),
    "count-zero-onto-host": solution(held=[(0, 1.0, 5.0), (0, 1.0, 3.0)]),
    "fill": solution(mode=1, held=[(0, 100.0, 0.5), (1, 50.0, 0.5), (2, 80.0, 0.5),
                                   (3, 120.0, 0.5), (1, 20.0, 0.5)]),
    "fill-nine": solution(mode=1, held=[(i % 4, 7.0 * (i + 3), 1.0) for i in range(9)]),
    "fill-bad-type": solution(mode=1, held=[(0, 100.0, 0.5), (250, 50.0, 0.5)]),
    "infinite-ratio": solution(points=[(0, "1e300"), (0, "1e-300")]),
    "infinite-ratio-eight": solution(points=[(0, "1e300"), (0, 2e299)] + [(0, "1e-300")] * 6),
    # Ratios so large that the distances to the candidates round together.
    "huge-ratio-first-candidate": solution(points=[(0, v) for v in (
        800.0, 700.0, 600.0, 500.00000000000364, 7.291122019556398e-304, 300.0, 200.0, 100.0)]),
    "huge-ratio-tie": solution(points=[(0, v) for v in (
        800.0, 700.0, 600.0, 1.4151899534948934e+17, 1.0, 1.0, 1.0, 1.0)]),
    "nan": solution(points=[(0, 100.0), (1, "nan")]),
    "infinity": solution(points=[(0, "inf"), (1, 100.0)]),
    "zero": solution(points=[(0, "zero"), (1, 100.0)]),
    "negative": solution(points=[(0, -1.0), (1, -1000.0)]),
    "denormal": solution(points=[(0, "denormal"), (1, 100.0)]),
    "overflow": solution(points=[(1, 1e308), (0, 1.0)]),
    "type-seven": solution(points=[(0, 100.0), (1, 50.0), (247, 80.0)]),
    "negative-count": solution(mode=2, points=[(0, 100.0)], negative=0),
    "empty": solution(),
    "fill-empty": solution(mode=1),
    "null-types-count-zero": solution(mode=1 << 4, held=[(0, 1.0, 5.0)]),
}
# Every pointer argument passed as null in turn.
for position, name in enumerate(["types", "input-values", "deviation-max", "deviation-min",
                                 "scale-factor", "reduced-scale-factor", "vector"], start=1):
    SOLUTION_SEEDS["null-" + name] = solution(mode=position << 4, points=[(0, 100.0)])
for position, name in enumerate(["vector", "deviation-max", "deviation-min", "scale-factor",
                                 "reduced-scale-factor"], start=1):
    SOLUTION_SEEDS["fill-null-" + name] = solution(mode=1 | position << 4,
                                                   held=[(0, 100.0, 0.5)])

SMALLEST_SEEDS = {
    "repeated": sizes([0.3, 0.2, 0.2]),
    "unsorted": sizes([0.2, 0.3, 0.2]),
    "higher-group": sizes([0.5, 0.1]),
    "group-four": sizes([0.5, 0.3]),
    "group-zero": sizes([0.1, 0.5, 0.1, 0.03]),
    "outside-series": sizes([0.4, 0.2]),
    "single": sizes([0.5]),
    "whole-series": sizes(list(reversed(SERIES))),
    "prefilled": sizes([0.5, 0.1], prefilled=1),
    "zero": sizes([0.3, 0.0]),
    "negative": sizes([0.3, -0.1]),
    "zero-and-negative": sizes([0.3, 0.0, -0.1]),
    "no-group": sizes([0.7, 0.2]),
    "nan": sizes([0.5, float("nan"), 0.3]),
    "infinite": sizes([float("inf"), 0.5]),
    "eight-distinct": sizes(SERIES + [0.4]),
    "empty": sizes([]),
    "null-sizes": sizes([0.2, 0.5], null=1),
    "null-smallest": sizes([0.2, 0.5], null=2),
}

for folder, seeds in (("solution", SOLUTION_SEEDS), ("smallest", SMALLEST_SEEDS)):
    (CORPUS / folder).mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (CORPUS / folder / name).write_bytes(data)
