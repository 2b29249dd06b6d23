// The module's tests, defined once and run in Node and in Chromium: `run(name)` runs the scenario
// of in-page/scenarios.mjs of that name in the environment under test and gives its data, and
// `sweep(cases, answers)` runs compareWithNative there.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {randomCases} from './cases.mjs';
import {nativeAnswers} from './native.mjs';
import {toWire} from '../in-page/wire.mjs';

const SWEEP_SEED = Number(process.env.KORVAN_SWEEP_SEED ?? 13);
const SWEEP_CASES = Number(process.env.KORVAN_SWEEP_CASES ?? 4000);

const RESULT_CODES = {KORVAN_SUCCESS: 0, KORVAN_OUT_OF_MEMORY: 10, KORVAN_NOTHING_TO_SOLVE: 11,
                      KORVAN_INVALID_TYPE: 12, KORVAN_UNSOLVABLE_INPUT: 13,
                      KORVAN_INVALID_ARGUMENT: 160};
const RULES = {KORVAN_RULE_NONE: 0, KORVAN_RULE_NOTHING_TO_SOLVE: 1, KORVAN_RULE_TYPE_UNKNOWN: 2,
               KORVAN_RULE_INPUT_NOT_POSITIVE: 3, KORVAN_RULE_INPUT_NOT_A_NUMBER: 4,
               KORVAN_RULE_DEMAND_OUT_OF_RANGE: 5, KORVAN_RULE_DEMANDS_TOO_FAR_APART: 6,
               KORVAN_RULE_SIZE_NOT_POSITIVE: 7, KORVAN_RULE_RATIOS_IN_NO_GROUP: 8};

const TYPE = 'type must be one of 0 to 3';
const NOTHING = 'there is nothing to solve: no point, or no size';

function refused(code, rule, point, otherPoint, message) {
  return {kind: 'KorvanError', code, rule, point, otherPoint, message};
}

function wrongArgument(message) {
  return {kind: 'TypeError', code: 160, rule: undefined, point: undefined, otherPoint: undefined,
          message: `korvan: ${message}`};
}

const REFUSALS = {
  'type 7': refused(12, 2, 1, null, `point 2: ${TYPE}`),
  'type 1.5': refused(12, 2, 0, null, `point 1: ${TYPE}`),
  'type -1': refused(12, 2, 0, null, `point 1: ${TYPE}`),
  'type 2^40 after a held entry': refused(12, 2, 2, null, `point 3: ${TYPE}`),
  'type NaN in a typed array': refused(12, 2, 1, null, `point 2: ${TYPE}`),
  'input value 0': refused(13, 3, 1, null, 'point 2: input value must be positive'),
  'input value -50': refused(13, 3, 0, null, 'point 1: input value must be positive'),
  'input value NaN': refused(13, 4, 0, null, 'point 1: input value must be a number'),
  'input value 1e-200': refused(13, 5, 1, null, 'point 2: demand must lie within 1e-150 to 1e150'),
  'demands too far apart': refused(13, 6, 0, 2, 'point 1: demand too far below the largest: its ' +
                                   'nearest size would be larger than that of a point of larger ' +
                                   'demand (point 3)'),
  'no point': refused(11, 1, null, null, NOTHING),
  'fill of nothing': refused(11, 1, null, null, NOTHING),
  'fill of type 4': refused(12, 2, 1, null, `point 2: ${TYPE}`),
  'no size': refused(11, 1, null, null, NOTHING),
  'size 0': refused(160, 7, 1, null, 'point 2: size must be positive'),
  'size -0.3 among sorted': refused(160, 7, 2, null, 'point 3: size must be positive'),
  'sizes no group holds': refused(13, 8, null, null, 'no group of the valve series holds every ' +
                                  'ratio of the largest size to the others'),
  'lengths differ': wrongArgument('types and inputValues differ in length (2 and 1)'),
  'types not an array': wrongArgument('types must be an array'),
  'value not a number': wrongArgument('inputValues[0] must be a number, not string'),
  'a hole in types': wrongArgument('types[1] is missing: the array has a hole there'),
  'a hole in input values': wrongArgument('inputValues[1] is missing: the array has a hole there'),
  'undefined in input values': wrongArgument('inputValues[1] must be a number, not undefined'),
  'a hole in the entries': wrongArgument('entries[1] is missing: the array has a hole there'),
  'a hole in the tags': wrongArgument('callerData[1] is missing: the array has a hole there'),
  'a hole in the sizes': wrongArgument('sizes[1] is missing: the array has a hole there'),
  'BigInts as types': wrongArgument('types must hold numbers, not BigInts'),
  'negative tag': wrongArgument('callerData[0] must be an unsigned 64-bit integer'),
  'tag beyond 64 bits': wrongArgument('callerData[0] must be an unsigned 64-bit integer'),
  'tags of another length': wrongArgument('callerData holds 2 tags for 1 points'),
  'entry without input value': wrongArgument('entries[0].inputValue must be a number, not undefined'),
  'result code 1.5': wrongArgument('a result code is a 32-bit integer'),
  'columns of type 9': refused(12, 2, 2, null, `point 3: ${TYPE}`),
  'columns with a hole': wrongArgument('inputValues[0] is missing: the array has a hole there'),
};

