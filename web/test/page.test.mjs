// The sizing page as an engineer uses it, in headless Chromium: the example on load, typed and
// loaded points checked against the native library, bad input, every golden case of the shared
// CSV rules through the file input and the downloads, the reduce panel, the keyboard and a narrow
// screen. Leaves screenshots in the build tree.
import assert from 'node:assert/strict';
import {mkdir, readdir, readFile} from 'node:fs/promises';
import path from 'node:path';
import {test} from 'node:test';
import {randomSource} from './support/cases.mjs';
import {nativeAnswers} from './support/native.mjs';
import {artifactDir, repositoryDir, siteDir} from './support/paths.mjs';
import {startPythonServer} from './support/python-server.mjs';
import {pageSession} from './support/session.mjs';

const session = pageSession();
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
const EXAMPLE = 'type,inputValue\n1,50\n0,100\n3,80\n';
const EXAMPLE_TOTALS = {deviationMax: '11.42', deviationMin: '-4.92',
                        scaleFactor: '5.348333333333334', reducedScaleFactor: '0.0026741666666666667'};

async function openPage(options) {
  const page = await session.open('/', options);
  await page.waitForFunction(() => document.body.dataset.runs === '1');
  return page;
}

function runs(page) {
  return page.evaluate(() => Number(document.body.dataset.runs));
}

async function afterRun(page, action) {
  const before = await runs(page);
  await action();
  await page.waitForFunction((count) => Number(document.body.dataset.runs) > count, before);
}

async function sizeText(page, text) {
  await page.fill('#points', text);
  await afterRun(page, () => page.click('#size'));
}

// What the page shows: each table row as its cells' exact values (the text where a cell has
// none), the totals, the error and the chart's bars.
function shown(page) {
  return page.evaluate((totals) => ({
    head: [...document.querySelectorAll('#results thead th')].map((cell) => cell.textContent),
    rows: [...document.querySelectorAll('#results tbody tr')].map((row) => [...row.cells].map(
        (cell) => cell.dataset.value ?? cell.textContent)),
    texts: [...document.querySelectorAll('#results tbody tr')].map((row) => [...row.cells].map(
        (cell) => cell.textContent)),
    totals: Object.fromEntries(totals.map((name) => [name, document.getElementById(name).textContent])),
    error: document.getElementById('error').textContent,
    bars: [...document.querySelectorAll('#chart rect.bar')].map((bar) => bar.getAttribute('class')),
    chartText: [...document.querySelectorAll('#chart text')].map((text) => text.textContent),
    downloads: ['downloadCsv', 'downloadTotals', 'downloadJson'].map(
        (id) => !document.getElementById(id).disabled),
  }), TOTALS);
}

// Points of several types with realistic input values, and a label column carried along.
function randomPoints(seed, count) {
  const random = randomSource(seed);
  return Array.from({length: count}, (_, index) => ({
    label: `P${index + 1}`, type: random.below(4), inputValue: random.realistic()}));
}

function pointsCsv(points) {
  return ['label,type,inputValue', ...points.map((point) =>
    `${point.label},${point.type},${point.inputValue}`)].join('\n');
}

// The native solution of the points, each row tagged with its number in the input.
async function nativeSolution(points) {
  const [answer] = await nativeAnswers([{op: 'generate', types: points.map((point) => point.type),
    inputValues: points.map((point) => point.inputValue),
    callerData: points.map((_, index) => BigInt(index)), entries: []}]);
  assert.equal(answer.code, 0);
  return answer;
}

