"""Times the korvan package against bare ctypes calls of the same C functions on the same data.

    KORVAN_LIBRARY=build/bench/libKorvanCalcValueProvider.so.1 PYTHONPATH=python \
        /usr/bin/python3 bench/python/bench_korvan.py [--points N] [--rounds R] [--json FILE]

(`make bench-python` builds the library with the bench preset and runs this.)

Each measurement alternates the package call and the bare call round by round, so that both see
the same state of a shared machine, and reports the median time of each and the median of the
rounds' ratios. The bare call gets its inputs ready beforehand (already of the C types, the tags
made); what is timed is what any caller of the C function must do: allocate the output array
with np.empty, and the call itself. The package's time is the whole Python call: checking and
converting the arguments, the tags, the claim on the caller's memory, the output array, the
call and the Solution.
"""

import argparse
import ctypes
import json
import statistics
import time

import numpy as np

import korvan
from korvan._library import LIBRARY, Totals


# The calling thread's processor time: on a machine shared with other work, the time a thread
# waits for a processor is not the call's. (--clock wall for elapsed time.)
CLOCKS = {"thread": time.thread_time, "wall": time.perf_counter}
clock = CLOCKS["thread"]


def timed(call):
    start = clock()
    call()
    return clock() - start


def compare(name, prepare_package, prepare_bare, rounds):
    """Median seconds of the calls that `prepare_package()` and `prepare_bare()` return, and the
    median over the rounds of their ratio. Odd rounds time the bare call first."""
    package_times, bare_times = [], []
    for round_number in range(rounds):
        package, bare = prepare_package(), prepare_bare()
        if round_number % 2:
            bare_times.append(timed(bare))
            package_times.append(timed(package))
        else:
            package_times.append(timed(package))
            bare_times.append(timed(bare))
    ratios = [package / bare for package, bare in zip(package_times, bare_times)]
    return {"name": name, "package_s": statistics.median(package_times),
            "bare_s": statistics.median(bare_times), "ratio": statistics.median(ratios)}


def points(count, seed=1):
    """Realistic points: types 0 to 3 and input values from 1 to 2000."""
    generator = np.random.default_rng(seed)
    return generator.integers(0, 4, count), generator.uniform(1.0, 2000.0, count)


def bare_generate(types, values):
    """A KorvanGenerateSolution call with its inputs ready, allocating its output array."""
    types = np.ascontiguousarray(types, np.uint32)
    tags = np.arange(len(types), dtype=np.uint64)

    def call():
        entries = np.empty(len(types), korvan.ENTRY_DTYPE)
        count, totals = ctypes.c_size_t(0), Totals()
        assert LIBRARY.generate_solution(len(types), types.ctypes.data, values.ctypes.data,
                                         tags.ctypes.data, entries.ctypes.data, len(entries),
                                         ctypes.byref(count), ctypes.byref(totals)) == 0
    return call


def package_fill(solved):
    entries = solved.copy()
    return lambda: korvan.fill(entries)


def bare_fill(solved):
    entries, totals = solved.copy(), Totals()

    def call():
        assert LIBRARY.fill_solution(entries.ctypes.data, len(entries),
                                     ctypes.byref(totals)) == 0
    return call


def bare_smallest(sizes):
    """A KorvanGetSmallestPossibleValves call on a copy of the sizes (the call sorts them)."""
    def call():
        ordered, smallest = sizes.copy(), np.empty_like(sizes)
        assert LIBRARY.smallest_possible_valves(ordered.ctypes.data, len(ordered),
                                                smallest.ctypes.data) == 0
    return call


def small_calls(calls):
    """Seconds per call of the three-point example, package and bare, over `calls` calls."""
    types, values = np.array([1, 0, 3], np.uint32), np.array([50.0, 100.0, 80.0])
    tags = np.arange(3, dtype=np.uint64)
    addresses = (types.ctypes.data, values.ctypes.data, tags.ctypes.data)

    def bare():
        for _ in range(calls):
            entries = np.empty(3, korvan.ENTRY_DTYPE)
            count, totals = ctypes.c_size_t(0), Totals()
            LIBRARY.generate_solution(3, *addresses, entries.ctypes.data, 3, ctypes.byref(count),
                                      ctypes.byref(totals))

    def with_lists():
        for _ in range(calls):
            korvan.generate([1, 0, 3], [50, 100, 80])

    def with_arrays():
        for _ in range(calls):
            korvan.generate(types, values)

    return [
        compare("three points, lists", lambda: with_lists, lambda: bare, 5),
        compare("three points, arrays", lambda: with_arrays, lambda: bare, 5),
    ]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--rounds", type=int, default=21)
    parser.add_argument("--calls", type=int, default=20_000)
    parser.add_argument("--json", help="also write the results to this file")
    parser.add_argument("--clock", choices=sorted(CLOCKS), default="thread",
                        help="what is timed: the calling thread's processor time (default) or "
                             "elapsed time")
    arguments = parser.parse_args()
    global clock
    clock = CLOCKS[arguments.clock]
    n, rounds = arguments.points, arguments.rounds

    types, values = points(n)
    types32 = types.astype(np.uint32)
    solved = korvan.generate(types32, values)
    shuffled = solved.entries.copy()
    np.random.default_rng(2).shuffle(shuffled)
    sizes = shuffled["valve_size"].copy()

    results = [
        compare("generate, uint32 types", lambda: lambda: korvan.generate(types32, values),
                lambda: bare_generate(types32, values), rounds),
        compare("generate, int64 types", lambda: lambda: korvan.generate(types, values),
                lambda: bare_generate(types32, values), rounds),
        compare("fill, shuffled", lambda: package_fill(shuffled),
                lambda: bare_fill(shuffled), rounds),
        compare("smallest_possible_valves",
                lambda: lambda: korvan.smallest_possible_valves(sizes),
                lambda: bare_smallest(sizes), rounds),
    ]

    print(f"{n} points, median of {rounds} rounds, {arguments.clock} time; the package against "
          f"a bare ctypes call")
    print(f"{'call':28} {'package ms':>11} {'bare ms':>9} {'ratio':>6}")
    for result in results:
        print(f"{result['name']:28} {result['package_s'] * 1e3:11.2f} "
              f"{result['bare_s'] * 1e3:9.2f} {result['ratio']:6.3f}")
    small = small_calls(arguments.calls)
    print(f"\nthe three-point example, {arguments.calls} calls a round")
    print(f"{'call':28} {'package us':>11} {'bare us':>9} {'ratio':>6}")
    for result in small:
        result["package_s"] /= arguments.calls
        result["bare_s"] /= arguments.calls
        print(f"{result['name']:28} {result['package_s'] * 1e6:11.2f} "
              f"{result['bare_s'] * 1e6:9.2f} {result['ratio']:6.3f}")
    if arguments.json:
        with open(arguments.json, "w", encoding="utf-8") as out:
            json.dump({"points": n, "rounds": rounds, "clock": arguments.clock,
                       "results": results + small}, out, indent=2)


if __name__ == "__main__":
    main()
