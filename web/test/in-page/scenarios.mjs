// What the module's tests ask of it, as functions of the package's module and a loaded instance
// that return plain data: the Node tests call them directly, the browser tests inside a page, and
// both hold the answers to the same expectations (support/module-tests.mjs).

export function surface(korvanModule, korvan) {
  const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
  const made = new korvanModule.KorvanError(13, 'made by a host');
  return {
    exports: Object.keys(korvanModule).sort(),
    constants: Object.fromEntries(Object.entries(korvanModule)
        .filter(([name]) => name.startsWith('KORVAN_'))),
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
    rule3: korvan.describeRule(3),
    madeError: {isError: made instanceof Error, name: made.name, code: made.code, rule: made.rule,
                point: made.point, otherPoint: made.otherPoint, message: made.message,
                ownName: Object.keys(made).includes('name')},
  };
}

// Every kind of refusal: what is thrown, its code, the rule and points the library names, and the
// message.
export function refusals(korvanModule, korvan) {
  const held = korvan.generate([1], [50]).entries;
  const calls = {
    'type 7': () => korvan.generate([1, 7], [50, 100]),
    'type 1.5': () => korvan.generate([1.5], [50]),
    'type -1': () => korvan.generate([-1], [50]),
    'type 2^40 after a held entry': () => korvan.generate([1, 2 ** 40], [50, 60], held),
    'type NaN in a typed array': () => korvan.generate(new Float64Array([1, NaN]), [50, 60]),
    'input value 0': () => korvan.generate([1, 0], [50, 0]),
    'input value -50': () => korvan.generate([1, 0], [-50, 10]),
    'input value NaN': () => korvan.generate([1], [NaN]),
    'input value 1e-200': () => korvan.generate([2, 2], [5, 1e-200]),
    'demands too far apart': () => korvan.generate([1, 1, 1, 1, 1, 1, 1, 1],
                                                   [50, 500, 5e4, 5e7, 5e10, 5e13, 5e16, 5e21]),
    'no point': () => korvan.generate([], []),
    'fill of nothing': () => korvan.fill([]),
    'fill of type 4': () => korvan.fill([...held, {type: 4, inputValue: 50}]),
    'no size': () => korvan.smallestPossibleValves([]),
    'size 0': () => korvan.smallestPossibleValves([0.5, 0]),
    'size -0.3 among sorted': () => korvan.smallestPossibleValves([0.1, 0.5, -0.3]),
    'sizes no group holds': () => korvan.smallestPossibleValves([0.5, 0.07]),
    'lengths differ': () => korvan.generate([1, 0], [50]),
    'types not an array': () => korvan.generate('10', [50, 100]),
    'value not a number': () => korvan.generate([1], ['50']),
    'a hole in types': () => korvan.generate([1, , 3], [50, 100, 80]),
    'a hole in input values': () => korvan.generate([1, 0, 3], [50, , 80]),
    'undefined in input values': () => korvan.generate([1, 0, 3], [50, undefined, 80]),
    'a hole in the entries': () => korvan.fill([held[0], , held[0]]),
    'a hole in the tags': () => korvan.generate([1, 0], [50, 60], [], [1n, , ]),
    'a hole in the sizes': () => korvan.smallestPossibleValves([0.5, , 0.3]),
    'BigInts as types': () => korvan.generate(new BigInt64Array([1n]), [50]),
    'negative tag': () => korvan.generate([1], [50], [], [-1]),
    'tag beyond 64 bits': () => korvan.generate([1], [50], [], [2n ** 64n]),
    'tags of another length': () => korvan.generate([1], [50], [], [1n, 2n]),
    'entry without input value': () => korvan.fill([{type: 1}]),
    'result code 1.5': () => korvan.describeResult(1.5),
    'columns of type 9': () => korvan.generateColumns([1, 0, 9], [50, 100, 80]),
    'columns with a hole': () => korvan.generateColumns([1], new Array(1)),
  };
  return Object.fromEntries(Object.entries(calls).map(([name, call]) => {
    try {
      call();
      return [name, 'no error'];
    } catch (error) {
      const kind = error instanceof korvanModule.KorvanError ? 'KorvanError'
          : error instanceof TypeError ? 'TypeError' : error.name;
      return [name, {kind, code: error.code, rule: error.rule, point: error.point,
                     otherPoint: error.otherPoint, message: error.message}];
    }
  }));
}

export function heldEntries(korvanModule, korvan) {
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
  const typed = korvan.generate(new Uint32Array([1, 0, 3]), new Float64Array([50, 100, 80]), [],
                                new BigUint64Array([7n, 8n, 9n]));
  const columns = korvan.generateColumns(new Uint32Array([1, 0, 3]), [50, 100, 80],
                                         new Uint32Array([0xffffffff, 0, 17]));
  return {
    grownTags: grown.entries.map((entry) => String(entry.callerData)),
    grownDemands: grown.entries.map((entry) => entry.demand),
    heldDemands: first.entries.map((entry) => entry.demand),
    refilledTags: refilled.entries.map((entry) => String(entry.callerData)),
    refilledFirst: refilled.entries[0].inputValue,
    editedStill: edited.map((entry) => entry.inputValue),
    sizes: [...sizes],
    reduced,
    typedTags: typed.entries.map((entry) => String(entry.callerData)),
    typedScaleFactor: typed.scaleFactor,
    columns: {
      count: columns.count,
      kinds: ['type', 'inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
              'deviation', 'callerData'].map((field) => columns[field].constructor.name),
      valveSize: [...columns.valveSize],
      callerData: [...columns.callerData].map(String),
      scaleFactor: columns.scaleFactor,
    },
  };
}
