// The sizing page's worker: it owns the library (the package's browser entry) and does all the
// work that grows with the input, so that the page stays responsive with files of millions of
// points. It reads a file in pieces as it streams in, reporting progress; sizes the points; keeps
// the last results for the page's rows and downloads; and reduces sizes.
//
// The page sends {kind: 'size', job, text} or {kind: 'size', job, file}, {kind: 'cancel', job},
// {kind: 'rows', first, count}, {kind: 'download', format, keepFormulas} and
// {kind: 'reduce', text}; the worker answers with messages of the same kinds, plus 'ready' (with
// the library's version) or 'failed' once it has loaded, and 'progress' while it reads a file.
import {loadKorvan} from './korvan/korvan.mjs';
import {InputError, PointByteReader, parsePoints, parseSizes, resultsCsv, resultsJson,
        shownPoints, sizeTable, totalsCsv} from './points.mjs';

const PIECE_BYTES = 2 << 20;
const SHOWN_ROWS = 250;
const BARS = 1000;
const DOWNLOADS = {
  csv: {name: 'korvan-sizing.csv', type: 'text/csv', parts: (s, t, o) => resultsCsv(s, t, o)},
  totals: {name: 'korvan-sizing-totals.csv', type: 'text/csv', parts: (s, t) => [totalsCsv(s, t)]},
  json: {name: 'korvan-sizing.json', type: 'application/json', parts: (s, t) => resultsJson(s, t)},
};

const cancelled = new Set();
let korvan = null;
let sized = null; // the last results: {solution, table}
let queue = Promise.resolve();

class Cancelled extends Error {}

function checkCancelled(job) {
  if (cancelled.has(job)) throw new Cancelled();
}

// Reads the file in pieces; the progress of each piece goes to the page.
async function readFile(job, file) {
  const reader = new PointByteReader();
  for (let at = 0; at < file.size; at += PIECE_BYTES) {
    const piece = new Uint8Array(await file.slice(at, at + PIECE_BYTES).arrayBuffer());
    checkCancelled(job);
    reader.push(piece);
    postMessage({kind: 'progress', job, done: Math.min(file.size, at + PIECE_BYTES),
                 total: file.size});
  }
  return reader.finish();
}

function sizedMessage(job, took) {
  const {solution, table} = sized;
  const bars = [];
  for (let index = 0; index < Math.min(BARS, solution.count); ++index) {
    bars.push({point: Number(solution.callerData[index]) + 1, deviation: solution.deviation[index]});
  }
  return {
    kind: 'sized', job, took, count: solution.count, carriedNames: table.carriedNames,
    totals: {deviationMax: solution.deviationMax, deviationMin: solution.deviationMin,
             scaleFactor: solution.scaleFactor, reducedScaleFactor: solution.reducedScaleFactor},
    points: shownPoints(solution, table, 0, SHOWN_ROWS),
    bars,
  };
}

async function size({job, text, file}) {
  const started = performance.now();
  sized = null;
  try {
    checkCancelled(job);
    const table = file === undefined ? parsePoints(text) : await readFile(job, file);
    const read = performance.now();
    postMessage({kind: 'progress', job, sizing: table.count});
    const solution = sizeTable(korvan, table);
    const solved = performance.now();
    checkCancelled(job);
    sized = {solution, table};
    postMessage(sizedMessage(job, {readMs: read - started, sizeMs: solved - read}));
  } catch (error) {
    if (error instanceof Cancelled) {
      postMessage({kind: 'cancelled', job});
      return;
    }
    sized = null;
    const known = error instanceof InputError || error.name === 'KorvanError';
    postMessage({kind: 'refused', job, message: known ? error.message
        : `the points could not be sized: ${error.message}`});
  } finally {
    cancelled.delete(job);
  }
}

function download({format, keepFormulas}) {
  const {name, type, parts} = DOWNLOADS[format];
  const blob = new Blob([...parts(sized.solution, sized.table, {keepFormulas})], {type});
  postMessage({kind: 'download', name, blob});
}

function reduce({text}) {
  try {
    postMessage({kind: 'reduce', ...korvan.smallestPossibleValves(parseSizes(text))});
  } catch (error) {
    postMessage({kind: 'reduce', message: error.message});
  }
}

function handle(message) {
  switch (message.kind) {
    case 'size':
      // One sizing at a time, in the order asked; a cancelled one ends at its next piece.
      queue = queue.then(() => size(message));
      break;
    case 'cancel':
      cancelled.add(message.job);
      break;
    case 'rows':
      if (sized !== null) {
        postMessage({kind: 'rows', first: message.first,
                     points: shownPoints(sized.solution, sized.table, message.first, message.count)});
      }
      break;
    case 'download':
      if (sized === null) postMessage({kind: 'download'});
      else download(message);
      break;
    case 'reduce':
      reduce(message);
      break;
    default:
      throw new Error(`unknown message ${message.kind}`);
  }
}

loadKorvan().then((loaded) => {
  korvan = loaded;
  onmessage = (event) => handle(event.data);
  postMessage({kind: 'ready', version: korvan.version()});
}, (error) => postMessage({kind: 'failed', message: error.message}));
