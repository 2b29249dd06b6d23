// Runs cases through the WebAssembly module inside the page and lists where its answers differ
// from the native library's, bit for bit.
//
// The library orders entries by demand with the standard library's sort, which leaves the order
// of equal demands to each standard library: libc++ in the module and libstdc++ natively may list
// two points of equal demand the other way round. Such a case is counted apart; every entry must
// still carry the same bits as its native twin.
import {loadKorvan} from '/korvan.mjs';
import {fromWire} from './wire.mjs';

const ENTRY_FIELDS = ['type', 'inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
                      'deviation', 'callerData'];
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];

function sameBits(a, b) {
  return Object.is(a, b) || (Number.isNaN(a) && Number.isNaN(b));
}

function entryKey(entry) {
  return ENTRY_FIELDS.map((field) => (typeof entry[field] === 'number'
      ? new BigUint64Array(new Float64Array([entry[field]]).buffer)[0] : entry[field])).join(' ');
}

// The entries with each run of equal demands in one fixed order of their own.
function withTiesInOrder(entries) {
  const runs = [];
  for (const entry of entries) {
    const run = runs.at(-1);
    if (run && sameBits(run[0].demand, entry.demand)) run.push(entry);
    else runs.push([entry]);
  }
  return runs.flatMap((run) => run.map((entry) => [entryKey(entry), entry])
      .sort(([a], [b]) => (a < b ? -1 : a > b ? 1 : 0)).map(([, entry]) => entry));
}

function firstEntryDifference(actual, expected) {
  for (const [index, entry] of expected.entries()) {
    for (const field of ENTRY_FIELDS) {
      if (!sameBits(actual[index][field], entry[field])) {
        return `entries[${index}].${field} ${actual[index][field]}, native ${entry[field]}`;
      }
    }
  }
  return null;
}

function answerOf(korvan, testCase) {
  try {
    switch (testCase.op) {
      case 'generate':
        return {code: 0, ...korvan.generate(testCase.types, testCase.inputValues, testCase.entries,
                                            testCase.callerData ?? undefined)};
      case 'fill':
        return {code: 0, ...korvan.fill(testCase.entries)};
      default:
        return {code: 0, ...korvan.smallestPossibleValves(testCase.sizes)};
    }
  } catch (error) {
    if (error.name !== 'KorvanError') return {code: `${error.name}: ${error.message}`};
    if (error.message !== korvan.describeResult(error.code)) {
      return {code: `message "${error.message}" for ${error.code}`};
    }
    return {code: error.code};
  }
}

// Each difference as a sentence naming the case and the first value that differs; 'ties' for
// answers that differ only in the order of equal demands.
function differenceOf(actual, expected) {
  if (actual.code !== expected.code) return `result ${actual.code}, native ${expected.code}`;
  if (expected.code !== 0) return null;
  if (expected.smallest) {
    for (const list of ['sizes', 'smallest']) {
      const index = expected[list].findIndex((value, at) => !sameBits(actual[list][at], value));
      if (actual[list].length !== expected[list].length || index >= 0) {
        return `${list}[${index}] ${actual[list][index]}, native ${expected[list][index]}`;
      }
    }
    return null;
  }
  if (actual.entries.length !== expected.entries.length) {
    return `${actual.entries.length} entries, native ${expected.entries.length}`;
  }
  if (firstEntryDifference(actual.entries, expected.entries) !== null) {
    return firstEntryDifference(withTiesInOrder(actual.entries), withTiesInOrder(expected.entries))
        ?? 'ties';
  }
  const total = TOTALS.find((name) => !sameBits(actual[name], expected[name]));
  return total ? `${total} ${actual[total]}, native ${expected[total]}` : null;
}

export async function compareWithNative(wireCases, wireAnswers) {
  const korvan = await loadKorvan();
  const cases = fromWire(wireCases);
  const answers = fromWire(wireAnswers);
  const differences = [];
  let tieOrders = 0;
  cases.forEach((testCase, index) => {
    const difference = differenceOf(answerOf(korvan, testCase), answers[index]);
    if (difference === 'ties') ++tieOrders;
    else if (difference !== null) differences.push(`case ${index} (${testCase.op}): ${difference}`);
  });
  return {cases: cases.length, differences, tieOrders};
}
