// The page's text in and out, in node: the number grammar, the CSV forms, and output that reads
// back to the same doubles and the same carried text.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {exactNumber, parseNumber, parsePoints, percentText, sizedPoints, solutionCsv,
        solutionJson} from '../src/points.mjs';

test('numbers are read in full, as korvan-size reads them', () => {
  const cases = [['50', 50], ['-0', -0], ['+3', 3], ['1.', 1], ['.5', 0.5], ['1e-7', 1e-7],
                 ['0.1', 0.1], ['5e-324', 5e-324], ['inf', Infinity], ['-Infinity', -Infinity],
                 ['NaN', NaN], ['1e999', Infinity]];
  for (const [text, value] of cases) assert.ok(Object.is(parseNumber(text), value), text);
  for (const text of ['', ' 1', '1 ', '0x10', '1_0', '1,5', 'e5', '1e', '--1', 'infinit']) {
    assert.equal(parseNumber(text), undefined, JSON.stringify(text));
  }
});

test('the separator is the one the header uses, outside quotes', () => {
  const cases = {
    '"a;b",type,inputValue\n"x;y",1,50': [['x;y'], ','],
    '"a,b";type;inputValue\n"x,y";1;50': [['x,y'], ';'],
    'type\tinputValue\tnote\n1\t50\tone, two; three': [['one, two; three'], '\t'],
  };
  for (const [text, [extra]] of Object.entries(cases)) {
    const table = parsePoints(text);
    assert.deepEqual(table.rows.map((row) => [row.type, row.inputValue, row.extra]),
                     [[1, 50, extra]], JSON.stringify(text));
  }
});

test('rows keep their line numbers across blank lines and line ends of every kind', () => {
  const table = parsePoints('\n type , inputValue \r\n\r\n1,50\r0,100\n\t\n3,80');
  assert.deepEqual(table.rows.map((row) => row.line), [4, 5, 7]);
});

function solved(table, entries, scaleFactor) {
  const solution = {entries, deviationMax: 11.42, deviationMin: -0, scaleFactor,
                    reducedScaleFactor: scaleFactor / 2000};
  return {solution, points: sizedPoints(solution, table, (entry) => Number(entry.callerData))};
}

test('CSV and JSON carry every double and every carried text back unchanged', () => {
  const table = parsePoints('type;inputValue;note\n1;0.1;"say ""hi"", then go"\n3;1e-7;plain');
  const entries = [
    {type: 3, inputValue: 1e-7, demand: 0.30000000000000004, ratio: 1, valveSize: 0.5,
     deviation: -0, callerData: 1n},
    {type: 1, inputValue: 0.1, demand: 2.220446049250313e-16, ratio: 1351079888211148.8,
     valveSize: 0.03, deviation: 11.42, callerData: 0n}];
  const {solution, points} = solved(table, entries, 5.348333333333334);

  const csv = solutionCsv(solution, table, points);
  assert.equal(csv,
      'point,type,inputValue,demand,ratio,valveSize,delivered,deviation,note\n' +
      '2,3,1e-7,0.30000000000000004,1,0.5,2.674166666666667,-0,plain\n' +
      '1,1,0.1,2.220446049250313e-16,1351079888211148.8,0.03,0.16045,11.42,' +
      '"say ""hi"", then go"\n\n' +
      'deviationMax,deviationMin,scaleFactor,reducedScaleFactor\n' +
      '11.42,-0,5.348333333333334,0.0026741666666666667\n');

  const json = JSON.parse(solutionJson(solution, table, points));
  assert.deepEqual(json.points.map((point) => point.columns.note), ['plain', 'say "hi", then go']);
  assert.ok(Object.is(json.points[0].deviation, -0));
  assert.ok(Object.is(json.deviationMin, -0));
  for (const [index, entry] of entries.entries()) {
    for (const field of ['inputValue', 'demand', 'ratio', 'valveSize', 'deviation']) {
      assert.ok(Object.is(json.points[index][field], entry[field]), field);
    }
  }
});

test('JSON stays valid when a figure is not finite, and carries no columns when there are none', () => {
  const table = parsePoints('type,inputValue\n1,50');
  const {solution, points} = solved(table, [{type: 1, inputValue: 50, demand: Infinity,
    ratio: NaN, valveSize: 0.5, deviation: -Infinity, callerData: 0n}], NaN);
  const json = JSON.parse(solutionJson(solution, table, points));
  assert.deepEqual([json.points[0].demand, json.points[0].ratio, json.scaleFactor], [null, null, null]);
  assert.equal('columns' in json.points[0], false);
});

test('deviations read as the library rounds them', () => {
  assert.deepEqual([-4.84, -0, 0, 11.42, -0.01].map(percentText),
                   ['-4.84', '0.00', '0.00', '11.42', '-0.01']);
  assert.deepEqual([-0, 0, 0.1, 1e21].map(exactNumber), ['-0', '0', '0.1', '1e+21']);
});
