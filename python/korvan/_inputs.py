"""Checking and converting the caller's arguments before any call reaches the library.

An argument is first taken as an array (`sequence`, `entries`): a view of the caller's own
memory where it is one, which reads nothing of it yet, so that a call can claim that memory
before it reads it. `integers` and `floats` then check the values and return the one-dimensional,
contiguous array of the type the C interface reads, converted without a copy where the argument
already is one. Anything else raises TypeError (the wrong kind of value) or ValueError (the wrong
shape, length or range), naming the argument and, where one value is at fault, its index.
"""

from __future__ import annotations

import decimal
import functools
import numbers
from typing import Any, Callable, Dict, Optional, Type

import numpy as np
import numpy.typing as npt

from ._records import ENTRY_DTYPE
from ._solution import Solution

# The C interface counts new points in an int32.
MAX_COUNT = int(np.iinfo(np.int32).max)
# numpy's stubs leave this one untyped.
_mask_of: Callable[[Any], npt.NDArray[Any]] = np.ma.getmaskarray
# The largest value of each type the C interface takes integers in.
_HIGHEST: Dict[type, int] = {np.uint32: 2**32 - 1, np.uint64: 2**64 - 1}
# Arrays up to this length are checked value by value in Python, which is faster for them.
_FEW = 32
# Longest text of a refused value that a message shows.
_SHOWN_CHARACTERS = 40


def callers(value: Any, array: npt.NDArray[Any]) -> Optional[npt.NDArray[Any]]:
    """`array`, made by `sequence` from `value`, where it is the caller's memory; None where it
    is the package's own (converted from a list, say), which no other call can reach."""
    return array if array is value or array.base is not None else None


def sequence(value: Any, name: str, integral: bool = False) -> npt.NDArray[Any]:
    """`value` as a one-dimensional array; its values are checked by `integers` or `floats`.

    A value that is not already an array and does not convert to one of numbers (of integers,
    when `integral`) becomes an array of objects, so that the check names the value at fault.
    """
    if isinstance(value, np.ma.MaskedArray):
        value = _unmasked(value, name)
    try:
        array = np.asarray(value)
        if not isinstance(value, np.ndarray) and array.dtype.kind not in ("iu" if integral
                                                                          else "iuf"):
            array = np.array(value, dtype=object)
    except (TypeError, ValueError) as error:  # ragged nesting, for one
        raise type(error)(f"{name}: {error}") from None
    if array.ndim == 0:
        raise TypeError(f"{name} must be a sequence or a one-dimensional array, "
                        f"not {type(value).__name__}")
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {array.shape}")
    return array


def _unmasked(value: Any, name: str) -> npt.NDArray[Any]:
    """The data of a masked array in which no value is masked."""
    masked = _mask_of(value)
    if masked.dtype.names:  # a record is masked where any of its fields is
        masked = np.logical_or.reduce([masked[field] for field in masked.dtype.names])
    if masked.any():
        position = np.unravel_index(int(np.flatnonzero(masked)[0]), masked.shape)
        index = ", ".join(str(int(axis)) for axis in position)
        raise ValueError(f"{name}[{index}] is masked; drop or replace the masked values first")
    return np.asarray(value.data)


def check_length(array: npt.NDArray[Any], name: str, length: int) -> None:
    """Raises ValueError unless `array` has one value for each of the `length` types."""
    if len(array) != length:
        noun = "value" if len(array) == 1 else "values"
        raise ValueError(f"{name} has {len(array)} {noun}, not the {length} of types")


def count(array: npt.NDArray[Any], name: str) -> int:
    """The number of new points in `array`, checked against what the interface can count."""
    if len(array) > MAX_COUNT:
        raise ValueError(f"{name} has {len(array)} points; at most {MAX_COUNT} fit one call")
    return len(array)


def integers(array: npt.NDArray[Any], name: str, dtype: Type[np.unsignedinteger[Any]]
             ) -> npt.NDArray[Any]:
    """`array` as a contiguous array of the unsigned integer `dtype`; every value must fit."""
    if array.size == 0:
        return np.zeros(0, dtype)
    if array.dtype.kind == "O":
        limit = _HIGHEST[dtype]
        return np.array([_integer(item, name, position, dtype, limit)
                         for position, item in enumerate(array)], dtype)
    if array.dtype.kind not in "iu":
        raise TypeError(f"{name} must hold integers, not {array.dtype}")
    if not _always_fits(array.dtype, np.dtype(dtype)):
        highest = _HIGHEST[dtype]
        # For a few values, Python's min and max cost less than two passes of numpy's.
        if len(array) <= _FEW:
            values = array.tolist()
            low, high = min(values), max(values)
        else:
            low, high = array.min(), array.max()
        if low < 0 or high > highest:
            position = int(np.flatnonzero((array < 0) | (array > highest))[0])
            raise ValueError(_outside(name, position, array[position], dtype))
    return np.ascontiguousarray(array, dtype)



