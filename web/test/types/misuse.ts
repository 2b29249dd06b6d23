// Each line marked `error` must fail to compile; the others must not.
import {KorvanError, loadKorvan} from 'korvan-calc-value-provider';

const korvan = await loadKorvan();
korvan.generate(['1', '0'], [50, 100]); // error: types are numbers
korvan.generate([1], [50], [], ['row 1']); // error: tags are integers
korvan.fill([{type: 1}]); // error: an entry needs its input value
const tag: number = korvan.generate([1], [50]).entries[0].callerData; // error: a tag is a bigint
await loadKorvan({wasm: 42}); // error: not a source of the module
korvan.smallestPossibleValves(new BigInt64Array(2)); // error: sizes are numbers
try {
  korvan.generate([7], [1]);
} catch (error) {
  if (error instanceof KorvanError) {
    const point: number = error.point; // error: the point may be null
    error.code = 0; // error: read-only
    console.log(point, tag);
  }
}
