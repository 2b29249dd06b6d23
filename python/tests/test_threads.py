"""Threads solving different batches at once get what each batch gets alone."""

from concurrent.futures import ThreadPoolExecutor

import numpy as np

import korvan
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