// The page's rows against the native solution: the same points in an order of decreasing
// demand, each with the native figures to the bit.
function assertRowsMatch(rows, answer, points) {
  assert.equal(rows.length, answer.entries.length);
  const byPoint = new Map(answer.entries.map((entry) => [Number(entry.callerData) + 1, entry]));
  rows.forEach((row, index) => {
    const [point, type, inputValue, demand, ratio, valveSize, delivered, deviation, label] = row;
    const entry = byPoint.get(Number(point));
    assert.ok(entry, `row ${index + 1} names point ${point}`);
    assert.equal(Number(type), entry.type);
    assert.ok(Object.is(Number(demand), answer.entries[index].demand), `row ${index + 1} order`);
    for (const [text, value] of [[inputValue, entry.inputValue], [demand, entry.demand],
      [ratio, entry.ratio], [valveSize, entry.valveSize], [deviation, entry.deviation],
      [delivered, entry.valveSize * answer.scaleFactor]]) {
      assert.ok(Object.is(Number(text), value), `point ${point}: ${text} is not ${value}`);
    }
    assert.equal(label, points[Number(point) - 1].label);
  });
}

function assertTotalsMatch(totals, answer) {
  for (const name of TOTALS) {
    assert.ok(Object.is(Number(totals[name]), answer[name]), `${name} ${totals[name]}`);
    assert.equal(totals[name], String(answer[name]), `${name} in its shortest exact form`);
  }
}

test('the example is sized when the page loads', async () => {
  const page = await openPage();
  const view = await shown(page);
  assert.equal(await page.inputValue('#points'), EXAMPLE.trimEnd());
  assert.deepEqual(view.head, ['Point', 'Type', 'Input value', 'Demand', 'Ratio', 'Valve size',
                               'Delivered', 'Deviation %']);
  assert.deepEqual(view.rows.map((row) => row.slice(0, 2)), [['1', '1'], ['2', '0'], ['3', '3']]);
  assert.deepEqual(view.texts.map((row) => [row[5], row[7]]),
                   [['0.2', '-4.84'], ['0.16', '-4.92'], ['0.1', '11.42']]);
  assert.deepEqual(view.totals, EXAMPLE_TOTALS);
  assert.equal(view.error, '');
  assert.deepEqual(view.bars, ['bar negative', 'bar negative', 'bar positive']);
  for (const label of ['-4.84 %', '-4.92 %', '+11.42 %', '1', '2', '3']) {
    assert.ok(view.chartText.includes(label), `the chart is labelled ${label}`);
  }
  assert.deepEqual(view.downloads, [true, true, true]);
  assert.equal(await page.textContent('#version'), '1.0');
  await mkdir(artifactDir, {recursive: true});
  await page.screenshot({path: path.join(artifactDir, 'page.png'), fullPage: true});
  assert.deepEqual(session.foreignRequests, []);
  assert.deepEqual(session.pageErrors, []);
});

test('the page works from any static server, here Python\'s', async () => {
  const server = await startPythonServer(siteDir);
  try {
    const page = await session.browser.context.newPage();
    await page.goto(`${server.origin}/index.html`);
    await page.waitForFunction(() => document.body.dataset.runs === '1');
    assert.deepEqual((await shown(page)).totals, EXAMPLE_TOTALS);
    await page.close();
  } finally {
    await server.close();
  }
});

test('typed points of 7, 8 and 30 points match the native library', async () => {
  const page = await openPage();
  for (const count of [7, 8, 30]) {
    const points = randomPoints(count, count);
    await sizeText(page, pointsCsv(points));
    const view = await shown(page);
    assert.equal(view.error, '');
    assert.equal(view.head.at(-1), 'label');
    const answer = await nativeSolution(points);
    assertRowsMatch(view.rows, answer, points);
    assertTotalsMatch(view.totals, answer);
    assert.equal(view.bars.length, count);
  }
});

