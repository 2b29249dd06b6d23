from concurrent.futures import ThreadPoolExecutor

import numpy as np

import korvan

# The library runs with the GIL released: batches in separate arrays are solved at once.
rows = np.arange(10_000)
batches = [(rows % 4, 1.0 + rows % largest) for largest in (500, 1000, 1500, 2000)]
with ThreadPoolExecutor(4) as pool:
    solutions = list(pool.map(lambda batch: korvan.generate(*batch), batches))
print([round(solution.scale_factor, 6) for solution in solutions])

# Calls on the same array take turns, so threads may share one: here, four threads re-solve
# one solution eight times in all, and it ends as one fill leaves it.
shared = solutions[0]
with ThreadPoolExecutor(4) as pool:
    list(pool.map(lambda _: korvan.fill(shared), range(8)))
print(round(shared.scale_factor, 6), len(shared))
