import {loadKorvan} from 'korvan-calc-value-provider';

const korvan = await loadKorvan();
const solution = korvan.generate([1, 0, 3], [50, 100, 80]); // types, input values
for (const entry of solution.entries) {
  console.log(entry.type, entry.inputValue, entry.valveSize, entry.deviation);
}
console.log('scale factor', solution.scaleFactor);
