"""The record the library solves in place, as a numpy structured dtype."""

import numpy as np

# KorvanSolutionEntry, byte for byte: 72 bytes, four bytes of padding after `type`.
ENTRY_DTYPE = np.dtype(
    {
        "names": [
            "type",
            "input_value",
            "demand",
            "ratio",
            "ratio_max",
            "ratio_min",
            "valve_size",
            "deviation",
            "caller_data",
        ],
        "formats": [np.int32] + [np.float64] * 7 + [np.uint64],
        "offsets": [0, 8, 16, 24, 32, 40, 48, 56, 64],
        "itemsize": 72,
    },
    align=True,
)