export function defineModuleTests(where, run, sweep) {
  test(`${where}: the module exports its API and answers the example`, async () => {
    const result = await run('surface');
    assert.deepEqual(result.exports, ['KorvanError', ...Object.keys(RESULT_CODES),
                                      ...Object.keys(RULES), 'loadKorvan'].sort());
    assert.deepEqual(result.constants, {...RESULT_CODES, ...RULES});
    assert.deepEqual(result.keys, ['describeResult', 'describeRule', 'fill', 'generate',
                                   'generateColumns', 'smallestPossibleValves', 'version']);
    assert.equal(result.frozen, true);
    assert.equal(result.version, 1);
    assert.deepEqual(result.keysOfSolution, ['entries', 'deviationMax', 'deviationMin',
                                             'scaleFactor', 'reducedScaleFactor']);
    assert.deepEqual(result.keysOfEntry, ['type', 'inputValue', 'demand', 'ratio', 'ratioMax',
                                          'ratioMin', 'valveSize', 'deviation', 'callerData']);
    assert.deepEqual(result.types, [1, 0, 3]);
    assert.deepEqual(result.sizes, [0.2, 0.16, 0.1]);
    assert.deepEqual(result.deviations, [-4.84, -4.92, 11.42]);
    assert.deepEqual(result.tagKinds, ['bigint', 'bigint', 'bigint']);
    assert.deepEqual(result.tags, ['0', '0', '0']);
    assert.deepEqual(result.totals, [11.42, -4.92, 5.348333333333334, 0.0026741666666666667]);
    assert.equal(result.success, 'success');
    assert.equal(result.rule3, 'input value must be positive');
    assert.deepEqual(result.madeError, {isError: true, name: 'KorvanError', code: 13, rule: 0,
                                        point: null, otherPoint: null, message: 'made by a host',
                                        ownName: false});
  });

  test(`${where}: a refusal carries the library's code, rule, point and sentence`, async () => {
    const outcomes = await run('refusals');
    for (const [name, expected] of Object.entries(REFUSALS)) {
      assert.deepEqual(outcomes[name], expected, name);
    }
    assert.deepEqual(Object.keys(outcomes), Object.keys(REFUSALS));
  });

  test(`${where}: held entries keep their tags, and no call modifies its arguments`, async () => {
    const result = await run('heldEntries');
    assert.deepEqual(result.grownTags.slice().sort(), ['11', '12', '13', '21', '9007199254740991']);
    assert.equal(result.grownTags.length, 5);
    for (const demand of result.heldDemands) assert.ok(result.grownDemands.includes(demand));
    assert.deepEqual(result.refilledTags.slice().sort(), result.grownTags.slice().sort());
    assert.equal(result.refilledFirst, 400, 'the edited point has the largest demand after fill');
    assert.ok(result.editedStill.includes(400));
    assert.deepEqual(result.sizes, [0.3, 0.5, 0.3]);
    assert.deepEqual(result.reduced, {sizes: [0.5, 0.3, 0.3], smallest: [0.1, 0.06, 0.06]});
    assert.deepEqual(result.typedTags, ['7', '8', '9']);
    assert.equal(result.typedScaleFactor, 5.348333333333334);
    assert.deepEqual(result.columns, {
      count: 3, kinds: ['Int32Array', 'Float64Array', 'Float64Array', 'Float64Array', 'Float64Array',
                        'Float64Array', 'Float64Array', 'Float64Array', 'BigUint64Array'],
      valveSize: [0.2, 0.16, 0.1], callerData: ['4294967295', '0', '17'],
      scaleFactor: 5.348333333333334});
  });

  test(`${where}: a sweep of ${SWEEP_CASES} random cases gives the native library's bits`,
       async () => {
    const cases = randomCases(SWEEP_SEED, SWEEP_CASES);
    const answers = await nativeAnswers(cases);
    assert.equal(answers.length, cases.length);
    const result = await sweep(toWire(cases), toWire(answers));
    const codes = {};
    for (const answer of answers) codes[answer.code] = (codes[answer.code] ?? 0) + 1;
    console.log(`${where} sweep (seed ${SWEEP_SEED}): ${result.cases} cases, results by code ` +
                `${JSON.stringify(codes)}, refusals by rule ${JSON.stringify(result.rules)}, ` +
                `${result.differences.length} differences`);
    assert.equal(result.cases, SWEEP_CASES);
    assert.deepEqual(result.differences.slice(0, 20), []);
  });
}
