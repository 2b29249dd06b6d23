"""The CSV rules every front end shares (tests/golden/README.md), as the Python tests read and
write them: points from a CSV input, and the results table and totals a front end writes.

Python's csv module splits records differently (blanks before a quote, a tab as a blank, the
problems it reports), so records are split here by the rules themselves; the module's own
quoting is not used for writing either, since a cell is quoted also for blanks at its ends.
"""

import dataclasses
import decimal
import pathlib
import re
from typing import Any, Dict, Iterator, List, Optional, Tuple

BOM = b"\xef\xbb\xbf"
NOT_UTF8 = 'the CSV input is not UTF-8: save it as UTF-8 (a spreadsheet\'s "CSV UTF-8")'
EMPTY = ("the CSV input is empty: it must start with a header naming the columns type and "
         "inputValue")
NO_HEADER = ("the header must name the columns type and inputValue (in any case), separated by "
             "commas, semicolons or tabs")
SEPARATORS = (",", ";", "\t")
RESULT_COLUMNS = ["point", "type", "inputValue", "demand", "ratio", "valveSize", "delivered",
                  "deviation"]
TOTAL_COLUMNS = ["deviationMax", "deviationMin", "scaleFactor", "reducedScaleFactor"]
LARGEST_TYPE = 4294967295
CONTROL = re.compile("[\x00-\x1f\x7f-\x9f]")
PLAIN_NUMBER = re.compile(r"[+-]?[0-9]+(?:[.,][0-9]+)?(?:[eE][+-]?[0-9]+)?")
FORMULA_START = ("=", "+", "-", "@", "\t", "\r")


class Unreadable(Exception):
    """The input cannot be read; the message is the one every front end gives."""


@dataclasses.dataclass
class Points:
    """What a CSV input holds: the points, in input order, and how to write the results."""

    types: List[int]
    input_values: List[float]
    carried_names: List[str]
    carried: List[List[str]]  # each point's carried values
    separator: str
    decimal_comma: bool
    bom: bool


def shown(text: str) -> str:
    """Text from the input as a message quotes it: control characters as \\xHH."""
    return CONTROL.sub(lambda match: f"\\x{ord(match.group()):02x}", text)


def ascii_lower(text: str) -> str:
    return text.translate({code: code + 32 for code in range(ord("A"), ord("Z") + 1)})


@dataclasses.dataclass
class Record:
    fields: List[str]
    problem: Optional[str]  # the first problem of its quotes, from the left
    end: int  # where the next record starts


def split_record(text: str, start: int, separator: str) -> Record:
    """The record starting at `start`, split by `separator` into field values."""
    blanks = " " if separator == "\t" else " \t"
    stops = (separator, "\r", "\n")
    fields: List[str] = []
    problem = None
    position = start
    while True:
        first = position
        while first < len(text) and text[first] in blanks:
            first += 1
        if first < len(text) and text[first] == '"':
            value, position, closed = _quoted(text, first + 1)
            if not closed:
                problem = problem or f"the quote opened in field {len(fields) + 1} is not closed"
            while position < len(text) and text[position] in blanks:
                position += 1
            if position < len(text) and text[position] not in stops:
                problem = problem or f"text follows the closing quote of field {len(fields) + 1}"
                while position < len(text) and text[position] not in stops:
                    position += 1
        else:
            end = position
            while end < len(text) and text[end] not in stops:
                end += 1
            value, position = text[position:end].strip(blanks), end
        fields.append(value)
        if position < len(text) and text[position] == separator:
            position += 1
            continue
        if text.startswith("\r\n", position):
            position += 2
        elif position < len(text):
            position += 1
        return Record(fields, problem, position)


def _quoted(text: str, start: int) -> Tuple[str, int, bool]:
    """The value of a quoted field whose text starts at `start`; where it ends; whether closed."""
    parts = []
    position = start
    while True:
        quote = text.find('"', position)
        if quote < 0:
            parts.append(text[position:])
            return "".join(parts), len(text), False
        parts.append(text[position:quote])
        if text.startswith('""', quote):
            parts.append('"')
            position = quote + 2
        else:
            return "".join(parts), quote + 1, True


