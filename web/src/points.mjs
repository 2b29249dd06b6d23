// The sizing page's text in and out, by the CSV rules every front end shares
// (tests/golden/README.md): points read from CSV as it streams in, results written as CSV (the
// results table and the totals) and as JSON, and the sizes of the reduce panel. No DOM here, so
// that Node can test it on every golden case.

// Input that cannot be read; the message is the one the rules word, without a final period.
export class InputError extends Error {
  constructor(message) {
    super(message);
    this.name = 'InputError';
  }
}

export const NOT_UTF8 = 'the CSV input is not UTF-8: save it as UTF-8 (a spreadsheet\'s "CSV UTF-8")';
const EMPTY = 'the CSV input is empty: it must start with a header naming the columns type and ' +
              'inputValue';
const NO_HEADER = 'the header must name the columns type and inputValue (in any case), separated ' +
                  'by commas, semicolons or tabs';
const SEPARATORS = [',', ';', '\t'];
const BYTE_ORDER_MARK = '\uFEFF';
const QUOTE = 0x22;
const CR = 0x0d;
const LF = 0x0a;
const SPACE = 0x20;
const TAB = 0x09;
const LARGEST_TYPE = 0xffffffff;
const FIRST_CAPACITY = 1024;
// A decimal number: optional sign, digits with at most one decimal sign, optional exponent.
const DECIMAL = /^[+-]?(?:\d+(?:([.,])\d*)?|([.,])\d+)(?:[eE][+-]?\d+)?$/;
const NOT_FINITE = /^([+-]?)(?:(inf|infinity)|nan)$/i;
// Characters a message shows as \xNN: C0 controls, DEL and C1 controls.
const CONTROL = /[\u0000-\u001f\u007f-\u009f]/g;

// Text from the input as a message quotes it: in double quotes, control characters escaped.
function quoted(text) {
  return `"${text.replace(CONTROL, (c) => `\\x${c.charCodeAt(0).toString(16).padStart(2, '0')}`)}"`;
}

function isBlank(code, separator) {
  return code === SPACE || (code === TAB && separator !== TAB);
}

function asciiLower(text) {
  return text.replace(/[A-Z]/g, (letter) => String.fromCharCode(letter.charCodeAt(0) + 32));
}

// The record at `start` of `text` split with `separator` (a character code): {end, values,
// problem}, problem the first one met or null. With `complete` false more text may follow, and a
// record that reaches the end of `text` is not taken: returns null then.
function scanRecord(text, start, complete, separator) {
  const values = [];
  const length = text.length;
  let at = start;
  for (;;) {
    while (at < length && isBlank(text.charCodeAt(at), separator)) ++at;
    let value = '';
    let problem = null;
    if (at < length && text.charCodeAt(at) === QUOTE) {
      let from = at + 1;
      for (;;) {
        const close = text.indexOf('"', from);
        if (close < 0 || (close + 1 === length && !complete)) {
          if (!complete) return null;
          value += text.slice(from);
          at = length;
          problem = `the quote opened in field ${values.length + 1} is not closed`;
          break;
        }
        if (text.charCodeAt(close + 1) === QUOTE) {
          value += text.slice(from, close + 1);
          from = close + 2;
          continue;
        }
        value += text.slice(from, close);
        at = close + 1;
        while (at < length && isBlank(text.charCodeAt(at), separator)) ++at;
        const next = text.charCodeAt(at);
        if (at < length && next !== separator && next !== CR && next !== LF) {
          problem = `text follows the closing quote of field ${values.length + 1}`;
        }
        break;
      }
    } else {
      const from = at;
      for (; at < length; ++at) {
        const code = text.charCodeAt(at);
        if (code === separator || code === CR || code === LF) break;
      }
      let end = at;
      while (end > from && isBlank(text.charCodeAt(end - 1), separator)) --end;
      value = text.slice(from, end);
    }
    if (at === length && !complete) return null;
    values.push(value);
    if (problem !== null) return {end: at, values, problem};
    const code = text.charCodeAt(at);
    if (code === separator) {
      ++at;
      continue;
    }
    if (code === CR) {
      if (at + 1 === length && !complete) return null; // a line feed may follow
      at += text.charCodeAt(at + 1) === LF ? 2 : 1;
    } else if (code === LF) {
      ++at;
    }
    return {end: at, values, problem: null};
  }
}

