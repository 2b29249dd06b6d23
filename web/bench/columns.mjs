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

// The median time of `solve`, and the memory its last solution holds, in MB.
const kept = [];
function measure(solve) {
  const times = [];
  let held = 0;
  for (let run = 0; run < RUNS; ++run) {
    kept.length = 0;
    globalThis.gc?.();
    const before = process.memoryUsage();
    const started = performance.now();
    kept.push(solve());
    times.push(performance.now() - started);
    globalThis.gc?.();
    const after = process.memoryUsage();
    held = (after.heapUsed + after.arrayBuffers - before.heapUsed - before.arrayBuffers) / 1e6;
  }
  kept.length = 0;
  return {ms: median(times), held};
}

const entries = measure(() => korvan.generate(types, inputValues, [], rows));
const columns = measure(() => korvan.generateColumns(types, inputValues, rows));
console.log(`${COUNT} points: generate ${entries.ms.toFixed(0)} ms holding ` +
            `${entries.held.toFixed(0)} MB, generateColumns ${columns.ms.toFixed(0)} ms holding ` +
            `${columns.held.toFixed(0)} MB (${(entries.ms / columns.ms).toFixed(1)} times as fast)`);