def _header_start(text: str) -> int:
    """Where the header record starts: after the lines of nothing but blanks, commas and
    semicolons."""
    position = 0
    while position < len(text):
        line_end = len(text)
        for stop in ("\r", "\n"):
            found = text.find(stop, position)
            if 0 <= found < line_end:
                line_end = found
        if text[position:line_end].strip(" \t,;"):
            return position
        position = line_end + (2 if text.startswith("\r\n", line_end) else 1)
    raise Unreadable(EMPTY)


def decode(data: bytes) -> Tuple[str, bool]:
    """The input's text, and whether it started with a byte order mark."""
    bom = data.startswith(BOM)
    try:
        return data[len(BOM) if bom else 0:].decode("utf-8"), bom
    except UnicodeDecodeError:
        raise Unreadable(NOT_UTF8) from None


def read_header(text: str) -> Tuple[str, List[str], int]:
    """The separator, the column names and where the points start."""
    start = _header_start(text)
    line_end = min([found for found in (text.find("\r", start), text.find("\n", start))
                    if found >= 0] or [len(text)])
    if "\x00" in text[start:line_end]:  # UTF-16 without a byte order mark
        raise Unreadable(NOT_UTF8)
    for separator in SEPARATORS:
        header = split_record(text, start, separator)
        names = {ascii_lower(name) for name in header.fields}
        if {"type", "inputvalue"} <= names:
            break
    else:
        raise Unreadable(NO_HEADER)
    if header.problem:
        raise Unreadable(f"header: {header.problem}")
    columns = list(header.fields)
    while columns and columns[-1] == "":
        columns.pop()
    seen = set()
    for name in columns:
        key = ascii_lower(name) if ascii_lower(name) in ("type", "inputvalue") else name
        if key in seen:
            raise Unreadable(f'header: the column name "{shown(name)}" appears twice')
        seen.add(key)
    return separator, columns, header.end


def point_records(text: str, start: int, separator: str, columns: int
                  ) -> Iterator[Tuple[int, List[str]]]:
    """(number, fields) of every point, numbered from 1, with its count of fields checked."""
    number = 0
    position = start
    while position < len(text):
        record = split_record(text, position, separator)
        position = record.end
        if record.problem is None and not any(record.fields):
            continue
        number += 1
        if record.problem:
            raise Unreadable(f"point {number}: {record.problem}")
        fields = record.fields
        if not any(fields[columns:]):
            fields = fields[:columns]
        if len(fields) != columns:
            noun = "field" if len(fields) == 1 else "fields"
            raise Unreadable(f"point {number}: {len(fields)} {noun} where the header has "
                             f"{columns} columns")
        yield number, fields


def number_pattern(decimal_sign: str) -> "re.Pattern[str]":
    sign = re.escape(decimal_sign)
    return re.compile(rf"[+-]?(?:[0-9]+{sign}?[0-9]*|{sign}[0-9]+)(?:[eE][+-]?[0-9]+)?"
                      r"|[+-]?(?:inf|infinity|nan)", re.IGNORECASE)


NUMBER_WITH = {".": number_pattern("."), ",": number_pattern(",")}
SIGN_NAMES = {".": "point", ",": "comma"}


def read_value(number: int, text: str, decimal_sign: Optional[str]
               ) -> Tuple[float, Optional[str]]:
    """The input value of point `number`, and the decimal sign then in force (None while no
    value has decided it)."""
    readable = [sign for sign in (".", ",") if NUMBER_WITH[sign].fullmatch(text)]
    written = [sign for sign in (".", ",") if sign in text]
    if not readable:
        raise Unreadable(f'point {number}: input value "{shown(text)}" is not a number')
    if written and decimal_sign is None:
        decimal_sign = written[0]
    if written and written[0] != decimal_sign:
        raise Unreadable(f'point {number}: input value "{shown(text)}" has a decimal '
                         f"{SIGN_NAMES[written[0]]}, but the decimal sign is a "
                         f"{SIGN_NAMES[decimal_sign]}")
    return float(text.replace(",", ".")), decimal_sign


def read_type(number: int, text: str) -> int:
    if not re.fullmatch("[0-9]+", text) or int(text) > LARGEST_TYPE:
        raise Unreadable(f'point {number}: type "{shown(text)}" is not a whole number')
    return int(text)