test('the forms of CSV that korvan-size reads give the same sizing', async () => {
  const page = await openPage();
  const forms = {
    'semicolons, header in capitals': 'Type;InputValue\n1;50\n0;100\n3;80',
    'tabs': 'TYPE\tINPUTVALUE\n1\t50\n0\t100\n3\t80',
    'byte order mark, columns swapped, CRLF': '\uFEFFinputValue,type\r\n50,1\r\n100,0\r\n80,3\r\n',
    'quotes and blanks': ' type , "inputValue" \n 1 , 50 \n\n0, 100\n"3","8e1"\n',
    'decimal commas, a quoted line break': 'type;inputValue;note\n1;50,0;"two\nlines"\n0;100;\n3;8e1;',
  };
  for (const [form, text] of Object.entries(forms)) {
    await sizeText(page, text);
    const view = await shown(page);
    assert.equal(view.error, '', form);
    assert.deepEqual(view.totals, EXAMPLE_TOTALS, form);
  }
  await sizeText(page, 'tag,type,note,inputValue\nP1,1,"first, with comma",50\n' +
                       'P2,0,,100\nP3,3,"say ""hi""",80');
  const view = await shown(page);
  assert.deepEqual(view.head.slice(-2), ['tag', 'note']);
  assert.deepEqual(view.rows.map((row) => row.slice(-2)),
                   [['P1', 'first, with comma'], ['P2', ''], ['P3', 'say "hi"']]);
});

test('bad input names the point and the problem, and clears the results', async () => {
  const cases = [
    ['type,inputValue\n1,50\n7,100\n', 'point 2: type must be one of 0 to 3'],
    ['type,inputValue\n1,50\n0,0\n', 'point 2: input value must be positive'],
    ['type,inputValue\nx,50', 'point 1: type "x" is not a whole number'],
    ['type,inputValue\n1,\x1b[2J', 'point 1: input value "\\x1b[2J" is not a number'],
    ['type,value\n1,50', 'the header must name the columns type and inputValue (in any case), ' +
                          'separated by commas, semicolons or tabs'],
    ['', 'the CSV input is empty: it must start with a header naming the columns type and ' +
         'inputValue'],
    ['type,inputValue\n\n', 'there is nothing to solve: no point, or no size'],
    ['type,inputValue\n' + [50, 500, 5e4, 5e7, 5e10, 5e13, 5e16, 5e21].map((value) =>
      `1,${value}`).join('\n'), 'point 1: demand too far below the largest: its nearest size ' +
      'would be larger than that of a point of larger demand (point 3)'],
  ];
  const page = await openPage();
  for (const [text, message] of cases) {
    await sizeText(page, EXAMPLE);
    assert.deepEqual((await shown(page)).totals, EXAMPLE_TOTALS);
    await sizeText(page, text);
    const view = await shown(page);
    assert.equal(view.error, message, JSON.stringify(text));
    assert.deepEqual(view.rows, [], text);
    assert.deepEqual(Object.values(view.totals), ['', '', '', ''], text);
    assert.deepEqual(view.bars, [], text);
    assert.deepEqual(view.downloads, [false, false, false], text);
  }
  assert.equal(await page.getAttribute('#error', 'role'), 'alert');
});

const goldenDir = path.join(repositoryDir, 'tests/golden');

// The page's download of `id`: its suggested name and its bytes.
async function download(page, id) {
  const [file] = await Promise.all([page.waitForEvent('download'), page.click(`#${id}`)]);
  return {name: file.suggestedFilename(), bytes: await readFile(await file.path())};
}

// Each case in a page of its own: Chromium refuses now and then one of many downloads in quick
// succession from one page.
test('every golden case, picked as a file, gives the message or the downloads its files hold',
     async () => {
  const names = (await readdir(goldenDir)).filter((name) => /^[^.]+\.csv$/.test(name)).sort();
  for (const name of names) {
    const page = await openPage();
    const base = path.join(goldenDir, name.slice(0, -'.csv'.length));
    const text = async (suffix) => readFile(`${base}${suffix}`, 'utf8').catch(() => undefined);
    await afterRun(page, () => page.setInputFiles('#file', path.join(goldenDir, name)));
    const view = await shown(page);
    const message = (await text('.invalid.txt')) ?? (await text('.refused.txt'));
    if (message !== undefined) {
      assert.equal(`${view.error}\n`, message, name);
    } else {
      assert.equal(view.error, '', name);
      const results = await download(page, 'downloadCsv');
      assert.equal(results.name, 'korvan-sizing.csv');
      assert.deepEqual(results.bytes, await readFile(`${base}.out.csv`), name);
      const totals = await download(page, 'downloadTotals');
      assert.equal(totals.name, 'korvan-sizing-totals.csv');
      assert.deepEqual(totals.bytes, await readFile(`${base}.totals.csv`), name);
    }
    await page.close();
  }
});