// The end of the line at `start` if it holds nothing but blanks, commas and semicolons (a blank
// line before the header); -1 if it holds more; null if more text is needed to tell.
function blankLineEnd(text, start, complete) {
  let at = start;
  while (at < text.length && ' \t,;'.includes(text[at])) ++at;
  if (at === text.length) return complete ? at : null;
  const code = text.charCodeAt(at);
  if (code === LF) return at + 1;
  if (code !== CR) return -1;
  if (at + 1 === text.length && !complete) return null;
  return at + (text.charCodeAt(at + 1) === LF ? 2 : 1);
}

function typeOf(text) {
  if (!/^\d+$/.test(text)) return undefined;
  const type = Number(text);
  return type <= LARGEST_TYPE ? type : undefined;
}

// The input value of `text` by the rules, with the decimal sign in force (null until a value sets
// it): {value, sign} with the sign the text uses (null for none), or {problem}.
function inputValueOf(text, decimalSign) {
  const decimal = DECIMAL.exec(text);
  if (decimal !== null) {
    const sign = decimal[1] ?? decimal[2] ?? null;
    if (sign !== null && decimalSign !== null && sign !== decimalSign) {
      const name = (s) => (s === '.' ? 'point' : 'comma');
      return {problem: `${quoted(text)} has a decimal ${name(sign)}, but the decimal sign is a ` +
                       name(decimalSign)};
    }
    return {value: Number(sign === ',' ? text.replace(',', '.') : text), sign};
  }
  const word = NOT_FINITE.exec(text);
  if (word === null) return {problem: `${quoted(text)} is not a number`};
  const magnitude = word[2] === undefined ? NaN : Infinity;
  return {value: word[1] === '-' ? -magnitude : magnitude, sign: null};
}

// The header's columns: their names (empty ones at the end dropped) and where type and
// inputValue are. Throws for a name that appears twice.
function columnsOf(values) {
  const names = values.slice();
  while (names.length > 0 && names[names.length - 1] === '') names.pop();
  const seen = new Set();
  let typeColumn = -1;
  let inputValueColumn = -1;
  names.forEach((name, index) => {
    const lower = asciiLower(name);
    const key = lower === 'type' || lower === 'inputvalue' ? `\0${lower}` : name;
    if (seen.has(key)) throw new InputError(`header: the column name ${quoted(name)} appears twice`);
    seen.add(key);
    if (lower === 'type') typeColumn = index;
    if (lower === 'inputvalue') inputValueColumn = index;
  });
  return {names, typeColumn, inputValueColumn};
}

function namesTypeAndInputValue(values) {
  const lower = values.map(asciiLower);
  return lower.includes('type') && lower.includes('inputvalue');
}

function grown(array, capacity) {
  const larger = new array.constructor(capacity);
  larger.set(array);
  return larger;
}

// Reads points from CSV text given in pieces (push), as a file streams in. finish() gives the
// table; either throws an InputError at the first problem, in input order.
export class PointReader {
  constructor() {
    this.text = '';
    this.at = 0;
    this.started = false;
    this.byteOrderMark = false;
    this.header = null;
    this.separator = null;
    this.decimalSign = null;
    this.count = 0;
    this.types = new Uint32Array(FIRST_CAPACITY);
    this.inputValues = new Float64Array(FIRST_CAPACITY);
    this.carried = [];
  }

  push(piece) {
    this.text = this.text.slice(this.at) + piece;
    this.at = 0;
    this.read(false);
  }

