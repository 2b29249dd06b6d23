import numpy as np

import korvan

# Any sequence or numpy array; each new point is tagged with its position unless
# caller_data gives other tags (here, row numbers of a table that starts at row 2).
types = np.array([1, 0, 3], dtype=np.uint32)
input_values = np.array([50.0, 100.0, 80.0])
solution = korvan.generate(types, input_values, caller_data=[2, 3, 4])

print(solution)
print()
# Every column is a view into solution.entries, one record of korvan.ENTRY_DTYPE a point.
print("demand    ", solution.demand)
print("tags      ", solution.caller_data)
print("rows' sizes", solution.valve_size[np.argsort(solution.caller_data)])
