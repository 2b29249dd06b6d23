// The whole surface as a TypeScript host uses it, under strict checks.
import {
  KORVAN_INVALID_TYPE, KORVAN_RULE_TYPE_UNKNOWN, KorvanError, loadKorvan,
  type EntryInput, type Korvan, type ReducedSizes, type Solution, type SolutionEntry,
} from 'korvan-calc-value-provider';

const korvan: Korvan = await loadKorvan();
const fromUrl: Promise<Korvan> = loadKorvan({wasm: new URL('https://example.org/korvan-wasm.wasm')});
void fromUrl.catch(() => undefined);
await loadKorvan({wasm: await WebAssembly.compile(new Uint8Array(0)).catch(() => new ArrayBuffer(0))})
    .catch(() => undefined);

const solution: Solution = korvan.generate([1, 0, 3], new Float64Array([50, 100, 80]), [],
                                           [1n, 2, 3n]);
const first: SolutionEntry = solution.entries[0];
const tag: bigint = first.callerData + 1n;
const held: EntryInput[] = solution.entries.map((entry) => ({...entry, inputValue: 2}));
const grown = korvan.generate(new Uint32Array([2]), [70], held, new BigUint64Array([9n]));
const refilled: Solution = korvan.fill([{type: 1, inputValue: 50}, ...grown.entries]);
const reduced: ReducedSizes = korvan.smallestPossibleValves([0.5, 0.3]);
const version: number = korvan.version();
const sentence: string = korvan.describeResult(KORVAN_INVALID_TYPE) + korvan.describeRule(3);

try {
  korvan.generate([7], [1]);
} catch (error) {
  if (error instanceof KorvanError) {
    const code: number = error.code;
    const where: number = error.point ?? -1;
    const other: number | null = error.otherPoint;
    if (error.rule === KORVAN_RULE_TYPE_UNKNOWN && error.point !== null) {
      console.log(error.point + 1, code, where, other, error.message, error.name);
    }
  }
}
const made = new KorvanError(13, 'made by a host', {rule: 3, point: 0});
console.log(tag, refilled.scaleFactor, reduced.smallest, version, sentence, made.point);
