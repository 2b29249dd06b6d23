// The sizing page: takes points typed or from a file, has its worker (sizing-worker.mjs) read and
// size them, and shows the table, the chart and the totals, or the sentence naming what is wrong
// with the input. The main thread only ever handles what is shown, so that a file of millions of
// points never blocks it.
import {drawDeviationChart} from './chart.mjs';
import {exactNumber, percentText, readableNumber} from './points.mjs';

const MORE_ROWS = 1000;           // rows added to the table at a time
const WHOLE_TEXT_BYTES = 256 << 10; // files up to this size are shown whole in the text box
const PREVIEW_BYTES = 64 << 10;   // of larger ones, the first lines of this many bytes at most
const PREVIEW_LINES = 100;
const PROGRESS_DELAY_MS = 100;    // a sizing that takes longer shows its progress
const CHART_LIMIT = 1000;         // the bars the worker sends
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
const COLUMNS = [
  {title: 'Point', value: (point) => point.point},
  {title: 'Type', value: (point) => point.type},
  {title: 'Input value', number: (point) => point.inputValue, exactAlways: true},
  {title: 'Demand', number: (point) => point.demand},
  {title: 'Ratio', number: (point) => point.ratio},
  {title: 'Valve size', number: (point) => point.valveSize, exactAlways: true},
  {title: 'Delivered', number: (point) => point.delivered},
  {title: 'Deviation %', number: (point) => point.deviation, percent: true},
];

const byId = (id) => document.getElementById(id);

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

function megabytes(bytes) {
  return `${(bytes / 1e6).toFixed(1)} MB`;
}

function duration(ms) {
  return ms < 1000 ? `${ms.toFixed(ms < 10 ? 1 : 0)} ms` : `${(ms / 1000).toFixed(1)} s`;
}

// The first lines of a file's text, for the text box: all of it when it is small.
async function previewOf(file) {
  if (file.size <= WHOLE_TEXT_BYTES) return {text: await file.text(), whole: true};
  const start = await file.slice(0, PREVIEW_BYTES).text();
  const lines = start.split(/\r\n|\n|\r/).slice(0, PREVIEW_LINES);
  return {text: lines.join('\n'), whole: false, lines: lines.length};
}

