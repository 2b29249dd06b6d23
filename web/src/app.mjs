// The sizing page: reads the points, sizes them with the library's module, and shows the table,
// the chart and the totals, or a sentence naming what is wrong with the input.
import {loadKorvan} from './korvan.mjs';
import {drawDeviationChart} from './chart.mjs';
import {InputError, exactNumber, parsePoints, parseSizes, percentText, readableNumber,
        sizedPoints, solutionCsv, solutionJson} from './points.mjs';

const ROW_LIMIT = 1000;    // rows shown at once; every row is in the downloads
const CHART_LIMIT = 1000;  // bars drawn; the chart says when it shows fewer points than there are
const INVALID_TYPE = 12;
const UNSOLVABLE_INPUT = 13;
const INVALID_ARGUMENT = 160;
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
const COLUMNS = [
  {title: 'Point', value: (point) => point.point},
  {title: 'Type', value: (point) => point.entry.type >>> 0},
  {title: 'Input value', number: (point) => point.entry.inputValue, exactAlways: true},
  {title: 'Demand', number: (point) => point.entry.demand},
  {title: 'Ratio', number: (point) => point.entry.ratio},
  {title: 'Valve size', number: (point) => point.entry.valveSize, exactAlways: true},
  {title: 'Delivered', number: (point) => point.delivered},
  {title: 'Deviation %', number: (point) => point.entry.deviation, percent: true},
];

const byId = (id) => document.getElementById(id);

function sentence(text) {
  return text.replace(/\.$/, '');
}

function solvesAlone(korvan, row) {
  try {
    korvan.generate([row.type], [row.inputValue]);
    return true;
  } catch (error) {
    return error.code !== UNSOLVABLE_INPUT;
  }
}

// The library names the kind of fault, not the point; find the point so that the engineer can.
// Its sentence follows in brackets.
function explainFailure(korvan, table, error) {
  if (error.name !== 'KorvanError') return error;
  const reason = `(${sentence(error.message)})`;
  if (error.code === INVALID_TYPE) {
    const row = table.rows.find((candidate) => candidate.type > 3);
    if (row) return new InputError(row.line, `type ${row.type} is not one of 0 to 3`);
  }
  if (error.code === UNSOLVABLE_INPUT) {
    const row = table.rows.find((candidate) => !solvesAlone(korvan, candidate));
    if (row) {
      return new InputError(row.line, `the point of type ${row.type} and input value ` +
                                      `${exactNumber(row.inputValue)} cannot be sized ${reason}`);
    }
    return new InputError(null, `These points cannot be sized together ${reason}`);
  }
  return new InputError(null, `The points cannot be sized ${reason}`);
}

// Each point carries its row number through the library's reordering as its callerData.
function sizeTable(korvan, table) {
  const {rows} = table;
  try {
    const solution = korvan.generate(rows.map((row) => row.type), rows.map((row) => row.inputValue),
                                     [], rows.map((_, index) => index));
    return {table, solution, points: sizedPoints(solution, table, (entry) => Number(entry.callerData))};
  } catch (error) {
    throw explainFailure(korvan, table, error);
  }
}

function cell(tag, text, className = '') {
  const node = document.createElement(tag);
  node.textContent = text;
  if (className) node.className = className;
  return node;
}

function numberCell(value, column, allDigits) {
  let text;
  if (column.percent) {
    text = allDigits ? exactNumber(value) : percentText(value);
  } else {
    text = allDigits || column.exactAlways ? exactNumber(value) : readableNumber(value);
  }
  const sign = column.percent && value < 0 ? ' negative' : column.percent && value > 0 ? ' positive' : '';
  const node = cell('td', text, `number${sign}`);
  node.dataset.value = exactNumber(value);
  return node;
}

function tableRow(point, allDigits) {
  const row = document.createElement('tr');
  for (const column of COLUMNS) {
    row.append(column.number ? numberCell(column.number(point), column, allDigits)
                             : cell('td', String(column.value(point)), 'number'));
  }
  for (const text of point.extra) row.append(cell('td', text));
  return row;
}

