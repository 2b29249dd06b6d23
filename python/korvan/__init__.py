"""Valve sizing with numpy: the KorvanCalcValueProvider library through its plain-C interface.

    >>> import korvan
    >>> solution = korvan.generate([1, 0, 3], [50, 100, 80])
    >>> solution.valve_size
    array([0.2 , 0.16, 0.1 ])
    >>> solution.scale_factor
    5.348333333333334

Every point is one record of ``ENTRY_DTYPE``, the library's own 72-byte layout, so arrays reach
the library without a copy and the call runs while other Python threads go on. Calls whose
arrays share memory take turns, so threads may share arrays. A refused call raises
``KorvanError``, which names the point at fault, and leaves the caller's arrays as they were.
``__version__`` is the version of the library the package runs on; both are released together.
"""

from ._calls import fill, generate, library_version, smallest_possible_valves, version
from ._errors import KorvanError, Result, Rule
from ._records import ENTRY_DTYPE
from ._solution import Solution

__version__ = library_version()

# Shown as korvan.KorvanError, korvan.Solution, ... in tracebacks and reprs.
for _public in (KorvanError, Result, Rule, Solution):
    _public.__module__ = __name__
del _public

__all__ = ["ENTRY_DTYPE", "KorvanError", "Result", "Rule", "Solution", "fill", "generate",
           "smallest_possible_valves", "version"]
