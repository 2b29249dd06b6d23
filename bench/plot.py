#!/usr/bin/env python3
"""Draws the batch benchmarks of korvan_benchmarks' JSON output against the number of points.

usage: plot.py BENCHMARKS.json OUTPUT.svg

Two panels: time per call against n on log-log axes, and time per point against n, where a cost
that grows like sorting (n log n) rises slowly and evenly. Each shows the two solving calls and
std::sort of the same records by demand, measured in the same iterations. Python's standard
library only: the SVG is written by hand.
"""
import json
import math
import sys

SERIES = [
    ("BM_GenerateOnEmptyVector", "ns_per_point", "GenerateSolutionVector, empty vector", "#1f77b4"),
    ("BM_FillShuffledSolvedVector", "ns_per_point", "FillSolutionVector, shuffled solved vector",
     "#d62728"),
    ("BM_GenerateOnEmptyVector", "sort_ns_per_point", "std::sort of the same records by demand",
     "#7f7f7f"),
]
PANEL_WIDTH, HEIGHT = 460, 420
LEFT, RIGHT, TOP, BOTTOM = 70, 20, 50, 110


def load_points(path):
    """Maps (benchmark family, counter) to a sorted list of (n, nanoseconds per point)."""
    with open(path, encoding="utf-8") as handle:
        runs = json.load(handle)["benchmarks"]
    points = {}
    for run in runs:
        if run.get("run_type", "iteration") != "iteration":
            continue
        family, _, argument = run["name"].partition("/")
        if not argument.split("/")[0].isdigit():
            continue
        for key in ("ns_per_point", "sort_ns_per_point"):
            if key in run:
                points.setdefault((family, key), []).append((int(argument.split("/")[0]),
                                                              run[key]))
    return {key: sorted(values) for key, values in points.items()}


def decades(low, high):
    return list(range(math.floor(math.log10(low)), math.ceil(math.log10(high)) + 1))


def power_label(x, y, exponent, anchor):
    return (f'<text x="{x:.1f}" y="{y:.1f}" text-anchor="{anchor}">10'
            f'<tspan dy="-5" font-size="9">{exponent}</tspan></text>')


def panel(points, offset, title, y_label, per_call):
    """One panel's SVG elements; per_call plots n * ns-per-point in seconds on a log axis."""
    def value(n, ns):
        return n * ns * 1e-9 if per_call else ns

    values = [(n, value(n, ns)) for key in points for n, ns in points[key]]
    x_decades = decades(min(n for n, _ in values), max(n for n, _ in values))
    if per_call:
        y_ticks = decades(min(v for _, v in values), max(v for _, v in values))
        y_low, y_high = y_ticks[0], y_ticks[-1]
        y_scale = math.log10
    else:
        step = 25
        y_high = step * math.ceil(max(v for _, v in values) / step)
        y_ticks = list(range(0, int(y_high) + 1, step))
        y_low = 0
        y_scale = float
    left, right = offset + LEFT, offset + PANEL_WIDTH - RIGHT
    bottom = HEIGHT - BOTTOM

    def x_of(n):
        span = x_decades[-1] - x_decades[0]
        return left + (math.log10(n) - x_decades[0]) / span * (right - left)

    def y_of(v):
        return bottom - (y_scale(v) - y_low) / (y_high - y_low) * (bottom - TOP)

    out = [f'<text x="{(left + right) / 2:.1f}" y="{TOP - 16}" text-anchor="middle" '
           f'font-size="13">{title}</text>']
    for d in x_decades:
        x = x_of(10 ** d)
        out.append(f'<line x1="{x:.1f}" y1="{TOP}" x2="{x:.1f}" y2="{bottom}" stroke="#ddd"/>')
        out.append(power_label(x, bottom + 16, d, "middle"))
    for tick in y_ticks:
        y = y_of(10 ** tick if per_call else tick)
        out.append(f'<line x1="{left}" y1="{y:.1f}" x2="{right}" y2="{y:.1f}" stroke="#ddd"/>')
        out.append(power_label(left - 6, y + 4, tick, "end") if per_call else
                   f'<text x="{left - 6}" y="{y + 4:.1f}" text-anchor="end">{tick}</text>')
    out.append(f'<text x="{(left + right) / 2:.1f}" y="{bottom + 36}" text-anchor="middle">'
               'points n</text>')
    middle = (TOP + bottom) / 2
    out.append(f'<text x="{offset + 16}" y="{middle}" text-anchor="middle" '
               f'transform="rotate(-90 {offset + 16} {middle})">{y_label}</text>')
    for family, key, _, colour in SERIES:
        series = [(n, value(n, ns)) for n, ns in points.get((family, key), [])]
        if not series:
            continue
        path = " ".join(f"{x_of(n):.1f},{y_of(v):.1f}" for n, v in series)
        out.append(f'<polyline points="{path}" fill="none" stroke="{colour}" stroke-width="2"/>')
        out.extend(f'<circle cx="{x_of(n):.1f}" cy="{y_of(v):.1f}" r="3" fill="{colour}"/>'
                   for n, v in series)
    return out


def draw(points):
    width = 2 * PANEL_WIDTH
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{HEIGHT}" '
           'font-family="sans-serif" font-size="12">',
           f'<rect width="{width}" height="{HEIGHT}" fill="white"/>']
    out += panel(points, 0, "Time per call", "seconds per call", per_call=True)
    out += panel(points, PANEL_WIDTH, "Time per point", "nanoseconds per point", per_call=False)
    legend_y = HEIGHT - BOTTOM + 60
    for _, _, label, colour in SERIES:
        out.append(f'<line x1="{LEFT}" y1="{legend_y - 4}" x2="{LEFT + 24}" y2="{legend_y - 4}" '
                   f'stroke="{colour}" stroke-width="2"/>')
        out.append(f'<text x="{LEFT + 32}" y="{legend_y}">{label}</text>')
        legend_y += 16
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    points = load_points(argv[1])
    if not points:
        sys.exit(f"{argv[1]}: no benchmark with a point count")
    with open(argv[2], "w", encoding="utf-8") as handle:
        handle.write(draw(points))


if __name__ == "__main__":
    main(sys.argv)
