// The ES module korvan.mjs in the browser: its surface, its errors, and a sweep of random cases
// compared bit for bit with the native library's C interface.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {randomCases} from './support/cases.mjs';
import {nativeAnswers} from './support/native.mjs';
import {pageSession} from './support/session.mjs';
import {toWire} from './in-page/wire.mjs';

const SWEEP_SEED = Number(process.env.KORVAN_SWEEP_SEED ?? 13);
const SWEEP_CASES = Number(process.env.KORVAN_SWEEP_CASES ?? 4000);

const session = pageSession();

async function inModule(page, body, argument) {
  return page.evaluate(async ([source, value]) => {
    const {loadKorvan} = await import('/korvan.mjs');
    const korvan = await loadKorvan();
    // The body is a function of the module and the argument, written in the test.
    return (0, eval)(`(${source})`)(korvan, value);
  }, [body.toString(), argument]);
}

test('the module has exactly its five functions and answers the example', async () => {
  const page = await session.open('/test/blank.html');
  const result = await inModule(page, (korvan) => {
    const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
    return {
      keys: Object.keys(korvan).sort(),
      frozen: Object.isFrozen(korvan),
      version: korvan.version(),
      keysOfSolution: Object.keys(solution),
      keysOfEntry: Object.keys(solution.entries[0]),
      types: solution.entries.map((entry) => entry.type),
      sizes: solution.entries.map((entry) => entry.valveSize),
      deviations: solution.entries.map((entry) => entry.deviation),
      tagKinds: solution.entries.map((entry) => typeof entry.callerData),
      tags: solution.entries.map((entry) => String(entry.callerData)),
      totals: [solution.deviationMax, solution.deviationMin, solution.scaleFactor,
               solution.reducedScaleFactor],
      success: korvan.describeResult(0),
    };
  });
  assert.deepEqual(result.keys, ['describeResult', 'fill', 'generate', 'smallestPossibleValves',
                                 'version']);
  assert.equal(result.frozen, true);
  assert.equal(result.version, 1);
  assert.deepEqual(result.keysOfSolution, ['entries', 'deviationMax', 'deviationMin', 'scaleFactor',
                                           'reducedScaleFactor']);
  assert.deepEqual(result.keysOfEntry, ['type', 'inputValue', 'demand', 'ratio', 'ratioMax',
                                        'ratioMin', 'valveSize', 'deviation', 'callerData']);
  assert.deepEqual(result.types, [1, 0, 3]);
  assert.deepEqual(result.sizes, [0.2, 0.16, 0.1]);
  assert.deepEqual(result.deviations, [-4.84, -4.92, 11.42]);
  assert.deepEqual(result.tagKinds, ['bigint', 'bigint', 'bigint']);
  assert.deepEqual(result.tags, ['0', '0', '0']);
  assert.deepEqual(result.totals, [11.42, -4.92, 5.348333333333334, 0.0026741666666666667]);
  assert.equal(typeof result.success, 'string');
});

test('every refusal is an Error with the code and the sentence of the library', async () => {
  const page = await session.open('/test/blank.html');
  const outcomes = await inModule(page, (korvan) => {
    const calls = {
      'type 7': () => korvan.generate([1, 7], [50, 100]),
      'type 1.5': () => korvan.generate([1.5], [50]),
      'type -1': () => korvan.generate([-1], [50]),
      'input value 0': () => korvan.generate([1, 0], [50, 0]),
      'input value NaN': () => korvan.generate([1], [NaN]),
      'no point': () => korvan.generate([], []),
      'fill of nothing': () => korvan.fill([]),
      'fill of type 4': () => korvan.fill([{type: 4, inputValue: 50}]),
      'no size': () => korvan.smallestPossibleValves([]),
      'size 0': () => korvan.smallestPossibleValves([0.5, 0]),
      'sizes no group holds': () => korvan.smallestPossibleValves([0.5, 0.07]),
      'lengths differ': () => korvan.generate([1, 0], [50]),
      'types not an array': () => korvan.generate('10', [50, 100]),
      'value not a number': () => korvan.generate([1], ['50']),
      'negative tag': () => korvan.generate([1], [50], [], [-1]),
      'tag beyond 64 bits': () => korvan.generate([1], [50], [], [2n ** 64n]),
      'tags of another length': () => korvan.generate([1], [50], [], [1n, 2n]),
      'entry without input value': () => korvan.fill([{type: 1}]),
      'result code 1.5': () => korvan.describeResult(1.5),
    };
    return Object.fromEntries(Object.entries(calls).map(([name, call]) => {
      try {
        call();
        return [name, 'no error'];
      } catch (error) {
        const sentence = Number.isInteger(error.code) && error.name === 'KorvanError'
            ? korvan.describeResult(error.code) : null;
        return [name, {name: error.name, code: error.code, isError: error instanceof Error,
                       libraryMessage: error.message === sentence}];
      }
    }));
  });
  const library = (code) => ({name: 'KorvanError', code, isError: true, libraryMessage: true});
  const argument = {name: 'TypeError', code: 160, isError: true, libraryMessage: false};
  assert.deepEqual(outcomes, {
    'type 7': library(12),
    'type 1.5': library(12),
    'type -1': library(12),
    'input value 0': library(13),
    'input value NaN': library(13),
    'no point': library(11),
    'fill of nothing': library(11),
    'fill of type 4': library(12),
    'no size': library(11),
    'size 0': library(160),
    'sizes no group holds': library(13),
    'lengths differ': argument,
    'types not an array': argument,
    'value not a number': argument,
    'negative tag': argument,
    'tag beyond 64 bits': argument,
    'tags of another length': argument,
    'entry without input value': argument,
    'result code 1.5': argument,
  });
});