def read_points(data: bytes) -> Points:
    """The points of a CSV input; raises Unreadable with the message of the first problem."""
    text, bom = decode(data)
    separator, columns, start = read_header(text)
    lowered = [ascii_lower(name) for name in columns]
    type_column, value_column = lowered.index("type"), lowered.index("inputvalue")
    carried_columns = [index for index in range(len(columns))
                       if index not in (type_column, value_column)]
    decimal_sign: Optional[str] = "." if separator == "," else None
    points = Points([], [], [columns[index] for index in carried_columns], [], separator,
                    False, bom)
    for number, fields in point_records(text, start, separator, len(columns)):
        points.types.append(read_type(number, fields[type_column]))
        value, decimal_sign = read_value(number, fields[value_column], decimal_sign)
        points.input_values.append(value)
        points.carried.append([fields[index] for index in carried_columns])
    points.decimal_comma = decimal_sign == "," or (decimal_sign is None and separator == ";")
    return points


def number_text(value: float, decimal_comma: bool) -> str:
    """The fewest digits that read back as `value`, laid out as JavaScript lays them out."""
    if value != value or value in (float("inf"), float("-inf")):
        raise ValueError(f"{value} is no number of a results table")
    if value == 0:
        text = "-0" if str(value).startswith("-") else "0"
    else:
        text = ("-" if value < 0 else "") + _layout(abs(value))
    return text.replace(".", ",") if decimal_comma else text


def _layout(value: float) -> str:
    # Python's repr has the fewest digits that read back; value = 0.DIGITS x 10^point.
    _, digits_tuple, exponent = decimal.Decimal(repr(value)).normalize().as_tuple()
    digits = "".join(str(digit) for digit in digits_tuple)
    point = int(exponent) + len(digits)
    if len(digits) <= point <= 21:
        return digits + "0" * (point - len(digits))
    if 0 < point <= 21:
        return digits[:point] + "." + digits[point:]
    if -6 < point <= 0:
        return "0." + "0" * -point + digits
    fraction = "." + digits[1:] if len(digits) > 1 else ""
    return f"{digits[0]}{fraction}e{'+' if point > 0 else '-'}{abs(point - 1)}"


def text_cell(value: str, separator: str) -> str:
    """A carried value or name as a results table writes it."""
    if value.startswith(FORMULA_START) and not PLAIN_NUMBER.fullmatch(value):
        value = "'" + value
    if any(special in value for special in (separator, '"', "\r", "\n")) or (
            value[:1] in (" ", "\t") or value[-1:] in (" ", "\t")):
        return '"' + value.replace('"', '""') + '"'
    return value


def table(points: Points, rows: List[List[str]], header: List[str]) -> bytes:
    """A table of the input's dialect: its byte order mark, its separator."""
    lines = [points.separator.join(row) + "\n" for row in [header] + rows]
    return (BOM if points.bom else b"") + "".join(lines).encode("utf-8")


def results_table(points: Points, solution: Any) -> bytes:
    """The results table of a korvan.Solution whose points are tagged with their numbers."""
    comma, separator = points.decimal_comma, points.separator
    scale = solution.scale_factor
    rows = []
    for entry in solution.entries.tolist():
        kind, value, demand, ratio, _, _, size, deviation, number = entry
        numbers = [value, demand, ratio, size, size * scale, deviation]
        rows.append([str(number), str(kind)] + [number_text(x, comma) for x in numbers] +
                    [text_cell(cell, separator) for cell in points.carried[number - 1]])
    header = RESULT_COLUMNS + [text_cell(name, separator) for name in points.carried_names]
    return table(points, rows, header)


def totals_table(points: Points, solution: Any) -> bytes:
    totals = [solution.deviation_max, solution.deviation_min, solution.scale_factor,
              solution.reduced_scale_factor]
    return table(points, [[number_text(x, points.decimal_comma) for x in totals]], TOTAL_COLUMNS)


def cases(folder: pathlib.Path) -> Dict[str, str]:
    """{case name: "out", "refused" or "invalid", what it expects} for every input in `folder`."""
    found = {}
    for path in sorted(folder.glob("*.csv")):
        if path.name.endswith((".out.csv", ".totals.csv")):
            continue
        name = path.name[:-len(".csv")]
        found[name] = [kind for kind in ("out", "refused", "invalid")
                       if path.with_name(f"{name}.{kind}.{'csv' if kind == 'out' else 'txt'}")
                       .exists()]
    return {name: kinds[0] for name, kinds in found.items() if len(kinds) == 1}
