// The sizing page's text in and out: the points as CSV, the sizes of the reduce panel, and the
// results as CSV and JSON in the layout korvan-size writes. No DOM here, so that node can test it.

// A problem with the input, named by its line (1-based, as an editor counts; null when the text as
// a whole is at fault). The message is a whole sentence.
export class InputError extends Error {
  constructor(line, problem) {
    super(line === null ? `${problem}.` : `Line ${line}: ${problem}.`);
    this.name = 'InputError';
    this.line = line;
  }
}

const TYPE_COLUMN = 'type';
const INPUT_VALUE_COLUMN = 'inputValue';
const SEPARATORS = [',', ';', '\t'];
const BYTE_ORDER_MARK = '\uFEFF';
const LARGEST_TYPE = 0xffffffff;
const DECIMAL = /^[+-]?(?:\d+(?:\.\d*)?|\.\d+)(?:[eE][+-]?\d+)?$/;
const NOT_FINITE = /^([+-]?)(?:(inf|infinity)|nan)$/i;

function isBlank(character, separator) {
  return (character === ' ' || character === '\t') && character !== separator;
}

function trimBlanks(text, separator = ',') {
  let first = 0;
  let last = text.length;
  while (first < last && isBlank(text[first], separator)) ++first;
  while (last > first && isBlank(text[last - 1], separator)) --last;
  return text.slice(first, last);
}

// Parses a double written in full: decimal digits with an optional sign, point and exponent, or
// inf, infinity and nan in any case. Returns undefined for anything else; a decimal too large for
// a double comes back infinite.
export function parseNumber(text) {
  if (DECIMAL.test(text)) {
    return Number(text);
  }
  const word = NOT_FINITE.exec(text);
  if (word === null) {
    return undefined;
  }
  if (word[2] === undefined) {
    return NaN;
  }
  return word[1] === '-' ? -Infinity : Infinity;
}

// The separator of a file is the one of comma, semicolon and tab that its header uses most
// outside quotes; a comma when it uses none.
function separatorOf(header) {
  const counts = new Map(SEPARATORS.map((separator) => [separator, 0]));
  let quoted = false;
  for (const character of header) {
    if (character === '"') {
      quoted = !quoted;
    } else if (!quoted && counts.has(character)) {
      counts.set(character, counts.get(character) + 1);
    }
  }
  let best = ',';
  for (const separator of SEPARATORS) {
    if (counts.get(separator) > counts.get(best)) best = separator;
  }
  return best;
}

// One line split into field values: a field is plain text or in double quotes, with "" standing
// for one quote and blanks around the quotes ignored. A record is one line.
function splitFields(line, lineNumber, separator) {
  const fields = [];
  let at = 0;
  for (;;) {
    let start = at;
    while (start < line.length && isBlank(line[start], separator)) ++start;
    if (line[start] !== '"') {
      const end = line.indexOf(separator, at);
      fields.push(end < 0 ? line.slice(at) : line.slice(at, end));
      if (end < 0) return fields;
      at = end + 1;
      continue;
    }
    let value = '';
    let position = start + 1;
    for (;;) {
      const close = line.indexOf('"', position);
      if (close < 0) {
        throw new InputError(lineNumber, `field ${fields.length + 1} opens a quote that does not close on its line`);
      }
      value += line.slice(position, close);
      position = close + 1;
      if (line[position] !== '"') break;
      value += '"';
      ++position;
    }
    while (position < line.length && isBlank(line[position], separator)) ++position;
    if (position < line.length && line[position] !== separator) {
      throw new InputError(lineNumber, `field ${fields.length + 1} has text after its closing quote`);
    }
    fields.push(value);
    if (position >= line.length) return fields;
    at = position + 1;
  }
}

function readHeader(fields, lineNumber) {
  const names = fields.map((field) => trimBlanks(field));
  names.forEach((name, index) => {
    const earlier = names.findIndex((other) => other.toLowerCase() === name.toLowerCase());
    if (earlier !== index) {
      throw new InputError(lineNumber, `the column name "${name}" appears twice`);
    }
  });
  const columnNamed = (wanted) => {
    const index = names.findIndex((name) => name.toLowerCase() === wanted.toLowerCase());
    if (index < 0) {
      throw new InputError(lineNumber, `no column is named ${wanted} (the header must name ` +
                                       `${TYPE_COLUMN} and ${INPUT_VALUE_COLUMN})`);
    }
    return index;
  };
  const typeColumn = columnNamed(TYPE_COLUMN);
  const inputValueColumn = columnNamed(INPUT_VALUE_COLUMN);
  const isExtra = (index) => index !== typeColumn && index !== inputValueColumn;
  return {
    width: names.length,
    typeColumn,
    inputValueColumn,
    isExtra,
    extraNames: names.filter((_, index) => isExtra(index)),
  };
}

function parseType(text, lineNumber) {
  const type = /^\d+$/.test(text) ? Number(text) : undefined;
  if (type === undefined || type > LARGEST_TYPE) {
    const shown = type === undefined ? `"${text}"` : text;
    throw new InputError(lineNumber, `type ${shown} is not one of 0 to 3`);
  }
  return type;
}

