// A large batch in Node, as entries and as columns:
//   node --expose-gc web/bench/columns.mjs [points]   (after make npm; 2770000 points by default)
// Prints the median of three runs of generate (an object per entry) and of generateColumns (a
// typed array per field) on the same points, and the memory each solution holds.
import path from 'node:path';
import {pathToFileURL} from 'node:url';
import {packageDir} from '../test/support/paths.mjs';

const COUNT = Number(process.argv[2] ?? 2770000);
const RUNS = 3;
const {loadKorvan} = await import(pathToFileURL(path.join(packageDir, 'node.mjs')).href);

const types = new Uint32Array(COUNT);
const inputValues = new Float64Array(COUNT);
const rows = new Uint32Array(COUNT);
for (let row = 0; row < COUNT; ++row) {
  types[row] = row % 4;
  inputValues[row] = 1 + ((row * 7919) % 1999000) / 1000;
  rows[row] = row;
}
const korvan = await loadKorvan();
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

const kept = [];
const collectGarbage = globalThis.gc ?? (() => {
  throw new Error('run node with --expose-gc');
});

function timeOf(solve) {
  collectGarbage();
  const started = performance.now();
  kept.push(solve());
  const ms = performance.now() - started;
  kept.length = 0;
  return ms;
}

// The MB a solution holds: the bytes of its arrays where it has typed arrays, else the heap's
// growth while it is held. Each call is a frame of its own, so that nothing of an earlier solution
// stays reachable.
function heldBy(solve) {
  collectGarbage();
  const before = process.memoryUsage().heapUsed;
  kept.push(solve());
  collectGarbage();
  const grown = process.memoryUsage().heapUsed - before;
  const arrays = Object.values(kept[0]).filter((value) => ArrayBuffer.isView(value));
  kept.length = 0;
  return (arrays.length > 0 ? arrays.reduce((sum, array) => sum + array.byteLength, 0) : grown) / 1e6;
}

// The median time of `solve`, and the memory its solution holds.
function measure(solve) {
  const times = Array.from({length: RUNS}, () => timeOf(solve));
  return {ms: median(times), held: heldBy(solve)};
}

const entries = measure(() => korvan.generate(types, inputValues, [], rows));
const columns = measure(() => korvan.generateColumns(types, inputValues, rows));
console.log(`${COUNT} points: generate ${entries.ms.toFixed(0)} ms holding ` +
            `${entries.held.toFixed(0)} MB, generateColumns ${columns.ms.toFixed(0)} ms holding ` +
            `${columns.held.toFixed(0)} MB (${(entries.ms / columns.ms).toFixed(1)} times as fast)`);
