// With neither the DOM's declarations nor Node's: the package's need none.
import {loadKorvan} from 'korvan-calc-value-provider';

const korvan = await loadKorvan({wasm: new Uint8Array(0)});
export const scaleFactor: number = korvan.generate([1], [50]).scaleFactor;
