import {KORVAN_RULE_INPUT_NOT_POSITIVE, KorvanError, loadKorvan} from 'korvan-calc-value-provider';

const korvan = await loadKorvan();
try {
  korvan.generate([1, 0, 3], [50, 0, 80]);
} catch (error) {
  if (!(error instanceof KorvanError)) throw error;
  console.log(error.message); // the library's rule, and the point counted from 1
  console.log('code', error.code, 'point', error.point); // the point counted from 0
  console.log(error.rule === KORVAN_RULE_INPUT_NOT_POSITIVE);
}
