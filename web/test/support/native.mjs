// The native library's answers, from korvan-web-cases (web/native), for cases written as
//   {op: 'generate', types, inputValues, callerData (or null), entries}
//   {op: 'fill', entries}
//   {op: 'smallest', sizes}
// with entries as the module takes them. Answers come back as the module gives them: {code, rule,
// point, otherPoint} for a failure (points null where the library names none), a solution with
// BigInt callerData, or {sizes, smallest}.
import {spawn} from 'node:child_process';
import {nativeCases} from './paths.mjs';

const ENTRY_FIELDS = ['inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
                      'deviation'];
export const TOTALS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];

// The text of a double that reads back to it, -0 included.
export function exactText(value) {
  return Object.is(value, -0) ? '-0' : String(value);
}

function entryWords(entry) {
  return [String(entry.type), ...ENTRY_FIELDS.map((field) => exactText(entry[field] ?? 0)),
          String(entry.callerData ?? 0n)];
}

export function caseWords(testCase) {
  switch (testCase.op) {
    case 'generate': {
      const tagged = testCase.callerData !== null;
      const points = testCase.types.flatMap((type, index) => [
        String(type), exactText(testCase.inputValues[index]),
        ...(tagged ? [String(testCase.callerData[index])] : [])]);
      return ['generate', testCase.types.length, tagged ? 1 : 0, testCase.entries.length,
              ...points, ...testCase.entries.flatMap(entryWords)];
    }
    case 'fill':
      return ['fill', testCase.entries.length, ...testCase.entries.flatMap(entryWords)];
    case 'smallest':
      return ['smallest', testCase.sizes.length, ...testCase.sizes.map(exactText)];
    default:
      throw new Error(`unknown case ${testCase.op}`);
  }
}

// Doubles arrive as JSON numbers of 17 digits, which read back to the same double, or as the
// strings NaN, Infinity and -Infinity.
function doubleOf(value) {
  return typeof value === 'string' ? Number(value) : value;
}

function answerOf(line) {
  const raw = JSON.parse(line);
  const answer = {code: raw.code};
  if (raw.rule !== undefined) {
    const pointOf = (index) => (index < 0 ? null : index);
    Object.assign(answer, {rule: raw.rule, point: pointOf(raw.point),
                          otherPoint: pointOf(raw.otherPoint)});
  }
  if (raw.entries) {
    answer.entries = raw.entries.map(([type, ...rest]) => {
      const entry = {type};
      ENTRY_FIELDS.forEach((field, index) => {
        entry[field] = doubleOf(rest[index]);
      });
      entry.callerData = BigInt(rest[ENTRY_FIELDS.length]);
      return entry;
    });
    TOTALS.forEach((name, index) => {
      answer[name] = doubleOf(raw.totals[index]);
    });
  }
  if (raw.smallest) {
    answer.sizes = raw.sizes.map(doubleOf);
    answer.smallest = raw.smallest.map(doubleOf);
  }
  return answer;
}

export function nativeAnswers(cases) {
  return new Promise((resolve, reject) => {
    const child = spawn(nativeCases, [], {stdio: ['pipe', 'pipe', 'pipe']});
    const output = [];
    const errors = [];
    child.stdout.on('data', (chunk) => output.push(chunk));
    child.stderr.on('data', (chunk) => errors.push(chunk));
    child.on('error', reject);
    child.on('close', (status) => {
      if (status !== 0) {
        reject(new Error(`${nativeCases} exited ${status}: ${Buffer.concat(errors)}`));
        return;
      }
      const lines = Buffer.concat(output).toString().split('\n').filter((line) => line !== '');
      resolve(lines.map(answerOf));
    });
    child.stdin.end(cases.map((testCase) => caseWords(testCase).join(' ')).join('\n') + '\n');
  });
}
