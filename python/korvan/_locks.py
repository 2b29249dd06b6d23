"""Calls that share memory take turns.

The library must not work on one array in two calls at once. Each call of the package claims the
memory of the caller's arrays it reads or writes, for as long as it works on them; a call whose
claim overlaps another's, where either writes, waits until that one is done. Calls on separate
memory, and calls that only read the same memory, run at once (the library runs with the GIL
released).
"""

from __future__ import annotations

import threading
from types import TracebackType
from typing import Any, Dict, Iterable, List, Optional, Tuple, Type

import numpy as np
import numpy.typing as npt

# A claim: the first byte, the byte past the last, and whether the call writes there.
_Claim = Tuple[int, int, bool]


def address(array: npt.NDArray[Any]) -> int:
    """Where the array's first element is: what the C interface takes for an array."""
    if array.dtype.names:  # numpy describes a record type at length in __array_interface__
        return int(array.ctypes.data)
    return int(array.__array_interface__["data"][0])


def _extent(array: npt.NDArray[Any]) -> Optional[Tuple[int, int]]:
    """The first byte of the array's memory and the byte past its last, or None if empty."""
    if array.size == 0:
        return None
    if array.ndim == 1:  # what numpy's byte_bounds finds, for the arrays the calls take
        first = address(array)
        reach = (len(array) - 1) * array.strides[0]
        return first + min(reach, 0), first + max(reach, 0) + array.itemsize
    low, high = np.byte_bounds(array)
    return int(low), int(high)


def _conflict(one: _Claim, other: _Claim) -> bool:
    return (one[2] or other[2]) and one[0] < other[1] and other[0] < one[1]


class MemoryClaims:
    """The memory that calls in progress work on, shared by every thread of the process."""

    def __init__(self) -> None:
        self._changed = threading.Condition(threading.Lock())
        self._held: Dict[object, List[_Claim]] = {}

    def claim(self, reads: Iterable[Optional[npt.NDArray[Any]]] = (),
              writes: Iterable[Optional[npt.NDArray[Any]]] = ()) -> _Turn:
        """A context in which the call has the memory of `reads` and `writes` to itself.

        Entering waits until no call in progress writes where this one reads or writes, nor
        reads where this one writes.
        """
        claims: List[_Claim] = []
        for arrays, writing in ((reads, False), (writes, True)):
            for array in arrays:
                extent = None if array is None else _extent(array)
                if extent is not None:
                    claims.append((extent[0], extent[1], writing))
        return _Turn(self, claims)

    def _wait_and_hold(self, token: object, claims: List[_Claim]) -> None:
        try:
            with self._changed:
                while self._held and self._conflicts(claims):
                    self._changed.wait()
                self._held[token] = claims
        except BaseException:
            # Interrupted (KeyboardInterrupt) on the way out: the claim must not outlive us.
            self._release(token)
            raise

    def _release(self, token: object) -> None:
        with self._changed:
            if self._held.pop(token, None) is not None:
                self._changed.notify_all()

    def _conflicts(self, claims: List[_Claim]) -> bool:
        return any(_conflict(mine, theirs)
                   for held in self._held.values() for theirs in held for mine in claims)


class _Turn:
    """One call's claim, held between entering and leaving its `with` block."""

    __slots__ = ("_claims", "_owner")

    def __init__(self, owner: MemoryClaims, claims: List[_Claim]) -> None:
        self._owner = owner
        self._claims = claims

    def __enter__(self) -> None:
        if self._claims:
            self._owner._wait_and_hold(self, self._claims)

    def __exit__(self, kind: Optional[Type[BaseException]], error: Optional[BaseException],
                 trace: Optional[TracebackType]) -> None:
        if self._claims:
            self._owner._release(self)


CLAIMS = MemoryClaims()
