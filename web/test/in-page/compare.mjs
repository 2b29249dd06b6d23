// Runs cases through the WebAssembly module inside the page and lists where its answers differ
// from the native library's, bit for bit: every entry in its place, entries of equal demand
// included, which the library orders the same way with every standard library.
import {loadKorvan} from '/korvan.mjs';
import {fromWire} from './wire.mjs';

const ENTRY_FIELDS = ['type', 'inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
                      'deviation', 'callerData'];
const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];

function sameBits(a, b) {
  return Object.is(a, b) || (Number.isNaN(a) && Number.isNaN(b));
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

// Each difference as a sentence naming the case and the first value that differs.
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
  const entryDifference = firstEntryDifference(actual.entries, expected.entries);
  if (entryDifference !== null) return entryDifference;
  const total = TOTALS.find((name) => !sameBits(actual[name], expected[name]));
  return total ? `${total} ${actual[total]}, native ${expected[total]}` : null;
}

export async function compareWithNative(wireCases, wireAnswers) {
  const korvan = await loadKorvan();
  const cases = fromWire(wireCases);
  const answers = fromWire(wireAnswers);
  const differences = [];
  cases.forEach((testCase, index) => {
    const difference = differenceOf(answerOf(korvan, testCase), answers[index]);
    if (difference !== null) differences.push(`case ${index} (${testCase.op}): ${difference}`);
  });
  return {cases: cases.length, differences};
}
