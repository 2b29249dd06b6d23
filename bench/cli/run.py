#!/usr/bin/python3
"""korvan-size at the scale of real files, measured as a process against a baseline.

For a CSV of N points (types 0 to 3, input values 1 to 2000 with two decimals, one carried
column), runs korvan-size in each output format and korvan_cli_baseline, which reads the same
file, parses the same numbers, makes the same GenerateSolutionVector call and prints the same
numbers, and nothing else. Runs alternate, REPEATS rounds, and each program's fastest round
counts: the machine is shared, and the fastest round is the one least disturbed.

Targets, checked at the end (exit status 1 if one is missed):
  time      korvan-size's CPU time (user + system) at most 2 x the baseline's
  memory    korvan-size's peak resident memory at most 3 x (72 bytes x N + the input's size)

usage: bench/cli/run.py BUILD_DIR [--rows N] [--repeats R] [--korvan-size PATH] [--json FILE]
"""
import argparse
import json
import os
import random
import subprocess
import sys
import time

FORMATS = ("table", "csv", "json")
RECORD_BYTES = 72


def write_points(path, rows):
    generator = random.Random(14)
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write("type,inputValue,name\n")
        for index in range(rows):
            value = round(generator.uniform(1, 2000), 2)
            out.write(f"{generator.randint(0, 3)},{value},P{index + 1}\n")


def run(command):
    """CPU seconds, wall seconds, peak resident bytes and output bytes of one run."""
    started = time.perf_counter()
    with subprocess.Popen(command, stdout=subprocess.PIPE, stdin=subprocess.DEVNULL) as process:
        written = 0
        while True:
            block = process.stdout.read(1 << 20)
            if not block:
                break
            written += len(block)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
    wall = time.perf_counter() - started
    if process.returncode != 0:
        sys.exit(f"{' '.join(command)} exited with {process.returncode}")
    return {
        "cpu_s": usage.ru_utime + usage.ru_stime,
        "wall_s": wall,
        "peak_rss_bytes": usage.ru_maxrss * 1024,
        "output_bytes": written,
    }


def fastest(runs):
    best = min(runs, key=lambda measured: measured["cpu_s"])
    return dict(best, peak_rss_bytes=max(measured["peak_rss_bytes"] for measured in runs))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("--rows", type=int, default=1_000_000)
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--korvan-size", dest="korvan_size")
    parser.add_argument("--json", dest="json_out")
    options = parser.parse_args()

    build = options.build_dir
    program = options.korvan_size or os.path.join(build, "korvan-size")
    baseline = os.path.join(build, "bench", "cli", "korvan_cli_baseline")
    points = os.path.join(build, "bench", "cli", f"points-{options.rows}.csv")
    if not os.path.exists(points):
        write_points(points, options.rows)
    input_bytes = os.path.getsize(points)

    commands = {"baseline": [baseline, points]}
    for output_format in FORMATS:
        commands[output_format] = [program, "--csv", points, "--format", output_format]
    runs = {name: [] for name in commands}
    for _ in range(options.repeats):
        for name, command in commands.items():
            runs[name].append(run(command))
    results = {name: fastest(measured) for name, measured in runs.items()}

    memory_budget = 3 * (RECORD_BYTES * options.rows + input_bytes)
    base = results["baseline"]
    print(f"{options.rows} points, input {input_bytes / 1e6:.1f} MB, "
          f"memory target {memory_budget / 1e6:.0f} MB, time target 2 x baseline")
    print(f"{'':10} {'cpu s':>7} {'wall s':>7} {'peak MB':>8} {'out MB':>7} "
          f"{'x time':>7} {'x mem':>6}")
    missed = []
    for name, measured in results.items():
        time_ratio = measured["cpu_s"] / base["cpu_s"]
        memory_ratio = measured["peak_rss_bytes"] / (memory_budget / 3)
        measured.update(time_vs_baseline=time_ratio, memory_vs_records_and_input=memory_ratio)
        print(f"{name:10} {measured['cpu_s']:7.2f} {measured['wall_s']:7.2f} "
              f"{measured['peak_rss_bytes'] / 1e6:8.0f} {measured['output_bytes'] / 1e6:7.1f} "
              f"{time_ratio:7.2f} {memory_ratio:6.2f}")
        if name != "baseline" and (time_ratio > 2.0 or memory_ratio > 3.0):
            missed.append(name)
    if options.json_out:
        with open(options.json_out, "w", encoding="utf-8") as out:
            json.dump({"rows": options.rows, "input_bytes": input_bytes, "results": results},
                      out, indent=2)
    if missed:
        print("missed a target: " + ", ".join(missed))
        return 1
    print("every format within both targets")
    return 0


if __name__ == "__main__":
    sys.exit(main())
