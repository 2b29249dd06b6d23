"""The result of a solve: the solved entries and the four numbers of the batch."""

from __future__ import annotations

from typing import (Any, Generic, List, NoReturn, Optional, Sequence, TypeVar, Union, cast,
                    overload)

import numpy as np
import numpy.typing as npt

# Rows a repr shows at either end of a long solution.
_REPR_EDGE_ROWS = 5
_REPR_COLUMNS = ("type", "input_value", "demand", "ratio", "valve_size", "deviation",
                 "caller_data")


_Field = TypeVar("_Field", bound=np.generic)


class _Column(Generic[_Field]):
    """A field of every point as a column of the solution: a view into its entries."""

    def __init__(self, doc: str) -> None:
        self.__doc__ = doc
        self._name = ""

    def __set_name__(self, owner: type, name: str) -> None:
        self._name = name

    @overload
    def __get__(self, solution: None, owner: type) -> _Column[_Field]: ...

    @overload
    def __get__(self, solution: Solution, owner: type) -> npt.NDArray[_Field]: ...

    def __get__(self, solution: Optional[Solution], owner: type
                ) -> Union[_Column[_Field], npt.NDArray[_Field]]:
        if solution is None:
            return self
        return cast("npt.NDArray[_Field]", solution.entries[self._name])

    def __set__(self, solution: Solution, value: NoReturn) -> None:
        # A column is read-only (write into it instead); NoReturn makes type checkers refuse
        # assigning one too.
        raise AttributeError(f"{self._name} is a view into the entries: write into it, as in "
                             f"solution.{self._name}[...] = values")


class Solution:
    """Solved points, largest demand first, with the batch's deviations and scale factor.

    Parameters
    ----------
    entries : numpy.ndarray of ENTRY_DTYPE
        The solved points.
    deviation_max, deviation_min, scale_factor, reduced_scale_factor : float
        The four numbers of the solve.

    Attributes
    ----------
    entries : numpy.ndarray of ENTRY_DTYPE
        The array the library solved. Every field of it is also a column of the solution
        (``solution.valve_size``, ``solution.deviation``, ...): a view into `entries`, so
        writing to a column writes to the entries.
    deviation_max : float
        The largest non-negative percent deviation, rounded down.
    deviation_min : float
        The most negative percent deviation, rounded down.
    scale_factor : float
        The mean of demand / valve size: a point's valve size times this is what it receives.
    reduced_scale_factor : float
        ``scale_factor / 2000``.
    """

    __slots__ = ("entries", "deviation_max", "deviation_min", "scale_factor",
                 "reduced_scale_factor")

    entries: npt.NDArray[np.void]
    deviation_max: float
    deviation_min: float
    scale_factor: float
    reduced_scale_factor: float

    def __init__(self, entries: npt.NDArray[np.void], deviation_max: float,
                 deviation_min: float, scale_factor: float, reduced_scale_factor: float) -> None:
        self.entries = entries
        self.deviation_max = deviation_max
        self.deviation_min = deviation_min
        self.scale_factor = scale_factor
        self.reduced_scale_factor = reduced_scale_factor

    def _set_totals(self, totals: Any) -> None:
        """Takes the four numbers from a KorvanSolutionTotals."""
        self.deviation_max = totals.deviationMax
        self.deviation_min = totals.deviationMin
        self.scale_factor = totals.scaleFactor
        self.reduced_scale_factor = totals.reducedScaleFactor

    @classmethod
    def from_totals(cls, entries: npt.NDArray[np.void], totals: Any) -> Solution:
        """A Solution of `entries` with the four numbers of a KorvanSolutionTotals."""
        return cls(entries, totals.deviationMax, totals.deviationMin, totals.scaleFactor,
                   totals.reducedScaleFactor)

    def __len__(self) -> int:
        return len(self.entries)

    type = _Column[np.int32]("The point types, 0 to 3.")
    input_value = _Column[np.float64]("The input values, in the host's unit.")
    demand = _Column[np.float64]("The demands derived from type and input value, largest first.")
    ratio = _Column[np.float64]("The largest demand divided by each demand.")
    ratio_max = _Column[np.float64]("The upper bound of each ratio at the tolerance the search "
                                    "ended on.")
    ratio_min = _Column[np.float64]("The lower bound of each ratio at the tolerance the search "
                                    "ended on.")
    valve_size = _Column[np.float64]("The chosen sizes, values of the valve series.")
    deviation = _Column[np.float64]("The percent deviations of the delivered quantities, "
                                    "rounded down.")
    caller_data = _Column[np.uint64]("The tags the points carry: by default each new point's "
                                     "position in its call.")

    def __repr__(self) -> str:
        count = len(self.entries)
        noun = "point" if count == 1 else "points"
        lines = [f"korvan.Solution of {count} {noun}"]
        lines += _table(self.entries)
        lines += [
            f"deviation_max         {self.deviation_max!r}",
            f"deviation_min         {self.deviation_min!r}",
            f"scale_factor          {self.scale_factor!r}",
            f"reduced_scale_factor  {self.reduced_scale_factor!r}",
        ]
        return "\n".join(lines)


def _shown_rows(count: int) -> List[Optional[int]]:
    if count <= 2 * _REPR_EDGE_ROWS:
        return list(range(count))
    return [*range(_REPR_EDGE_ROWS), None, *range(count - _REPR_EDGE_ROWS, count)]


def _cell(value: object) -> str:
    return f"{value:.6g}" if isinstance(value, float) else str(value)


def _table(entries: npt.NDArray[np.void]) -> List[str]:
    """The shown rows as right-aligned text columns, with the point's position first."""
    header = ("point",) + _REPR_COLUMNS
    cells: List[Sequence[str]] = [
        ("...",) * len(header) if row is None
        else (str(row),) + tuple(_cell(entries[name][row].item()) for name in _REPR_COLUMNS)
        for row in _shown_rows(len(entries))
    ]
    widths = [max(len(text) for text in column) for column in zip(header, *cells)]
    return ["  ".join(text.rjust(width) for text, width in zip(line, widths))
            for line in [header, *cells]]