function parseInputValue(text, lineNumber) {
  const value = parseNumber(text);
  if (value === undefined) {
    throw new InputError(lineNumber, `input value "${text}" is not a number`);
  }
  if (!Number.isFinite(value) && DECIMAL.test(text)) {
    throw new InputError(lineNumber, `input value "${text}" is beyond the range of a double`);
  }
  return value;
}

function readRow(fields, lineNumber, header) {
  if (fields.length !== header.width) {
    throw new InputError(lineNumber,
                         `${fields.length} fields where the header has ${header.width}`);
  }
  return {
    line: lineNumber,
    type: parseType(trimBlanks(fields[header.typeColumn]), lineNumber),
    inputValue: parseInputValue(trimBlanks(fields[header.inputValueColumn]), lineNumber),
    extra: fields.filter((_, index) => header.isExtra(index)),
  };
}

// Points as CSV: a header naming the columns type and inputValue (in any case and position),
// then one point per line. Commas, semicolons or tabs separate the fields; blank lines are
// skipped; other columns are carried along as written. Returns {extraNames, rows}, each row
// {line, type, inputValue, extra}. Throws InputError naming the line and the problem.
export function parsePoints(text) {
  const lines = (text.startsWith(BYTE_ORDER_MARK) ? text.slice(1) : text).split(/\r\n|\n|\r/);
  let header = null;
  let separator = ',';
  const rows = [];
  lines.forEach((line, index) => {
    if (trimBlanks(line) === '') return;
    if (header === null) {
      separator = separatorOf(line);
      header = readHeader(splitFields(line, index + 1, separator), index + 1);
    } else {
      rows.push(readRow(splitFields(line, index + 1, separator), index + 1, header));
    }
  });
  if (header === null) {
    throw new InputError(null, `There is no point to size: give a header line ` +
                               `${TYPE_COLUMN},${INPUT_VALUE_COLUMN} and one point per line`);
  }
  if (rows.length === 0) {
    throw new InputError(null, 'There is no point to size below the header');
  }
  return {extraNames: header.extraNames, rows};
}

// The sizes of the reduce panel, separated by blanks, commas or semicolons.
export function parseSizes(text) {
  const words = text.split(/[\s,;]+/).filter((word) => word !== '');
  return words.map((word, index) => {
    const size = parseNumber(word);
    if (size === undefined) {
      throw new InputError(null, `Size ${index + 1}, "${word}", is not a number`);
    }
    return size;
  });
}

// The shortest text that reads back to the same double; -0 keeps its sign.
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

// What a point of a solution is shown and written with: its number in the input (1-based), the
// solved entry, the quantity it receives and the carried columns.
export function sizedPoints(solution, table, rowOf) {
  return solution.entries.map((entry) => {
    const row = rowOf(entry);
    return {
      point: row + 1,
      entry,
      delivered: entry.valveSize * solution.scaleFactor,
      extra: table.rows[row].extra,
    };
  });
}

function csvField(text) {
  return /[",\r\n]/.test(text) ? `"${text.replaceAll('"', '""')}"` : text;
}

function csvLine(fields) {
  return `${fields.map(csvField).join(',')}\n`;
}

const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];

// The results as korvan-size writes them with --format csv: one line per point in solved order,
// a blank line, then the totals.
export function solutionCsv(solution, table, points) {
  const header = ['point', 'type', 'inputValue', 'demand', 'ratio', 'valveSize', 'delivered',
                  'deviation', ...table.extraNames];
  const lines = points.map(({point, entry, delivered, extra}) => csvLine([
    String(point), String(entry.type >>> 0), ...[entry.inputValue, entry.demand, entry.ratio,
    entry.valveSize, delivered, entry.deviation].map(exactNumber), ...extra]));
  return csvLine(header) + lines.join('') + '\n' + csvLine(TOTALS) +
         csvLine(TOTALS.map((name) => exactNumber(solution[name])));
}

// A number in JSON; JSON has no infinity or not-a-number, which are written null.
function jsonNumber(value) {
  return Number.isFinite(value) ? exactNumber(value) : 'null';
}

function jsonObject(members, indent) {
  const inner = members.map(([key, text]) => `${indent}  ${JSON.stringify(key)}: ${text}`);
  return `{\n${inner.join(',\n')}\n${indent}}`;
}

// The results as korvan-size writes them with --format json.
export function solutionJson(solution, table, points) {
  const items = points.map(({point, entry, delivered, extra}) => {
    const members = [['point', String(point)], ['type', String(entry.type >>> 0)],
      ...[['inputValue', entry.inputValue], ['demand', entry.demand], ['ratio', entry.ratio],
          ['valveSize', entry.valveSize], ['delivered', delivered],
          ['deviation', entry.deviation]].map(([key, value]) => [key, jsonNumber(value)])];
    if (table.extraNames.length > 0) {
      const columns = table.extraNames.map((name, index) => [name, JSON.stringify(extra[index])]);
      members.push(['columns', jsonObject(columns, '      ')]);
    }
    return `    ${jsonObject(members, '    ')}`;
  });
  const list = items.length === 0 ? '[]' : `[\n${items.join(',\n')}\n  ]`;
  return `${jsonObject([['points', list],
                        ...TOTALS.map((name) => [name, jsonNumber(solution[name])])], '')}\n`;
}
