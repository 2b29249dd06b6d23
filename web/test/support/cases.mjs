// Random cases for the module, the same on every run of a seed: realistic batches, wide and large
// ones, spread too far apart, points the library refuses, held entries with arbitrary records, re-solves, and lists of
// sizes to reduce.
const SERIES = [0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03];
const EXTREME_VALUES = [0, -0, -1, -2000, NaN, Infinity, -Infinity, 1e-200, 1e200, 5e-324,
                        1.7976931348623157e308, 1e-150, 1e150];

// mulberry32: 32 bits of state, plenty for test data.
export function randomSource(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let mixed = Math.imul(state ^ (state >>> 15), 1 | state);
    mixed = (mixed + Math.imul(mixed ^ (mixed >>> 7), 61 | mixed)) ^ mixed;
    return ((mixed ^ (mixed >>> 14)) >>> 0) / 4294967296;
  };
  const random = {
    next,
    below: (limit) => Math.floor(next() * limit),
    pick: (list) => list[Math.floor(next() * list.length)],
    chance: (probability) => next() < probability,
    logUniform: (low, high) => low * (high / low) ** next(),
    // An input value as an engineer writes one: 1 to 2000 with up to three decimals.
    realistic: () => {
      const scale = 10 ** random.below(4);
      return Math.round((1 + next() * 1999) * scale) / scale;
    },
    tag: () => (BigInt(random.below(2 ** 32)) << 32n) | BigInt(random.below(2 ** 32)),
  };
  return random;
}

function points(random, count, value) {
  return {types: Array.from({length: count}, () => random.below(4)),
          inputValues: Array.from({length: count}, value)};
}

// A record as a host may hold one: a type, input value and demand of its own, and work fields
// with whatever they held before.
function heldEntry(random) {
  const garbage = () => (random.chance(0.5) ? 0 : random.logUniform(1e-3, 1e3));
  return {
    type: random.below(4),
    inputValue: random.realistic(),
    demand: random.logUniform(0.01, 100),
    ratio: garbage(), ratioMax: garbage(), ratioMin: garbage(), valveSize: garbage(),
    deviation: garbage(),
    callerData: random.tag(),
  };
}

function generateCase(random, count, value, {tagged = false, held = 0} = {}) {
  const {types, inputValues} = points(random, count, value);
  return {op: 'generate', types, inputValues,
          callerData: tagged ? types.map(() => random.tag()) : null,
          entries: Array.from({length: held}, () => heldEntry(random))};
}

function smallCount(random) {
  return random.chance(0.7) ? 1 + random.below(8) : 1 + random.below(40);
}

function refusedCase(random) {
  const testCase = generateCase(random, smallCount(random), random.realistic, {tagged: true});
  const at = random.below(testCase.types.length);
  if (random.chance(0.4)) {
    testCase.types[at] = random.pick([4, 5, 7, 255, 0xffffffff]);
  } else {
    testCase.inputValues[at] = random.pick(EXTREME_VALUES);
  }
  return testCase;
}

function fillCase(random) {
  const entries = Array.from({length: smallCount(random)}, () => heldEntry(random));
  if (random.chance(0.1)) entries[random.below(entries.length)].type = random.pick([4, -1, 9]);
  if (random.chance(0.1)) entries[random.below(entries.length)].inputValue = random.pick(EXTREME_VALUES);
  return {op: 'fill', entries};
}

function smallestCase(random) {
  const count = 1 + random.below(12);
  const scale = random.chance(0.3) ? random.logUniform(1e-3, 1e3) : 1;
  let sizes = Array.from({length: count}, () => random.pick(SERIES) * scale);
  if (random.chance(0.15)) sizes = sizes.map(() => random.logUniform(0.01, 1));
  if (random.chance(0.1)) sizes[random.below(count)] = random.pick([0, -0.5, NaN, Infinity]);
  return {op: 'smallest', sizes};
}

export function randomCases(seed, count) {
  const random = randomSource(seed);
  const kinds = [
    [30, () => generateCase(random, smallCount(random), random.realistic, {tagged: random.chance(0.5)})],
    [12, () => generateCase(random, smallCount(random), () => random.logUniform(1e-3, 1e5))],
    // Eight points or more whose demands lie too far apart for the nearest sizes to follow them.
    [3, () => generateCase(random, 8 + random.below(12), () => random.logUniform(1, 1e24))],
    [2, () => generateCase(random, 100 + random.below(2000), random.realistic, {tagged: true})],
    [12, () => refusedCase(random)],
    [12, () => generateCase(random, random.below(6), random.realistic,
                            {tagged: true, held: 1 + random.below(8)})],
    [14, () => fillCase(random)],
    [16, () => smallestCase(random)],
    [2, () => (random.chance(0.5) ? {op: 'fill', entries: []}
                                  : {op: 'smallest', sizes: []})],
  ];
  const total = kinds.reduce((sum, [weight]) => sum + weight, 0);
  return Array.from({length: count}, () => {
    let draw = random.below(total);
    const [, make] = kinds.find(([weight]) => (draw -= weight) < 0);
    return make();
  });
}