  finish() {
    this.read(true);
    if (this.header === null) throw new InputError(EMPTY);
    const decimalSign = this.decimalSign ?? (this.separator === ';' ? ',' : '.');
    const {names, typeColumn, inputValueColumn} = this.header;
    return {
      count: this.count,
      types: this.types.subarray(0, this.count),
      inputValues: this.inputValues.subarray(0, this.count),
      carriedNames: names.filter((_, index) => index !== typeColumn && index !== inputValueColumn),
      carried: this.carried,
      dialect: {separator: this.separator, decimalSign, byteOrderMark: this.byteOrderMark},
    };
  }

  read(complete) {
    if (!this.started) {
      if (this.text.length === 0 && !complete) return;
      this.started = true;
      if (this.text.startsWith(BYTE_ORDER_MARK)) {
        this.byteOrderMark = true;
        this.at = 1;
      }
    }
    if (this.header === null && !this.readHeader(complete)) return;
    const separator = this.separator.charCodeAt(0);
    while (this.at < this.text.length) {
      const record = scanRecord(this.text, this.at, complete, separator);
      if (record === null) return;
      this.at = record.end;
      this.addPoint(record);
    }
  }

  // Skips blank lines, finds the separator and reads the header; false if more text is needed.
  readHeader(complete) {
    for (;;) {
      if (this.at === this.text.length && complete) throw new InputError(EMPTY);
      const end = blankLineEnd(this.text, this.at, complete);
      if (end === null) return false;
      if (end < 0) break;
      this.at = end;
    }
    const records = [];
    for (const separator of SEPARATORS) {
      const record = scanRecord(this.text, this.at, complete, separator.charCodeAt(0));
      if (record === null) return false;
      records.push([separator, record]);
    }
    // NUL in the header is how UTF-16 without a byte order mark looks.
    if (this.text.slice(this.at, records[0][1].end).includes('\0')) throw new InputError(NOT_UTF8);
    const named = records.find(([, record]) => namesTypeAndInputValue(record.values));
    if (named === undefined) throw new InputError(NO_HEADER);
    const [separator, record] = named;
    if (record.problem !== null) throw new InputError(`header: ${record.problem}`);
    this.header = columnsOf(record.values);
    this.separator = separator;
    this.decimalSign = separator === ',' ? '.' : null;
    this.carried = this.header.names.flatMap((_, index) => (
      index === this.header.typeColumn || index === this.header.inputValueColumn ? [] : [[]]));
    this.at = record.end;
    return true;
  }

  addPoint({values, problem}) {
    const point = `point ${this.count + 1}: `;
    if (problem !== null) throw new InputError(point + problem);
    if (values.every((value) => value === '')) return;
    const {names, typeColumn, inputValueColumn} = this.header;
    while (values.length > names.length && values[values.length - 1] === '') values.pop();
    if (values.length !== names.length) {
      throw new InputError(`${point}${values.length} field${values.length === 1 ? '' : 's'} ` +
                           `where the header has ${names.length} columns`);
    }
    const type = typeOf(values[typeColumn]);
    if (type === undefined) {
      throw new InputError(`${point}type ${quoted(values[typeColumn])} is not a whole number`);
    }
    const inputValue = inputValueOf(values[inputValueColumn], this.decimalSign);
    if (inputValue.problem !== undefined) throw new InputError(`${point}input value ${inputValue.problem}`);
    this.decimalSign = this.decimalSign ?? inputValue.sign;
    if (this.count === this.types.length) {
      this.types = grown(this.types, this.count * 2);
      this.inputValues = grown(this.inputValues, this.count * 2);
    }
    this.types[this.count] = type;
    this.inputValues[this.count] = inputValue.value;
    let column = 0;
    values.forEach((value, index) => {
      if (index !== typeColumn && index !== inputValueColumn) this.carried[column++].push(value);
    });
    this.count += 1;
  }
}

// Reads points from CSV bytes given in pieces, as a file streams in. The encoding is judged
// first: input that is not UTF-8 anywhere is refused as such, whatever other problem it has, so
// after a problem the rest is only decoded.
export class PointByteReader {
  constructor() {
    this.decoder = new TextDecoder('utf-8', {fatal: true, ignoreBOM: true});
    this.reader = new PointReader();
    this.problem = null;
  }

