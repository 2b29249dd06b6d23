#!/usr/bin/env python3
"""Draws time per call against the number of points from korvan_benchmarks' JSON output.

usage: plot.py BENCHMARKS.json OUTPUT.svg

Log-log axes; one line for each solving call and one for std::sort of the same records, so that
a reader sees both grow alike. Python's standard library only: the SVG is written by hand.
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
WIDTH, HEIGHT = 720, 440
LEFT, RIGHT, TOP, BOTTOM = 80, 30, 40, 110


def load_points(path):
    """Maps (benchmark family, counter) to a sorted list of (n, seconds per call)."""
    with open(path, encoding="utf-8") as handle:
        runs = json.load(handle)["benchmarks"]
    points = {}
    for run in runs:
        if run.get("run_type", "iteration") != "iteration":
            continue
        family, _, argument = run["name"].partition("/")
        count = int(argument.split("/")[0]) if argument[:1].isdigit() else None
        if count is None:
            continue
        for key in ("ns_per_point", "sort_ns_per_point"):
            if key in run:
                seconds = run[key] * count * 1e-9
                points.setdefault((family, key), []).append((count, seconds))
    return {key: sorted(values) for key, values in points.items()}


def decades(low, high):
    return list(range(math.floor(math.log10(low)), math.ceil(math.log10(high)) + 1))


def draw(points):
    all_points = [p for key in points for p in points[key]]
    x_decades = decades(min(n for n, _ in all_points), max(n for n, _ in all_points))
    y_decades = decades(min(t for _, t in all_points), max(t for _, t in all_points))

    def x_of(n):
        span = x_decades[-1] - x_decades[0]
        return LEFT + (math.log10(n) - x_decades[0]) / span * (WIDTH - LEFT - RIGHT)

    def y_of(seconds):
        span = y_decades[-1] - y_decades[0]
        return HEIGHT - BOTTOM - (math.log10(seconds) - y_decades[0]) / span * (
            HEIGHT - TOP - BOTTOM)

    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
           f'font-family="sans-serif" font-size="12">',
           f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>',
           f'<text x="{WIDTH / 2}" y="22" text-anchor="middle" font-size="14">'
           'Time per call against the number of points (log-log)</text>']
    for d in x_decades:
        x = x_of(10 ** d)
        out.append(f'<line x1="{x:.1f}" y1="{TOP}" x2="{x:.1f}" y2="{HEIGHT - BOTTOM}" '
                   'stroke="#ddd"/>')
        out.append(f'<text x="{x:.1f}" y="{HEIGHT - BOTTOM + 16}" text-anchor="middle">'
                   f'10<tspan dy="-5" font-size="9">{d}</tspan></text>')
    for d in y_decades:
        y = y_of(10 ** d)
        out.append(f'<line x1="{LEFT}" y1="{y:.1f}" x2="{WIDTH - RIGHT}" y2="{y:.1f}" '
                   'stroke="#ddd"/>')
        out.append(f'<text x="{LEFT - 8}" y="{y + 4:.1f}" text-anchor="end">'
                   f'10<tspan dy="-5" font-size="9">{d}</tspan></text>')
    out.append(f'<text x="{(LEFT + WIDTH - RIGHT) / 2}" y="{HEIGHT - BOTTOM + 36}" '
               'text-anchor="middle">points n</text>')
    out.append(f'<text x="18" y="{(TOP + HEIGHT - BOTTOM) / 2}" text-anchor="middle" '
               f'transform="rotate(-90 18 {(TOP + HEIGHT - BOTTOM) / 2})">seconds per call</text>')
    legend_y = HEIGHT - BOTTOM + 56
    for family, key, label, colour in SERIES:
        series = points.get((family, key), [])
        if not series:
            continue
        path = " ".join(f"{x_of(n):.1f},{y_of(t):.1f}" for n, t in series)
        out.append(f'<polyline points="{path}" fill="none" stroke="{colour}" stroke-width="2"/>')
        for n, t in series:
            out.append(f'<circle cx="{x_of(n):.1f}" cy="{y_of(t):.1f}" r="3" fill="{colour}"/>')
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
