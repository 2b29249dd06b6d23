// A module worker that loads the package's browser entry and answers the example: the module
// finds its .wasm beside itself, not beside the worker.
import {loadKorvan} from '/korvan/korvan.mjs';

const korvan = await loadKorvan();
const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
postMessage({scaleFactor: solution.scaleFactor, sizes: solution.entries.map((e) => e.valveSize)});