def _integer(item: object, name: str, position: int, dtype: type, limit: int) -> int:
    if isinstance(item, (bool, np.bool_)) or not isinstance(item, numbers.Integral):
        raise TypeError(f"{name}[{position}] is {_shown(item)}, not an integer")
    value = int(item)
    if not 0 <= value <= limit:
        raise ValueError(_outside(name, position, value, dtype))
    return value


def _outside(name: str, position: int, value: object, dtype: type) -> str:
    limits: np.iinfo[Any] = np.iinfo(dtype)
    return (f"{name}[{position}] is {_shown(value)}, outside the {limits.min} to {limits.max} "
            f"of {np.dtype(dtype).name}")


@functools.lru_cache(maxsize=None)
def _always_fits(given: np.dtype[Any], wanted: np.dtype[Any]) -> bool:
    return bool(np.can_cast(given, wanted, "safe"))


def floats(array: npt.NDArray[Any], name: str) -> npt.NDArray[np.float64]:
    """`array` as a contiguous array of float64; every value must be a real number a double
    holds (infinities and not-a-number included, which the library judges)."""
    kind = array.dtype.kind
    if array.size == 0 or kind in "iu" or array.dtype == np.float64:
        return np.ascontiguousarray(array, np.float64)
    if kind == "O":
        return np.array([_real(item, name, position) for position, item in enumerate(array)],
                        np.float64)
    if kind != "f":
        raise TypeError(f"{name} must hold numbers, not {array.dtype}")
    with np.errstate(over="ignore"):
        converted = np.ascontiguousarray(array, np.float64)
    overflowed = np.isinf(converted) & np.isfinite(array)
    if overflowed.any():  # a long double beyond a double's range
        position = int(np.flatnonzero(overflowed)[0])
        raise ValueError(f"{name}[{position}] is {_shown(array[position])}, "
                         f"too large for a double")
    return converted


def _real(item: object, name: str, position: int) -> float:
    if isinstance(item, (bool, np.bool_)) or not isinstance(item, (numbers.Real,
                                                                   decimal.Decimal)):
        raise TypeError(f"{name}[{position}] is {_shown(item)}, not a number")
    try:
        value = float(item)
    except OverflowError:  # an integer or fraction beyond a double's range
        raise ValueError(f"{name}[{position}] is {_shown(item)}, too large for a double") \
            from None
    except ValueError:  # a signalling not-a-number
        raise ValueError(f"{name}[{position}] is {_shown(item)}, not a number a double holds") \
            from None
    if np.isinf(value) and _finite(item):
        raise ValueError(f"{name}[{position}] is {_shown(item)}, too large for a double")
    return value


def _finite(item: object) -> bool:
    if isinstance(item, decimal.Decimal):
        return item.is_finite()
    if isinstance(item, numbers.Rational):
        return True
    return bool(np.isfinite(item))  # type: ignore[call-overload]


def _shown(value: object) -> str:
    text = repr(value.item() if isinstance(value, np.generic) else value)
    if len(text) > _SHOWN_CHARACTERS:
        return text[:_SHOWN_CHARACTERS - 3] + "..."
    return text


def entries(value: Any, name: str) -> npt.NDArray[Any]:
    """`value` (an ENTRY_DTYPE array, or a Solution) as that one-dimensional array itself."""
    if isinstance(value, Solution):
        value = value.entries
    if isinstance(value, np.ma.MaskedArray):
        value = _unmasked(value, name)
    if not isinstance(value, np.ndarray):
        raise TypeError(f"{name} must be a numpy array of korvan.ENTRY_DTYPE, "
                        f"not {type(value).__name__}")
    if value.dtype != ENTRY_DTYPE:
        raise TypeError(f"{name} must have the dtype korvan.ENTRY_DTYPE, not {value.dtype}")
    if value.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {value.shape}")
    return value