function startPage(worker, version) {
  // sized: what the worker last sized and the page shows; job: the sizing under way, if any.
  const view = {sized: null, source: {text: true}, job: null, jobs: 0, started: 0, progressTimer: 0,
                reading: ''};
  const points = byId('points');
  const results = byId('results');
  const chartCaption = byId('chartNote').textContent.replace(/\s+/g, ' ').trim();

  function renderRows(from) {
    const body = results.tBodies[0];
    const allDigits = byId('allDigits').checked;
    const rows = document.createDocumentFragment();
    for (const point of view.sized.points.slice(from)) rows.append(tableRow(point, allDigits));
    if (from === 0) body.replaceChildren(rows);
    else body.append(rows);
    const shown = view.sized.points.length;
    const hidden = view.sized.count - shown;
    byId('rowsNote').textContent = hidden > 0
        ? `The table shows the first ${shown} of ${view.sized.count} points; the downloads ` +
          'hold every one.'
        : '';
    byId('showMore').hidden = hidden === 0;
    byId('showMore').textContent = `Show ${Math.min(hidden, MORE_ROWS)} more rows`;
  }

  function renderTable() {
    const headRow = results.tHead.rows[0];
    if (view.sized === null) {
      headRow.replaceChildren();
      results.tBodies[0].replaceChildren();
      byId('rowsNote').textContent = '';
      byId('showMore').hidden = true;
      return;
    }
    headRow.replaceChildren(...[...COLUMNS.map((column) => column.title), ...view.sized.carriedNames]
        .map((title) => Object.assign(cell('th', title), {scope: 'col'})));
    renderRows(0);
  }

  function renderChart() {
    const sized = view.sized;
    const bars = (sized?.bars ?? []).map((bar) => ({label: String(bar.point),
                                                    deviation: bar.deviation}));
    const summary = sized === null ? 'No points sized.'
        : `${sized.count} points, deviations from ${percentText(sized.totals.deviationMin)} ` +
          `to ${percentText(sized.totals.deviationMax)} percent.`;
    // Shown before it is drawn, since the chart takes the width of its figure.
    byId('chart').parentElement.hidden = bars.length === 0;
    drawDeviationChart(byId('chart'), bars, summary);
    byId('chartNote').textContent = sized !== null && sized.count > CHART_LIMIT
        ? `${chartCaption} It shows the ${CHART_LIMIT} points of largest demand, out of ` +
          `${sized.count}.`
        : chartCaption;
  }

  function renderButtons() {
    const idle = view.sized !== null && view.job === null;
    for (const id of ['downloadCsv', 'downloadTotals', 'downloadJson', 'showMore']) {
      byId(id).disabled = !idle;
    }
    byId('resultsSection').setAttribute('aria-busy', String(view.job !== null));
  }

  // The totals and the table, then the chart in a task of its own, so that neither holds the page
  // up for long; `drawn` runs once both are.
  function render(drawn = () => {}) {
    const totals = view.sized?.totals;
    for (const name of TOTALS) byId(name).textContent = totals ? exactNumber(totals[name]) : '';
    renderTable();
    renderButtons();
    setTimeout(() => {
      renderChart();
      drawn();
    });
  }

  function showProgress(text, done = undefined, total = undefined) {
    byId('progressText').textContent = text;
    const bar = byId('progressBar');
    if (done === undefined) {
      bar.removeAttribute('value');
    } else {
      bar.max = total;
      bar.value = done;
    }
  }

  function endJob() {
    view.job = null;
    clearTimeout(view.progressTimer);
    byId('progress').hidden = true;
  }

  function finished() {
    endJob();
    render(() => {
      document.body.dataset.runs = String(Number(document.body.dataset.runs ?? 0) + 1);
    });
  }

  // Sizes the points of the text box, or of the file it previews; one sizing at a time, the
  // latest asked for.
  function sizePoints() {
    if (view.job !== null) worker.postMessage({kind: 'cancel', job: view.job});
    view.job = ++view.jobs;
    view.started = performance.now();
    const {file} = view.source;
    view.reading = file?.name ?? '';
    byId('error').textContent = '';
    byId('status').textContent = '';
    showProgress(file ? `Reading ${file.name}` : 'Reading the points', file ? 0 : undefined,
                 file?.size);
    clearTimeout(view.progressTimer);
    view.progressTimer = setTimeout(() => {
      byId('progress').hidden = false;
    }, PROGRESS_DELAY_MS);
    renderButtons();
    worker.postMessage(file ? {kind: 'size', job: view.job, file}
                            : {kind: 'size', job: view.job, text: points.value});
  }

  function cancel() {
    if (view.job === null) return;
    worker.postMessage({kind: 'cancel', job: view.job});
    endJob();
    view.sized = null;
    render();
    byId('status').textContent = 'Cancelled.';
  }

  function showSized(message) {
    view.sized = message;
    finished();
    const total = performance.now() - view.started;
    const status = byId('status');
    status.textContent = `${message.count} point${message.count === 1 ? '' : 's'} sized in ` +
        `${duration(total)} (reading ${duration(message.took.readMs)}, sizing ` +
        `${duration(message.took.sizeMs)}).`;
    Object.assign(status.dataset, {totalMs: total.toFixed(1),
                                   readMs: message.took.readMs.toFixed(1),
                                   sizeMs: message.took.sizeMs.toFixed(1)});
  }

  function showRefusal(message) {
    view.sized = null;
    finished();
    byId('error').textContent = message.message;
  }

  function showReduced(message) {
    const body = byId('reduced').tBodies[0];
    byId('reduceError').textContent = message.message ?? '';
    body.replaceChildren(...(message.sizes ?? []).map((size, index) => {
      const row = document.createElement('tr');
      row.append(cell('td', exactNumber(size), 'number'),
                 cell('td', exactNumber(message.smallest[index]), 'number'));
      return row;
    }));
  }

  // Saves a download the worker made; without one (the results went with a later sizing), only
  // the buttons are brought back.
  function download({name, blob}) {
    renderButtons();
    if (blob === undefined) return;
    const address = URL.createObjectURL(blob);
    const link = Object.assign(document.createElement('a'), {href: address, download: name});
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(address), 60000);
  }

  function requestDownload(format) {
    for (const id of ['downloadCsv', 'downloadTotals', 'downloadJson']) byId(id).disabled = true;
    worker.postMessage({kind: 'download', format, keepFormulas: byId('keepFormulas').checked});
  }

  function addRows(message) {
    if (view.sized === null || message.first !== view.sized.points.length) return;
    view.sized.points.push(...message.points);
    renderRows(message.first);
    renderButtons();
  }

  function useText() {
    view.source = {text: true};
    points.readOnly = false;
    byId('fileNote').hidden = true;
  }

  async function loadFile(file) {
    const preview = await previewOf(file);
    points.value = preview.text;
    points.readOnly = !preview.whole;
    view.source = {file};
    byId('fileNote').hidden = preview.whole;
    byId('fileNoteText').textContent = preview.whole ? '' : `${file.name}, ${megabytes(file.size)}: ` +
        `the box shows its first ${preview.lines} lines; the points are read from the file.`;
    sizePoints();
  }

  worker.onerror = (event) => {
    view.sized = null;
    finished();
    byId('error').textContent = `The page's worker failed: ${event.message}`;
  };
  worker.onmessage = ({data: message}) => {
    const current = message.job === undefined || message.job === view.job;
    if (!current) return;
    switch (message.kind) {
      case 'progress':
        if (message.sizing === undefined) {
          showProgress(`Reading ${view.reading}: ${megabytes(message.done)} of ` +
                       megabytes(message.total), message.done, message.total);
        } else {
          showProgress(`Sizing ${message.sizing} points`);
        }
        break;
      case 'sized':
        showSized(message);
        break;
      case 'refused':
        showRefusal(message);
        break;
      case 'rows':
        addRows(message);
        break;
      case 'download':
        download(message);
        break;
      case 'reduce':
        showReduced(message);
        break;
      default:
        break;
    }
  };

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
  points.addEventListener('input', useText);
  byId('typeInstead').addEventListener('click', () => {
    points.value = '';
    useText();
    points.focus();
  });
  byId('file').addEventListener('change', (event) => {
    const [file] = event.target.files;
    event.target.value = '';
    if (file) loadFile(file);
  });
  byId('cancel').addEventListener('click', cancel);
  byId('allDigits').addEventListener('change', renderTable);
  byId('showMore').addEventListener('click', () => {
    byId('showMore').disabled = true;
    worker.postMessage({kind: 'rows', first: view.sized.points.length, count: MORE_ROWS});
  });
  byId('downloadCsv').addEventListener('click', () => requestDownload('csv'));
  byId('downloadTotals').addEventListener('click', () => requestDownload('totals'));
  byId('downloadJson').addEventListener('click', () => requestDownload('json'));
  byId('reduceForm').addEventListener('submit', (event) => {
    event.preventDefault();
    worker.postMessage({kind: 'reduce', text: byId('sizes').value});
  });
  let redraw = 0;
  window.addEventListener('resize', () => {
    cancelAnimationFrame(redraw);
    redraw = requestAnimationFrame(renderChart);
  });

  byId('version').textContent = version.toFixed(1);
  sizePoints();
  worker.postMessage({kind: 'reduce', text: byId('sizes').value});
}

function failToLoad(message) {
  byId('error').textContent = `The sizing library could not be loaded: ${message}`;
  for (const id of ['size', 'reduce', 'file']) byId(id).disabled = true;
  document.body.dataset.runs = 'failed';
}

const worker = new Worker(new URL('./sizing-worker.mjs', import.meta.url), {type: 'module'});
worker.onmessage = ({data: message}) => {
  if (message.kind === 'ready') startPage(worker, message.version);
  else failToLoad(message.message);
};
worker.onerror = (event) => failToLoad(event.message || 'the worker did not start');