test('a CSV file picked from disk is loaded and sized', async () => {
  const page = await openPage();
  const text = 'type;inputValue;room\n2;40;kitchen\n1;55.5;hall\n';
  await afterRun(page, () => page.setInputFiles('#file', {
    name: 'points.csv', mimeType: 'text/csv', buffer: Buffer.from(text)}));
  assert.equal(await page.inputValue('#points'), text);
  const view = await shown(page);
  assert.equal(view.error, '');
  assert.deepEqual(view.rows.map((row) => [row[0], row.at(-1)]), [['2', 'hall'], ['1', 'kitchen']]);
});

test('the downloads read back to the same doubles as the native library', async () => {
  const page = await openPage();
  const points = randomPoints(99, 12).map((point, index) => ({
    ...point, label: index === 3 ? 'a "quoted", label' : point.label}));
  await sizeText(page, ['label,type,inputValue', ...points.map((point) =>
    `"${point.label.replaceAll('"', '""')}",${point.type},${point.inputValue}`)].join('\n'));
  const answer = await nativeSolution(points);

  const csv = await download(page, 'downloadCsv');
  const lines = csv.bytes.toString('utf8').split('\n');
  assert.equal(lines.pop(), '', 'every line ends with a line feed, and no other lines follow');
  assert.equal(lines[0], 'point,type,inputValue,demand,ratio,valveSize,delivered,deviation,label');
  const rows = lines.slice(1).map((line) => {
    const quoted = /^(.*?),"((?:[^"]|"")*)"$/.exec(line);
    return quoted ? [...quoted[1].split(','), quoted[2].replaceAll('""', '"')] : line.split(',');
  });
  assertRowsMatch(rows, answer, points);
  const totals = (await download(page, 'downloadTotals')).bytes.toString('utf8');
  const [names, values] = totals.trimEnd().split('\n').map((line) => line.split(','));
  assert.deepEqual(names, TOTALS);
  assertTotalsMatch(Object.fromEntries(names.map((name, index) => [name, values[index]])), answer);

  const json = await download(page, 'downloadJson');
  assert.equal(json.name, 'korvan-sizing.json');
  const document = JSON.parse(json.bytes.toString('utf8'));
  assertRowsMatch(document.points.map((point) => [point.point, point.type, point.inputValue,
    point.demand, point.ratio, point.valveSize, point.delivered, point.deviation,
    point.columns.label].map(String)), answer, points);
  assertTotalsMatch(Object.fromEntries(TOTALS.map((name) => [name, String(document[name])])),
                    answer);
});

test('formula cells are neutralised in the CSV download, unless kept as written', async () => {
  const page = await openPage();
  await sizeText(page, 'type,inputValue,cell\n1,50,=1+1\n0,100,-5');
  const cells = async () => (await download(page, 'downloadCsv')).bytes.toString('utf8')
      .trimEnd().split('\n').slice(1).map((line) => line.split(',').at(-1));
  assert.deepEqual(await cells(), ["'=1+1", '-5']);
  await page.check('#keepFormulas');
  assert.deepEqual(await cells(), ['=1+1', '-5']);
});