function startPage(korvan) {
  const view = {sized: null, showEveryRow: false};
  const points = byId('points');
  const results = byId('results');
  const chartCaption = byId('chartNote').textContent.replace(/\s+/g, ' ').trim();

  function renderTable() {
    const headRow = results.tHead.rows[0];
    const body = results.tBodies[0];
    if (view.sized === null) {
      headRow.replaceChildren();
      body.replaceChildren();
      byId('rowsNote').textContent = '';
      byId('showAll').hidden = true;
      return;
    }
    const {table, points: sized} = view.sized;
    headRow.replaceChildren(...[...COLUMNS.map((column) => column.title), ...table.extraNames]
        .map((title) => Object.assign(cell('th', title), {scope: 'col'})));
    const shown = view.showEveryRow ? sized : sized.slice(0, ROW_LIMIT);
    const allDigits = byId('allDigits').checked;
    const rows = document.createDocumentFragment();
    for (const point of shown) rows.append(tableRow(point, allDigits));
    body.replaceChildren(rows);
    const hidden = sized.length - shown.length;
    byId('rowsNote').textContent = hidden > 0
        ? `The table shows the first ${shown.length} of ${sized.length} points; the downloads ` +
          'hold every one.'
        : '';
    byId('showAll').hidden = hidden === 0;
  }

  function renderChart() {
    const sized = view.sized?.points ?? [];
    const bars = sized.slice(0, CHART_LIMIT).map((point) => ({
      label: String(point.point), deviation: point.entry.deviation}));
    const summary = sized.length === 0 ? 'No points sized.'
        : `${sized.length} points, deviations from ${percentText(view.sized.solution.deviationMin)} ` +
          `to ${percentText(view.sized.solution.deviationMax)} percent.`;
    // Shown before it is drawn, since the chart takes the width of its figure.
    byId('chart').parentElement.hidden = bars.length === 0;
    drawDeviationChart(byId('chart'), bars, summary);
    byId('chartNote').textContent = sized.length > CHART_LIMIT
        ? `${chartCaption} It shows the ${CHART_LIMIT} points of largest demand, out of ` +
          `${sized.length}.`
        : chartCaption;
  }

  function render() {
    const solution = view.sized?.solution;
    for (const name of TOTALS) byId(name).textContent = solution ? exactNumber(solution[name]) : '';
    byId('downloadCsv').disabled = !solution;
    byId('downloadJson').disabled = !solution;
    renderTable();
    renderChart();
  }

  function sizePoints() {
    byId('error').textContent = '';
    try {
      const table = parsePoints(points.value);
      const started = performance.now();
      view.sized = sizeTable(korvan, table);
      const took = performance.now() - started;
      const count = view.sized.points.length;
      byId('status').textContent = `${count} point${count === 1 ? '' : 's'} sized in ` +
                                   `${took.toFixed(1)} ms.`;
    } catch (error) {
      view.sized = null;
      byId('status').textContent = '';
      byId('error').textContent = error instanceof InputError ? error.message
          : `The points could not be sized: ${error.message}`;
    }
    view.showEveryRow = false;
    render();
    document.body.dataset.runs = String(Number(document.body.dataset.runs ?? 0) + 1);
  }

  function download(name, type, text) {
    const address = URL.createObjectURL(new Blob([text], {type}));
    const link = Object.assign(document.createElement('a'), {href: address, download: name});
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(address), 60000);
  }

  function reduceSizes() {
    const body = byId('reduced').tBodies[0];
    byId('reduceError').textContent = '';
    body.replaceChildren();
    let sizes;
    try {
      sizes = parseSizes(byId('sizes').value);
      const reduced = korvan.smallestPossibleValves(sizes);
      reduced.sizes.forEach((size, index) => {
        const row = document.createElement('tr');
        row.append(cell('td', exactNumber(size), 'number'),
                   cell('td', exactNumber(reduced.smallest[index]), 'number'));
        body.append(row);
      });
    } catch (error) {
      let where = '';
      if (error.code === INVALID_ARGUMENT && sizes) {
        const index = sizes.findIndex((size) => !(size > 0));
        if (index >= 0) where = ` (size ${index + 1} is ${exactNumber(sizes[index])})`;
      }
      byId('reduceError').textContent = error instanceof InputError ? error.message
          : `The sizes cannot be reduced${where} (${sentence(error.message)}).`;
    }
  }

  byId('pointsForm').addEventListener('submit', (event) => {
    event.preventDefault();
    sizePoints();
  });
  points.addEventListener('keydown', (event) => {
    if (event.key === 'Enter' && (event.ctrlKey || event.metaKey)) {
      event.preventDefault();
      sizePoints();
    }
  });
  byId('file').addEventListener('change', async (event) => {
    const [file] = event.target.files;
    if (!file) return;
    points.value = await file.text();
    event.target.value = '';
    sizePoints();
  });
  byId('allDigits').addEventListener('change', renderTable);
  byId('showAll').addEventListener('click', () => {
    view.showEveryRow = true;
    renderTable();
  });
  byId('downloadCsv').addEventListener('click', () => {
    const {solution, table, points: sized} = view.sized;
    download('korvan-sizing.csv', 'text/csv', solutionCsv(solution, table, sized));
  });
  byId('downloadJson').addEventListener('click', () => {
    const {solution, table, points: sized} = view.sized;
    download('korvan-sizing.json', 'application/json', solutionJson(solution, table, sized));
  });
  byId('reduceForm').addEventListener('submit', (event) => {
    event.preventDefault();
    reduceSizes();
  });
  let redraw = 0;
  window.addEventListener('resize', () => {
    cancelAnimationFrame(redraw);
    redraw = requestAnimationFrame(renderChart);
  });

  byId('version').textContent = korvan.version().toFixed(1);
  sizePoints();
  reduceSizes();
}

loadKorvan().then(startPage, (error) => {
  byId('error').textContent = `The sizing library could not be loaded: ${error.message}`;
  for (const id of ['size', 'reduce', 'file']) byId(id).disabled = true;
  document.body.dataset.runs = 'failed';
});
