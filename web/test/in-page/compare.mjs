// Runs cases through the WebAssembly module, in Node or in a page, and lists where its answers
// differ from the native library's, bit for bit: every entry in its place, entries of equal demand
// included, which the library orders the same way with every standard library (and the same as
// columns, where a case holds no entries); and for a refusal
// the code, the rule and the points the library names, and the message they make.
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

// A generate of new points alone, asked again for columns: the columns as entries.
function columnsOf(korvan, testCase) {
  if (testCase.entries.length > 0) return undefined;
  const columns = korvan.generateColumns(testCase.types, testCase.inputValues,
                                         testCase.callerData ?? undefined);
  return Array.from({length: columns.count}, (_, index) => Object.fromEntries(
      ENTRY_FIELDS.map((field) => [field, columns[field][index]])));
}

function answerOf(korvanModule, korvan, testCase) {
  try {
    switch (testCase.op) {
      case 'generate': {
        const solution = korvan.generate(testCase.types, testCase.inputValues, testCase.entries,
                                         testCase.callerData ?? undefined);
        return {code: 0, ...solution, columns: columnsOf(korvan, testCase)};
      }
      case 'fill':
        return {code: 0, ...korvan.fill(testCase.entries)};
      default:
        return {code: 0, ...korvan.smallestPossibleValves(testCase.sizes)};
    }
  } catch (error) {
    if (!(error instanceof korvanModule.KorvanError)) return {code: `${error.name}: ${error.message}`};
    const {code, rule, point, otherPoint, message} = error;
    return {code, rule, point, otherPoint, message};
  }
}

// The message a refusal must carry, from the native verdict and the library's sentences.
function expectedMessage(korvan, {code, rule, point, otherPoint}) {
  if (rule === 0) return korvan.describeResult(code);
  const sentence = korvan.describeRule(rule);
  if (point === null) return sentence;
  return `point ${point + 1}: ${sentence}${otherPoint === null ? '' : ` (point ${otherPoint + 1})`}`;
}

function refusalDifference(korvan, actual, expected) {
  for (const field of ['rule', 'point', 'otherPoint']) {
    if (actual[field] !== expected[field]) {
      return `${field} ${actual[field]}, native ${expected[field]}`;
    }
  }
  const message = expectedMessage(korvan, expected);
  return actual.message === message ? null : `message "${actual.message}", not "${message}"`;
}

// Each difference as a sentence naming the case and the first value that differs.
function differenceOf(korvan, actual, expected) {
  if (actual.code !== expected.code) return `result ${actual.code}, native ${expected.code}`;
  if (expected.code !== 0) return refusalDifference(korvan, actual, expected);
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
  if (actual.columns !== undefined) {
    const columnDifference = firstEntryDifference(actual.columns, expected.entries);
    if (columnDifference !== null) return `as columns, ${columnDifference}`;
  }
  const total = TOTALS.find((name) => !sameBits(actual[name], expected[name]));
  return total ? `${total} ${actual[total]}, native ${expected[total]}` : null;
}

// korvanModule is the package's module (its exports), korvan a loaded instance.
export function compareWithNative(korvanModule, korvan, wireCases, wireAnswers) {
  const cases = fromWire(wireCases);
  const answers = fromWire(wireAnswers);
  const differences = [];
  const rules = {};
  cases.forEach((testCase, index) => {
    const actual = answerOf(korvanModule, korvan, testCase);
    if (actual.rule !== undefined) rules[actual.rule] = (rules[actual.rule] ?? 0) + 1;
    const difference = differenceOf(korvan, actual, answers[index]);
    if (difference !== null) differences.push(`case ${index} (${testCase.op}): ${difference}`);
  });
  return {cases: cases.length, differences, rules};
}