  push(bytes) {
    this.take(() => this.decoder.decode(bytes, {stream: true}));
  }

  finish() {
    this.take(() => this.decoder.decode());
    if (this.problem !== null) throw this.problem;
    return this.reader.finish();
  }

  take(decode) {
    let text;
    try {
      text = decode();
    } catch {
      throw new InputError(NOT_UTF8);
    }
    if (this.problem !== null) return;
    try {
      this.reader.push(text);
    } catch (error) {
      if (!(error instanceof InputError)) throw error;
      this.problem = error;
    }
  }
}

// Sizes the table's points with the library, each tagged with its row: the solution as columns.
export function sizeTable(korvan, table) {
  const rows = new Uint32Array(table.count);
  for (let row = 0; row < rows.length; ++row) rows[row] = row;
  return korvan.generateColumns(table.types, table.inputValues, rows);
}

// Points from CSV text given whole.
export function parsePoints(text) {
  const reader = new PointReader();
  reader.push(text);
  return reader.finish();
}

// The sizes of the reduce panel, separated by blanks, commas or semicolons.
export function parseSizes(text) {
  const words = text.split(/[\s,;]+/).filter((word) => word !== '');
  return words.map((word, index) => {
    const size = inputValueOf(word, '.');
    if (size.problem !== undefined) throw new InputError(`point ${index + 1}: size ${size.problem}`);
    return size.value;
  });
}

// The shortest text that reads back to the same double, as JavaScript writes it; -0 keeps its sign.
export function exactNumber(value) {
  return Object.is(value, -0) ? '-0' : String(value);
}

// Six significant digits, for reading at a glance.
export function readableNumber(value) {
  return Number.isFinite(value) ? exactNumber(Number(value.toPrecision(6))) : String(value);
}

// A deviation as the library rounds it: two decimals, and no minus sign on zero.
export function percentText(deviation) {
  return Number.isFinite(deviation) ? (deviation + 0).toFixed(2) : String(deviation);
}

// A plain number, which a spreadsheet reads as a number and never as a formula.
const PLAIN_NUMBER = /^[+-]?(?:\d+(?:[.,]\d*)?|[.,]\d+)(?:[eE][+-]?\d+)?$/;
const FORMULA_LEADS = '=+-@\t\r';

