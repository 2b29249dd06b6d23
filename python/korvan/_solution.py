"""The result of a solve: the solved entries and the four numbers of the batch."""

from ._records import ENTRY_DTYPE

# Rows a repr shows at either end of a long solution.
_REPR_EDGE_ROWS = 5
_REPR_COLUMNS = ("type", "input_value", "demand", "ratio", "valve_size", "deviation",
                 "caller_data")


class Solution:
    """Solved points, largest demand first, with the batch's deviation extremes and scale factor.

    ``entries`` is the ENTRY_DTYPE array the library solved; every field of it is also a column
    of the solution (``solution.valve_size``, ``solution.deviation``, ...), a view into
    ``entries``. A point's valve size times ``scale_factor`` is the quantity it receives.
    """

    __slots__ = ("entries", "deviation_max", "deviation_min", "scale_factor",
                 "reduced_scale_factor")

    def __init__(self, entries, deviation_max, deviation_min, scale_factor,
                 reduced_scale_factor):
        self.entries = entries
        self.deviation_max = deviation_max
        self.deviation_min = deviation_min
        self.scale_factor = scale_factor
        self.reduced_scale_factor = reduced_scale_factor

    @classmethod
    def from_totals(cls, entries, totals):
        return cls(entries, totals.deviationMax, totals.deviationMin, totals.scaleFactor,
                   totals.reducedScaleFactor)

    def __len__(self):
        return len(self.entries)

    def __repr__(self):
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


def _column(name):
    return property(lambda self: self.entries[name],
                    doc=f"The {name} of every point: a view into entries.")


for _name in ENTRY_DTYPE.names:
    setattr(Solution, _name, _column(_name))


def _shown_rows(count):
    if count <= 2 * _REPR_EDGE_ROWS:
        return list(range(count))
    return list(range(_REPR_EDGE_ROWS)) + [None] + list(range(count - _REPR_EDGE_ROWS, count))


def _cell(value):
    return f"{value:.6g}" if isinstance(value, float) else str(value)


def _table(entries):
    """The shown rows as right-aligned text columns, with the point's position first."""
    rows = _shown_rows(len(entries))
    header = ("point",) + _REPR_COLUMNS
    cells = [
        ("...",) * len(header) if row is None
        else (str(row),) + tuple(_cell(entries[name][row].item()) for name in _REPR_COLUMNS)
        for row in rows
    ]
    widths = [max(len(text) for text in column) for column in zip(header, *cells)]
    return ["  ".join(text.rjust(width) for text, width in zip(line, widths))
            for line in [header] + cells]