test('held entries keep their tags, and no call modifies its arguments', async () => {
  const page = await session.open('/test/blank.html');
  const result = await inModule(page, (korvan) => {
    const freezeAll = (entries) => Object.freeze(entries.map((entry) => Object.freeze({...entry})));
    const first = korvan.generate([1, 0, 3], [50, 100, 80], [], [11n, 12n, 13n]);
    const held = freezeAll(first.entries);
    const grown = korvan.generate(Object.freeze([2, 1]), Object.freeze([70, 5]), held,
                                  Object.freeze([21n, 2 ** 53 - 1]));
    const edited = freezeAll(grown.entries.map((entry) => (
      entry.callerData === 12n ? {...entry, inputValue: 400} : entry)));
    const refilled = korvan.fill(edited);
    const sizes = Object.freeze([0.3, 0.5, 0.3]);
    const reduced = korvan.smallestPossibleValves(sizes);
    return {
      grownTags: grown.entries.map((entry) => String(entry.callerData)),
      grownDemands: grown.entries.map((entry) => entry.demand),
      heldDemands: first.entries.map((entry) => entry.demand),
      refilledTags: refilled.entries.map((entry) => String(entry.callerData)),
      refilledFirst: refilled.entries[0].inputValue,
      editedStill: edited.map((entry) => entry.inputValue),
      sizes: [...sizes],
      reduced,
    };
  });
  assert.deepEqual(result.grownTags.slice().sort(), ['11', '12', '13', '21', '9007199254740991']);
  assert.equal(result.grownTags.length, 5);
  for (const demand of result.heldDemands) assert.ok(result.grownDemands.includes(demand));
  assert.deepEqual(result.refilledTags.slice().sort(), result.grownTags.slice().sort());
  assert.equal(result.refilledFirst, 400, 'the edited point has the largest demand after fill');
  assert.ok(result.editedStill.includes(400));
  assert.deepEqual(result.sizes, [0.3, 0.5, 0.3]);
  assert.deepEqual(result.reduced, {sizes: [0.5, 0.3, 0.3], smallest: [0.1, 0.06, 0.06]});
});

test(`a sweep of ${SWEEP_CASES} random cases gives the native library's bits`, async () => {
  const cases = randomCases(SWEEP_SEED, SWEEP_CASES);
  const answers = await nativeAnswers(cases);
  assert.equal(answers.length, cases.length);
  const page = await session.open('/test/blank.html');
  const result = await page.evaluate(async ([wireCases, wireAnswers]) => {
    const {compareWithNative} = await import('/test/compare.mjs');
    return compareWithNative(wireCases, wireAnswers);
  }, [toWire(cases), toWire(answers)]);
  const codes = {};
  for (const answer of answers) codes[answer.code] = (codes[answer.code] ?? 0) + 1;
  console.log(`sweep (seed ${SWEEP_SEED}): ${result.cases} cases, results by code ` +
              `${JSON.stringify(codes)}, ${result.differences.length} differences`);
  assert.deepEqual(result.differences.slice(0, 20), []);
  assert.deepEqual(session.pageErrors, []);
  assert.deepEqual(session.foreignRequests, []);
});
