// The page's text in and out, in Node: every golden case of the CSV rules every front end shares
// (tests/golden), read from its bytes in pieces of every size up to a few, sized by the package's
// Node entry and written back, byte for byte; and the number forms of the page.
import assert from 'node:assert/strict';
import {readdir, readFile} from 'node:fs/promises';
import path from 'node:path';
import {test} from 'node:test';
import {pathToFileURL} from 'node:url';
import {InputError, PointByteReader, exactNumber, parsePoints, parseSizes, percentText,
        resultsCsv, resultsJson, sizeTable, textCell, totalsCsv} from '../src/points.mjs';
import {packageDir, repositoryDir} from './support/paths.mjs';

const goldenDir = path.join(repositoryDir, 'tests/golden');
const {loadKorvan} = await import(pathToFileURL(path.join(packageDir, 'node.mjs')).href);
const korvan = await loadKorvan();

// The table the bytes give, read in pieces of `size` bytes.
function readInPieces(bytes, size) {
  const reader = new PointByteReader();
  for (let at = 0; at < bytes.length; at += size) reader.push(bytes.subarray(at, at + size));
  return reader.finish();
}

// What the page makes of a file: {invalid}, {refused} or {results, totals}, each as the golden
// files hold them.
function outcomeOf(bytes, pieceSize) {
  let table;
  try {
    table = readInPieces(bytes, pieceSize);
  } catch (error) {
    if (!(error instanceof InputError)) throw error;
    return {invalid: `${error.message}\n`};
  }
  let solution;
  try {
    solution = sizeTable(korvan, table);
  } catch (error) {
    if (error.name !== 'KorvanError') throw error;
    return {refused: `${error.message}\n`};
  }
  return {results: [...resultsCsv(solution, table)].join(''), totals: totalsCsv(solution, table)};
}

async function goldenCases() {
  const names = (await readdir(goldenDir)).filter((name) => /^[^.]+\.csv$/.test(name));
  return Promise.all(names.sort().map(async (name) => {
    const base = path.join(goldenDir, name.slice(0, -'.csv'.length));
    const read = (suffix) => readFile(`${base}${suffix}`, 'utf8').catch(() => undefined);
    const [invalid, refused, results, totals] = await Promise.all(
        ['.invalid.txt', '.refused.txt', '.out.csv', '.totals.csv'].map(read));
    const expected = Object.fromEntries(Object.entries({invalid, refused, results, totals})
        .filter(([, text]) => text !== undefined));
    return {name, bytes: await readFile(`${base}.csv`), expected};
  }));
}

test('every golden case reads, sizes and writes as its files say, in pieces of any size',
     async () => {
  const cases = await goldenCases();
  assert.ok(cases.length >= 40, `${cases.length} golden cases`);
  const kinds = {};
  for (const {name, bytes, expected} of cases) {
    assert.ok(Object.keys(expected).length > 0, `${name} has an expected outcome`);
    const kind = Object.keys(expected)[0];
    kinds[kind] = (kinds[kind] ?? 0) + 1;
    for (const pieceSize of [Math.max(1, bytes.length), 1, 2, 3, 5, 7]) {
      assert.deepEqual(outcomeOf(bytes, pieceSize), expected, `${name} in pieces of ${pieceSize}`);
    }
  }
  console.log(`golden cases: ${JSON.stringify(kinds)}`);
});

test('text typed in the page is read by the same rules', () => {
  const table = parsePoints('\uFEFFtype;inputValue;room\n1;50,5;"hall;\nwest"\n');
  assert.deepEqual([table.count, [...table.types], [...table.inputValues], table.carried],
                   [1, [1], [50.5], [['hall;\nwest']]]);
  assert.deepEqual(table.dialect, {separator: ';', decimalSign: ',', byteOrderMark: true});
  assert.throws(() => parsePoints('type,inputValue\n1,50\n2,x'),
                new InputError('point 2: input value "x" is not a number'));
});

test('the JSON download carries every double and carried text, and stays JSON when a figure is '
     + 'not finite', () => {
  const table = parsePoints('type;inputValue;note\n1;0.1;"say ""hi"", then go"\n3;1e-7;plain');
  const solution = sizeTable(korvan, table);
  const json = JSON.parse([...resultsJson(solution, table)].join(''));
  assert.deepEqual(json.points.map((point) => [point.point, point.columns.note]),
                   [[1, 'say "hi", then go'], [2, 'plain']]);
  for (let index = 0; index < solution.count; ++index) {
    for (const field of ['inputValue', 'demand', 'ratio', 'valveSize', 'deviation']) {
      assert.ok(Object.is(json.points[index][field], solution[field][index]), field);
    }
  }
  assert.equal(json.scaleFactor, solution.scaleFactor);
  const odd = {...solution, demand: new Float64Array([Infinity, NaN]), scaleFactor: NaN};
  const oddJson = JSON.parse([...resultsJson(odd, table)].join(''));
  assert.deepEqual([oddJson.points[0].demand, oddJson.points[1].demand, oddJson.scaleFactor],
                   [null, null, null]);
  const bare = parsePoints('type,inputValue\n1,50');
  const bareJson = JSON.parse([...resultsJson(sizeTable(korvan, bare), bare)].join(''));
  assert.equal('columns' in bareJson.points[0], false);
});

test('a large table is written in parts, the rows in the library\'s order', () => {
  const rows = Array.from({length: 45000}, (_, row) => `${row % 4},${1 + (row % 977)},r${row}`);
  const table = parsePoints(`type,inputValue,label\n${rows.join('\n')}`);
  const solution = sizeTable(korvan, table);
  const parts = [...resultsCsv(solution, table)];
  assert.equal(parts.length, 4, 'the header and three parts of rows');
  const lines = parts.join('').split('\n');
  assert.equal(lines.length, 45002);
  for (const index of [0, 19999, 20000, 44999]) {
    const row = Number(solution.callerData[index]);
    assert.match(lines[index + 1], new RegExp(`^${row + 1},${row % 4},.*,r${row}$`));
  }
});

test('cells a spreadsheet would run are neutralised unless kept, and quoted where needed', () => {
  const cases = [['=1+1', "'=1+1"], ['-5', '-5'], ['+3.2', '+3.2'], ['-1e5', '-1e5'],
                 ['-inf', "'-inf"], ['@x', "'@x"], ['\tx', "'\tx"], ['a,b', '"a,b"'],
                 [' x', '" x"'], ['x ', '"x "'], ['say "hi"', '"say ""hi"""'], ['', '']];
  for (const [value, cell] of cases) assert.equal(textCell(value, ','), cell, value);
  assert.equal(textCell('=1+1', ',', true), '=1+1');
  assert.equal(textCell('\tx', ',', true), '"\tx"');
});

test('sizes of the reduce panel, and numbers as the page shows them', () => {
  assert.deepEqual(parseSizes(' 0.5, 0.3;0.2\t1e-1 '), [0.5, 0.3, 0.2, 0.1]);
  assert.throws(() => parseSizes('0.5 abc'), new InputError('point 2: size "abc" is not a number'));
  assert.deepEqual([-4.84, -0, 0, 11.42, -0.01].map(percentText),
                   ['-4.84', '0.00', '0.00', '11.42', '-0.01']);
  assert.deepEqual([-0, 0, 0.1, 1e21, 1e-7].map(exactNumber), ['-0', '0', '0.1', '1e+21', '1e-7']);
});