// A text cell of the results: a ' in front where a spreadsheet would run it as a formula (unless
// `keepFormulas`), and in quotes where it holds the separator, a quote or a line break, or begins
// or ends with a blank.
export function textCell(value, separator, keepFormulas = false) {
  const formula = !keepFormulas && value !== '' && FORMULA_LEADS.includes(value[0]) &&
                  !PLAIN_NUMBER.test(value);
  const text = formula ? `'${value}` : value;
  const quotes = value.includes(separator) || /["\r\n]/.test(value) || /^[ \t]|[ \t]$/.test(text);
  return quotes ? `"${text.replaceAll('"', '""')}"` : text;
}

const RESULT_COLUMNS = ['point', 'type', 'inputValue', 'demand', 'ratio', 'valveSize', 'delivered',
                        'deviation'];
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
const ROWS_PER_PART = 20000;

// The input row (from 0) of the solution's entry at `index`: its tag.
function rowOf(solution, index) {
  return Number(solution.callerData[index]);
}

// The results table as korvan-size writes it with --format csv, in parts of many rows each (a
// Blob takes them as they are): `solution` the library's columns, each point tagged with its row
// in `table`, the table as PointReader reads it.
export function* resultsCsv(solution, table, {keepFormulas = false} = {}) {
  const {separator, decimalSign, byteOrderMark} = table.dialect;
  const number = decimalSign === ','
      ? (value) => exactNumber(value).replace('.', ',') : exactNumber;
  const text = (value) => textCell(value, separator, keepFormulas);
  yield `${byteOrderMark ? BYTE_ORDER_MARK : ''}${[...RESULT_COLUMNS,
    ...table.carriedNames.map(text)].join(separator)}\n`;
  const {scaleFactor} = solution;
  for (let first = 0; first < solution.count; first += ROWS_PER_PART) {
    let part = '';
    for (let index = first; index < Math.min(solution.count, first + ROWS_PER_PART); ++index) {
      const row = rowOf(solution, index);
      let line = `${row + 1}${separator}${solution.type[index] >>> 0}`;
      for (const value of [solution.inputValue[index], solution.demand[index],
        solution.ratio[index], solution.valveSize[index], solution.valveSize[index] * scaleFactor,
        solution.deviation[index]]) {
        line += separator + number(value);
      }
      for (const column of table.carried) line += separator + text(column[row]);
      part += `${line}\n`;
    }
    yield part;
  }
}

// The totals as korvan-size writes them with --totals, in the dialect of the results.
export function totalsCsv(solution, table) {
  const {separator, decimalSign, byteOrderMark} = table.dialect;
  const values = TOTALS.map((name) => exactNumber(solution[name]))
      .map((text) => (decimalSign === ',' ? text.replace('.', ',') : text));
  return `${byteOrderMark ? BYTE_ORDER_MARK : ''}${TOTALS.join(separator)}\n` +
         `${values.join(separator)}\n`;
}

// A number in JSON; JSON has no infinity or not-a-number, which are written null.
function jsonNumber(value) {
  return Number.isFinite(value) ? exactNumber(value) : 'null';
}

function jsonObject(members, indent) {
  const inner = members.map(([key, text]) => `${indent}  ${JSON.stringify(key)}: ${text}`);
  return `{\n${inner.join(',\n')}\n${indent}}`;
}

// The results as korvan-size writes them with --format json, in parts.
export function* resultsJson(solution, table) {
  const item = (index) => {
    const row = rowOf(solution, index);
    const members = [['point', String(row + 1)], ['type', String(solution.type[index] >>> 0)],
      ...[['inputValue', solution.inputValue[index]], ['demand', solution.demand[index]],
          ['ratio', solution.ratio[index]], ['valveSize', solution.valveSize[index]],
          ['delivered', solution.valveSize[index] * solution.scaleFactor],
          ['deviation', solution.deviation[index]]].map(([key, value]) => [key, jsonNumber(value)])];
    if (table.carriedNames.length > 0) {
      const columns = table.carriedNames.map((name, column) => [
        name, JSON.stringify(table.carried[column][row])]);
      members.push(['columns', jsonObject(columns, '      ')]);
    }
    return `    ${jsonObject(members, '    ')}`;
  };
  yield solution.count === 0 ? '{\n  "points": [],\n' : '{\n  "points": [\n';
  for (let first = 0; first < solution.count; first += ROWS_PER_PART) {
    const last = Math.min(solution.count, first + ROWS_PER_PART);
    const items = [];
    for (let index = first; index < last; ++index) items.push(item(index));
    yield `${items.join(',\n')}${last === solution.count ? '\n  ],\n' : ',\n'}`;
  }
  yield `${TOTALS.map((name) => `  ${JSON.stringify(name)}: ${jsonNumber(solution[name])}`)
      .join(',\n')}\n}\n`;
}

// The solution's points from `first` on, at most `count`, as the page shows them.
export function shownPoints(solution, table, first, count) {
  const points = [];
  for (let index = first; index < Math.min(solution.count, first + count); ++index) {
    const row = rowOf(solution, index);
    points.push({
      point: row + 1,
      type: solution.type[index] >>> 0,
      inputValue: solution.inputValue[index],
      demand: solution.demand[index],
      ratio: solution.ratio[index],
      valveSize: solution.valveSize[index],
      delivered: solution.valveSize[index] * solution.scaleFactor,
      deviation: solution.deviation[index],
      extra: table.carried.map((column) => column[row]),
    });
  }
  return points;
}
