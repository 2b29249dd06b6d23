import {loadKorvan} from 'korvan-calc-value-provider';

// Large batches: typed arrays in, one typed array per field out, each point tagged with its row.
const count = 100000;
const types = new Uint32Array(count);
const inputValues = new Float64Array(count);
const rows = new Uint32Array(count);
for (let row = 0; row < count; ++row) {
  types[row] = row % 4;
  inputValues[row] = 1 + (row % 2000) / 4;
  rows[row] = row;
}
const korvan = await loadKorvan();
const solution = korvan.generateColumns(types, inputValues, rows);
console.log(solution.count, 'points; the largest demand is row', Number(solution.callerData[0]));
console.log('its size', solution.valveSize[0], 'and deviation', solution.deviation[0]);
console.log('scale factor', solution.scaleFactor);
