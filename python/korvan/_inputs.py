"""Checking and converting the caller's arguments before any call reaches the library.

Each function takes the argument and its name, and returns a one-dimensional, contiguous array of
the type the C interface reads, converted without a copy where the argument already is one.
Anything else raises TypeError (the wrong kind of value) or ValueError (the wrong shape, length
or range), naming the argument.
"""

import functools

import numpy as np

from ._records import ENTRY_DTYPE
from ._solution import Solution

# The C interface counts new points in an int32.
MAX_COUNT = np.iinfo(np.int32).max


def _array(value, name):
    try:
        array = np.asarray(value)
    except (TypeError, ValueError) as error:  # ragged nesting, for one
        raise type(error)(f"{name}: {error}") from None
    if array.ndim == 0:
        raise TypeError(f"{name} must be a sequence or a one-dimensional array, "
                        f"not {type(value).__name__}")
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {array.shape}")
    return array


def _check_length(array, name, length):
    if length is not None and len(array) != length:
        noun = "value" if len(array) == 1 else "values"
        raise ValueError(f"{name} has {len(array)} {noun}, not the {length} of types")


def integers(value, name, dtype, length=None):
    """`value` as an array of the unsigned integer `dtype`; every value must fit it."""
    array = _array(value, name)
    _check_length(array, name, length)
    if array.size == 0:
        return np.zeros(0, dtype)
    if array.dtype.kind not in "iu":
        raise TypeError(f"{name} must hold integers, not {array.dtype}")
    if not _always_fits(array.dtype, dtype):
        limits = np.iinfo(dtype)
        if array.min() < 0 or array.max() > limits.max:
            position = int(np.flatnonzero((array < 0) | (array > limits.max))[0])
            raise ValueError(
                f"{name}[{position}] is {array[position]}, outside the {limits.min} to "
                f"{limits.max} of {np.dtype(dtype).name}"
            )
    return np.ascontiguousarray(array, dtype)


@functools.lru_cache(maxsize=None)
def _always_fits(given, wanted):
    return np.can_cast(given, wanted, "safe")


def floats(value, name, length=None, copy=False):
    """`value` as an array of float64; a new array when `copy` is set."""
    array = _array(value, name)
    _check_length(array, name, length)
    if array.size and array.dtype.kind not in "iufO":
        raise TypeError(f"{name} must hold numbers, not {array.dtype}")
    if array.dtype.kind == "O":
        missing = np.equal(array, None)  # numpy would read None as not-a-number
        if missing.any():
            raise TypeError(f"{name}[{int(np.flatnonzero(missing)[0])}] is None")
    try:
        # Objects (Decimal, Fraction, ...) convert as float() converts them.
        if copy:
            return np.array(array, np.float64, order="C")
        return np.ascontiguousarray(array, np.float64)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{name} must hold numbers: {error}") from None


def count(array, name):
    """The number of new points in `array`, checked against what the interface can count."""
    if len(array) > MAX_COUNT:
        raise ValueError(f"{name} has {len(array)} points; at most {MAX_COUNT} fit one call")
    return len(array)


def entries(value, name):
    """`value` (an ENTRY_DTYPE array, or a Solution) as that one-dimensional array itself."""
    if isinstance(value, Solution):
        value = value.entries
    if not isinstance(value, np.ndarray):
        raise TypeError(f"{name} must be a numpy array of korvan.ENTRY_DTYPE, "
                        f"not {type(value).__name__}")
    if value.dtype != ENTRY_DTYPE:
        raise TypeError(f"{name} must have the dtype korvan.ENTRY_DTYPE, not {value.dtype}")
    if value.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, not of shape {value.shape}")
    return value