test('the reduce panel gives the smallest sizes, or says why not', async () => {
  const page = await openPage();
  const reduced = () => page.evaluate(() => ({
    rows: [...document.querySelectorAll('#reduced tbody tr')].map((row) => [...row.cells].map(
        (cell) => cell.textContent)),
    error: document.getElementById('reduceError').textContent,
  }));
  await page.waitForFunction(() => document.querySelectorAll('#reduced tbody tr').length > 0);
  assert.deepEqual(await reduced(), {rows: [['0.5', '0.1'], ['0.3', '0.06'], ['0.3', '0.06']],
                                     error: ''});
  const [native] = await nativeAnswers([{op: 'smallest', sizes: [0.2, 0.5, 0.1, 0.16]}]);
  const cases = [
    ['0.2, 0.5; 0.1\t0.16', {rows: native.sizes.map((size, index) => [String(size),
      String(native.smallest[index])]), error: ''}],
    ['0.5 0', /^point 2: size must be positive$/],
    ['0.5 abc', /^point 2: size "abc" is not a number$/],
    ['', /^there is nothing to solve: no point, or no size$/],
    ['0.5 0.07', /^no group of the valve series holds every ratio of the largest size to the others$/],
  ];
  for (const [text, expected] of cases) {
    await page.fill('#sizes', text);
    await page.evaluate(() => {
      document.getElementById('reduceError').textContent = 'waiting';
    });
    await page.press('#sizes', 'Enter');
    await page.waitForFunction(() => document.getElementById('reduceError').textContent !== 'waiting');
    const result = await reduced();
    if (expected instanceof RegExp) {
      assert.match(result.error, expected, text);
      assert.deepEqual(result.rows, [], text);
    } else {
      assert.deepEqual(result, expected, text);
    }
  }
});

test('the keyboard sizes from the text box, and every digit can be shown', async () => {
  const page = await openPage();
  await page.fill('#points', 'type,inputValue\n1,50\n0,100\n');
  await page.focus('#points');
  await afterRun(page, () => page.keyboard.press('Control+Enter'));
  assert.equal((await shown(page)).rows.length, 2);
  await page.fill('#points', EXAMPLE);
  await afterRun(page, () => page.click('#size'));
  assert.equal((await shown(page)).texts[1][4], '1.24889');
  await page.check('#allDigits');
  assert.equal((await shown(page)).texts[1][4], '1.248888888888889');
});

test('a large batch shows its first rows and bars, and more rows on demand', async () => {
  const page = await openPage();
  const points = randomPoints(7, 1500);
  await sizeText(page, pointsCsv(points));
  let view = await shown(page);
  assert.equal(view.rows.length, 250);
  assert.equal(view.bars.length, 1000);
  assert.match(await page.textContent('#rowsNote'), /first 250 of 1500 points/);
  assert.match(await page.textContent('#chartNote'), /1000 points of largest demand, out of 1500/);
  const more = async (rows) => {
    await page.click('#showMore');
    await page.waitForFunction((count) => document.querySelectorAll('#results tbody tr')
        .length === count, rows);
  };
  assert.equal(await page.textContent('#showMore'), 'Show 1000 more rows');
  await more(1250);
  assert.equal(await page.textContent('#showMore'), 'Show 250 more rows');
  await more(1500);
  assert.equal(await page.isHidden('#showMore'), true);
  view = await shown(page);
  assertRowsMatch(view.rows, await nativeSolution(points), points);
  await page.check('#allDigits');
  assert.equal((await shown(page)).rows.length, 1500);
});

test('the page fits a narrow screen', async () => {
  const page = await openPage({viewport: {width: 360, height: 800}});
  const widths = await page.evaluate(() => ({
    page: document.documentElement.scrollWidth,
    chart: document.getElementById('chart').getBoundingClientRect().right,
    window: window.innerWidth,
  }));
  assert.ok(widths.page <= widths.window, `the page is ${widths.page} px wide`);
  assert.ok(widths.chart <= widths.window, `the chart reaches ${widths.chart} px`);
  await page.screenshot({path: path.join(artifactDir, 'page-narrow.png'), fullPage: true});
  assert.deepEqual(session.pageErrors, []);
});
