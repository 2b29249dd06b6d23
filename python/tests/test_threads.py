"""Threads solving different batches at once get what each batch gets alone; threads sharing an
array take turns; a thread writing into an array while others solve it crashes nothing."""

import os
import signal
import subprocess
import sys
import textwrap
from concurrent.futures import ThreadPoolExecutor

import numpy as np
import pytest

import korvan
from korvan import _locks
from support import same_bits, solution_totals

THREADS = 4
ROUNDS = 6


def batch(seed):
    generator = np.random.default_rng(seed)
    count = int(generator.integers(1, 3000))
    return generator.integers(0, 4, count), generator.uniform(1.0, 2000.0, count)


def solve(types, values):
    """Every kind of call on one batch: generate, fill of a shuffled copy, smallest sizes."""
    solution = korvan.generate(types, values)
    shuffled = solution.entries[::-1].copy()
    refilled = korvan.fill(shuffled)
    ordered, smallest = korvan.smallest_possible_valves(solution.valve_size)
    return (solution.entries, solution_totals(solution), refilled.entries,
            solution_totals(refilled), ordered, smallest)


def assert_same_outcome(actual, expected):
    for got, wanted in zip(actual, expected):
        assert same_bits(np.asarray(got), np.asarray(wanted))


def test_threads_solving_different_batches_at_once():
    batches = [batch(seed) for seed in range(THREADS * ROUNDS)]
    alone = [solve(*arguments) for arguments in batches]
    with ThreadPoolExecutor(THREADS) as pool:
        together = list(pool.map(lambda arguments: solve(*arguments), batches))
    for actual, expected in zip(together, alone):
        assert_same_outcome(actual, expected)


def refill_rounds(entries):
    """Reverses the records and re-solves them in place, round after round."""
    for _ in range(ROUNDS):
        entries[:] = entries[::-1].copy()
        korvan.fill(entries)
    return entries


def test_threads_refilling_their_own_arrays_in_place():
    starts = [korvan.generate(*batch(seed)).entries for seed in range(THREADS)]
    alone = [refill_rounds(entries.copy()) for entries in starts]
    with ThreadPoolExecutor(THREADS) as pool:
        together = list(pool.map(refill_rounds, starts))
    for actual, expected in zip(together, alone):
        assert same_bits(actual, expected)


def test_threads_sharing_one_array_take_turns():
    # Every thread re-solves the same array again and again; the calls take turns, so each
    # sees the array whole and it ends as one fill alone leaves it.
    entries = korvan.generate(*batch(7)).entries
    expected = korvan.fill(entries.copy()).entries
    results = []

    def refill(_):
        for _ in range(ROUNDS):
            solution = korvan.fill(entries)
            results.append(solution_totals(solution))
            ordered, smallest = korvan.smallest_possible_valves(entries["valve_size"])
            assert (smallest > 0).all() and same_bits(ordered, np.sort(ordered)[::-1])

    with ThreadPoolExecutor(THREADS) as pool:
        list(pool.map(refill, range(THREADS)))
    assert same_bits(entries, expected)
    assert len(set(results)) == 1


def test_a_solution_shared_by_threads_keeps_its_entries_and_totals_together():
    solution = korvan.generate(*batch(8))
    expected = korvan.fill(solution.entries.copy())

    def refill(_):
        for _ in range(ROUNDS):
            assert korvan.fill(solution) is solution

    with ThreadPoolExecutor(THREADS) as pool:
        list(pool.map(refill, range(THREADS)))
    assert same_bits(solution.entries, expected.entries)
    assert solution_totals(solution) == solution_totals(expected)


def test_generate_reading_held_entries_waits_for_a_fill_writing_them():
    # Held entries copied while another thread re-solves them would mix two orders.
    held = korvan.generate(*batch(9)).entries
    settled = korvan.fill(held.copy()).entries
    new_types, new_values = batch(10)
    expected = korvan.generate(new_types, new_values, entries=settled)

    def refill(_):
        for _ in range(ROUNDS):
            korvan.fill(held)

    def extend(_):
        for _ in range(ROUNDS):
            solution = korvan.generate(new_types, new_values, entries=held)
            assert sorted(solution.caller_data.tolist()) == sorted(
                expected.caller_data.tolist())

    korvan.fill(held)
    with ThreadPoolExecutor(THREADS) as pool:
        list(pool.map(lambda job: job(None), [refill, extend] * (THREADS // 2)))
    assert same_bits(held, settled)


@pytest.mark.parametrize(
    "mine, theirs, conflict",
    [
        ((0, 8, True), (8, 16, True), False),  # adjacent
        ((0, 9, True), (8, 16, False), True),  # one byte shared, one writes
        ((0, 9, False), (8, 16, False), False),  # both only read
        ((4, 6, False), (0, 16, True), True),  # inside
    ],
)
def test_claims_conflict_where_they_overlap_and_one_writes(mine, theirs, conflict):
    assert _locks._conflict(mine, theirs) is conflict
    assert _locks._conflict(theirs, mine) is conflict


def test_a_claim_covers_every_byte_a_strided_view_reaches():
    entries = np.zeros(10, korvan.ENTRY_DTYPE)
    claims = _locks.MemoryClaims()
    turn = claims.claim(reads=(entries["demand"][::3], None, np.zeros(0)),
                        writes=(entries[9:],))
    base = entries.ctypes.data
    assert turn._claims == [(base + 16, base + 9 * 72 + 24, False),
                            (base + 9 * 72, base + 10 * 72, True)]
    with turn:
        assert claims._conflicts([(base + 9 * 72 + 16, base + 9 * 72 + 24, False)])
        assert not claims._conflicts([(base, base + 9 * 72, False)])
    assert not claims._held


# Two threads re-solve one array of 10^5 points (taking turns) while a third writes demands and
# input values into it without taking any: a host mistake that may give garbage values and
# refusals, never a crash. Run in a child interpreter, so that a crash is reported as one.
RACE = textwrap.dedent("""
    import sys, threading
    import numpy as np
    import korvan

    rounds = int(sys.argv[1])
    generator = np.random.default_rng(5)
    count = 100_000
    entries = korvan.generate(generator.integers(0, 4, count),
                              generator.uniform(1.0, 2000.0, count)).entries
    demands = generator.uniform(1e-3, 1e3, count)
    done = threading.Event()

    def write():
        step = 0
        while not done.is_set():
            step += 1
            entries["demand"] = demands[::-1] if step % 2 else demands
            entries["input_value"][step % 7::7] = demands[step % 7::7] * step

    def solve():
        for _ in range(rounds):
            try:
                korvan.fill(entries)
            except korvan.KorvanError:
                pass

    writer = threading.Thread(target=write)
    solvers = [threading.Thread(target=solve) for _ in range(2)]
    writer.start()
    for solver in solvers:
        solver.start()
    for solver in solvers:
        solver.join()
    done.set()
    writer.join()
    print("survived", 2 * rounds, "calls")
""")


def test_fill_survives_a_thread_writing_into_its_array():
    rounds = int(os.environ.get("KORVAN_RACE_ROUNDS", "40"))
    package_parent = os.path.dirname(os.path.dirname(korvan.__file__))
    environment = dict(os.environ, PYTHONPATH=package_parent)
    run = subprocess.run([sys.executable, "-c", RACE, str(rounds)], capture_output=True,
                         text=True, check=False, env=environment)
    died = (f"by {signal.Signals(-run.returncode).name}" if run.returncode < 0
            else f"with exit status {run.returncode}")
    assert run.returncode == 0, f"the interpreter died {died}:\n{run.stderr}"
    assert run.stdout == f"survived {2 * rounds} calls\n"
