"""The library's result codes and rules, and the exception every refused call raises."""

from __future__ import annotations

import enum
from typing import Optional, Tuple


class _Codes(enum.IntEnum):
    """An IntEnum that keeps a value it does not know (from a newer library) as a member too."""

    @classmethod
    def _missing_(cls, value: object) -> Optional[_Codes]:
        if not isinstance(value, int) or isinstance(value, bool):
            return None
        member = int.__new__(cls, value)
        member._name_ = f"UNKNOWN_{value}"
        member._value_ = value
        return member


class Result(_Codes):
    """The result codes of the library's calls (``KORVAN_*`` in its C header)."""

    SUCCESS = 0
    OUT_OF_MEMORY = 10
    NOTHING_TO_SOLVE = 11
    INVALID_TYPE = 12
    UNSOLVABLE_INPUT = 13
    INVALID_ARGUMENT = 160


class Rule(_Codes):
    """The rules a refused call can break (``KORVAN_RULE_*`` in the library's C header)."""

    NONE = 0
    NOTHING_TO_SOLVE = 1
    TYPE_UNKNOWN = 2
    INPUT_NOT_POSITIVE = 3
    INPUT_NOT_A_NUMBER = 4
    DEMAND_OUT_OF_RANGE = 5
    DEMANDS_TOO_FAR_APART = 6
    SIZE_NOT_POSITIVE = 7
    RATIOS_IN_NO_GROUP = 8


class KorvanError(Exception):
    """The library refused a call.

    Whatever the code, the arrays the caller passed are as they were before the call, except
    that a refusal for memory (``Result.OUT_OF_MEMORY``) from `fill` may leave its entries
    reordered, each entry whole.

    Attributes
    ----------
    code : Result
        The library's result code.
    rule : Rule
        The first rule the call's points break, as the library diagnoses it; ``Rule.NONE`` when
        no point is at fault (memory ran out, or an argument of the call itself).
    point : int or None
        The index of the point the refusal is about, in the call's own numbering: the held
        entries first, then the new points in the order given; for `fill`, the index in the
        array; for `smallest_possible_valves`, the index in the sizes as given. None when the
        library names no single point.
    other_point : int or None
        For ``Rule.DEMANDS_TOO_FAR_APART``, the point of larger demand that the point outgrows;
        otherwise None.

    Notes
    -----
    The message is ``point N: <the rule>`` (``point N: <the rule> (point M)`` for a pair), with N
    and M counted from 1 (``point + 1``); the rule alone when no point is named; otherwise the
    library's sentence for the result code.
    """

    code: Result
    rule: Rule
    point: Optional[int]
    other_point: Optional[int]

    def __init__(self, code: int, message: str, rule: int = Rule.NONE,
                 point: Optional[int] = None, other_point: Optional[int] = None) -> None:
        super().__init__(message)
        self.code = Result(code)
        self.rule = Rule(rule)
        self.point = point
        self.other_point = other_point

    def __reduce__(self) -> Tuple[type, Tuple[int, str, int, Optional[int], Optional[int]]]:
        # Exceptions pickle their args alone; a KorvanError must cross process pools whole.
        return (type(self), (int(self.code), str(self), int(self.rule), self.point,
                             self.other_point))


def refusal_message(result_sentence: str, rule_sentence: str, point: Optional[int],
                    other_point: Optional[int]) -> str:
    """The message of a refusal: the point and rule when a rule is named, else the result."""
    if not rule_sentence:
        return result_sentence
    if point is None:
        return rule_sentence
    message = f"point {point + 1}: {rule_sentence}"
    if other_point is not None:
        message += f" (point {other_point + 1})"
    return message
