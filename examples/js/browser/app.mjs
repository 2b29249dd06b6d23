import {KorvanError, loadKorvan} from 'korvan-calc-value-provider';

const out = document.getElementById('out');
const korvan = await loadKorvan(); // fetches korvan-wasm.wasm from beside the bundle
const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
out.textContent = solution.entries.map((entry) => `${entry.valveSize} ${entry.deviation}`)
    .join('\n');
try {
  korvan.smallestPossibleValves([0.5, 0]);
} catch (error) {
  if (error instanceof KorvanError) out.textContent += `\n${error.message}`;
}
