// KorvanCalcValueProvider in JavaScript: the library's C interface compiled to WebAssembly, its
// arrays turned into plain JavaScript values. Every figure is the library's own double arithmetic,
// bit for bit that of the native build. This is the entry of browsers, web workers and bundlers;
// node.mjs is Node's, with the same exports. korvan.d.ts states the contract of each export.
import createKorvanWasm from './korvan-wasm.mjs';

// Result codes, as the C header names them.
export const KORVAN_SUCCESS = 0;
export const KORVAN_OUT_OF_MEMORY = 10;
export const KORVAN_NOTHING_TO_SOLVE = 11;
export const KORVAN_INVALID_TYPE = 12;
export const KORVAN_UNSOLVABLE_INPUT = 13;
export const KORVAN_INVALID_ARGUMENT = 160;

// The rules a refusal names, as the C header numbers them.
export const KORVAN_RULE_NONE = 0;
export const KORVAN_RULE_NOTHING_TO_SOLVE = 1;
export const KORVAN_RULE_TYPE_UNKNOWN = 2;
export const KORVAN_RULE_INPUT_NOT_POSITIVE = 3;
export const KORVAN_RULE_INPUT_NOT_A_NUMBER = 4;
export const KORVAN_RULE_DEMAND_OUT_OF_RANGE = 5;
export const KORVAN_RULE_DEMANDS_TOO_FAR_APART = 6;
export const KORVAN_RULE_SIZE_NOT_POSITIVE = 7;
export const KORVAN_RULE_RATIOS_IN_NO_GROUP = 8;

export class KorvanError extends Error {
  constructor(code, message, {rule = KORVAN_RULE_NONE, point = null, otherPoint = null} = {}) {
    super(message);
    this.code = code;
    this.rule = rule;
    this.point = point;
    this.otherPoint = otherPoint;
  }
}
Object.defineProperty(KorvanError.prototype, 'name', {value: 'KorvanError', writable: true,
                                                      configurable: true});

// KorvanSolutionEntry: int32 type at byte 0, seven doubles at 8 to 56, uint64 callerData at 64.
const ENTRY_BYTES = 72;
const ENTRY_DOUBLES = ENTRY_BYTES / 8;
const DOUBLE_FIELDS = ['inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
                       'deviation'];
const CALLER_DATA_SLOT = 8;
const TOTALS_FIELDS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
// wasm32: pointers and size_t are 4 bytes. KorvanCallPoints is {int32 call, entries, size_t
// entryCount, types, values, size_t count}: six words. KorvanDiagnosis is {int32 result, int32
// rule, int64 point, int64 otherPoint}.
const SIZE_T_BYTES = 4;
const CALL_POINTS_BYTES = 24;
const DIAGNOSIS_BYTES = 24;
const CALL_GENERATE = 1;
const CALL_FILL = 2;
const CALL_SMALLEST = 3;
const NO_POINT = -1n;
const LARGEST_COUNT = 0x7fffffff;
const LARGEST_CALLER_DATA = (1n << 64n) - 1n;
// A type that no 32-bit word of 0 to 3 can be: what a type the library cannot be asked about
// (1.5, NaN, 2^40) is passed as, so that the library refuses it and names its point.
const UNKNOWN_TYPE_WORD = 0xffffffff;

function argumentError(message) {
  const error = new TypeError(`korvan: ${message}`);
  error.code = KORVAN_INVALID_ARGUMENT;
  return error;
}

function isTypedList(value) {
  return ArrayBuffer.isView(value) && !(value instanceof DataView);
}

function isBigIntList(value) {
  return value instanceof BigInt64Array || value instanceof BigUint64Array;
}

function requireList(value, name) {
  if (!Array.isArray(value) && !isTypedList(value)) {
    throw argumentError(`${name} must be an array`);
  }
  if (value.length > LARGEST_COUNT) {
    throw argumentError(`${name} holds more than ${LARGEST_COUNT} values`);
  }
  return value;
}

// list[index], refusing a hole as an explicit undefined is refused: both name the argument and
// the index.
function itemOf(list, index, name) {
  const item = list[index];
  if (item === undefined && !(index in list)) {
    throw argumentError(`${name}[${index}] is missing: the array has a hole there`);
  }
  return item;
}

function requireNumber(value, what) {
  if (typeof value !== 'number') {
    throw argumentError(`${what} must be a number, not ${value === null ? 'null' : typeof value}`);
  }
  return value;
}

// A list of numbers: a typed array of numbers, or an array whose every item is one.
function requireNumbers(list, name) {
  requireList(list, name);
  if (isBigIntList(list)) {
    throw argumentError(`${name} must hold numbers, not BigInts`);
  }
  if (Array.isArray(list)) {
    for (let index = 0; index < list.length; ++index) {
      requireNumber(itemOf(list, index, name), `${name}[${index}]`);
    }
  }
  return list;
}

// A type as the 32-bit word the library reads: an integer of -2^31 to 2^32 - 1 as it is (the
// library refuses those outside 0 to 3), anything else as a word the library refuses too.
function typeWord(type) {
  return Number.isInteger(type) && type >= -0x80000000 && type <= 0xffffffff ? type
                                                                              : UNKNOWN_TYPE_WORD;
}

// A tag as the library stores it: a BigInt, or a number that is a safe integer, of 0 to 2^64 - 1.
function requireTag(value, what) {
  const tag = typeof value === 'number' && Number.isSafeInteger(value) ? BigInt(value) : value;
  if (typeof tag !== 'bigint' || tag < 0n || tag > LARGEST_CALLER_DATA) {
    throw argumentError(`${what} must be an unsigned 64-bit integer`);
  }
  return tag;
}

function isUnsignedList(value) {
  return value instanceof Uint32Array || value instanceof Uint16Array || value instanceof Uint8Array ||
         value instanceof Uint8ClampedArray;
}

// The tags of the new points: null for none, else a list whose every item is a valid tag (a
// BigUint64Array, or a typed array of unsigned integers, as given; else a BigUint64Array made).
function requireTags(callerData, count) {
  if (callerData === undefined || callerData === null) return null;
  requireList(callerData, 'callerData');
  if (callerData.length !== count) {
    throw argumentError(`callerData holds ${callerData.length} tags for ${count} points`);
  }
  if (callerData instanceof BigUint64Array || isUnsignedList(callerData)) return callerData;
  const tags = new BigUint64Array(count);
  for (let index = 0; index < count; ++index) {
    tags[index] = requireTag(itemOf(callerData, index, 'callerData'), `callerData[${index}]`);
  }
  return tags;
}

function callerDataOf(entry, index) {
  return requireTag(entry.callerData ?? 0n, `entries[${index}].callerData`);
}

function requireEntries(entries) {
  requireList(entries, 'entries');
  for (let index = 0; index < entries.length; ++index) {
    const entry = itemOf(entries, index, 'entries');
    if (entry === null || typeof entry !== 'object') {
      throw argumentError(`entries[${index}] must be an object`);
    }
    requireNumber(entry.type, `entries[${index}].type`);
    requireNumber(entry.inputValue, `entries[${index}].inputValue`);
    for (const field of DOUBLE_FIELDS) {
      if (entry[field] !== undefined) {
        requireNumber(entry[field], `entries[${index}].${field}`);
      }
    }
    callerDataOf(entry, index);
  }
  return entries;
}

// Views of the module's memory, taken anew after every allocation and call: growing the memory
// replaces its buffer.
function memoryViews(wasm) {
  const buffer = wasm.HEAPU8.buffer;
  return {
    int32: new Int32Array(buffer),
    uint32: new Uint32Array(buffer),
    float64: new Float64Array(buffer),
    int64: new BigInt64Array(buffer),
    uint64: new BigUint64Array(buffer),
  };
}

function writeTypes(views, address, types) {
  const words = views.uint32.subarray(address / 4, address / 4 + types.length);
  if (isUnsignedList(types)) {
    words.set(types);
    return;
  }
  for (let index = 0; index < types.length; ++index) words[index] = typeWord(types[index]);
}

// Tags as 64-bit words: BigInts as they are, smaller unsigned integers as the low half.
function writeTags(views, address, tags) {
  if (tags instanceof BigUint64Array) {
    views.uint64.set(tags, address / 8);
    return;
  }
  const halves = views.uint32.subarray(address / 4, address / 4 + tags.length * 2);
  halves.fill(0);
  for (let index = 0; index < tags.length; ++index) halves[index * 2] = tags[index];
}

function writeEntries(views, address, entries) {
  for (let index = 0; index < entries.length; ++index) {
    const entry = entries[index];
    const slot = address / 8 + index * ENTRY_DOUBLES;
    views.uint64.fill(0n, slot, slot + ENTRY_DOUBLES);
    views.int32[slot * 2] = typeWord(entry.type);
    DOUBLE_FIELDS.forEach((field, offset) => {
      views.float64[slot + 1 + offset] = entry[field] ?? 0;
    });
    views.uint64[slot + CALLER_DATA_SLOT] = callerDataOf(entry, index);
  }
}

// One object literal per entry, its fields in record order: a batch of 10^5 entries is read in a
// few milliseconds this way.
function readEntries(views, address, count) {
  const {int32, float64, uint64} = views;
  const entries = new Array(count);
  for (let index = 0, slot = address / 8; index < count; ++index, slot += ENTRY_DOUBLES) {
    entries[index] = {
      type: int32[slot * 2],
      inputValue: float64[slot + 1],
      demand: float64[slot + 2],
      ratio: float64[slot + 3],
      ratioMax: float64[slot + 4],
      ratioMin: float64[slot + 5],
      valveSize: float64[slot + 6],
      deviation: float64[slot + 7],
      callerData: uint64[slot + CALLER_DATA_SLOT],
    };
  }
  return entries;
}

// Each field of the records as a column of its own, in one pass over the records and with no
// BigInt made for a tag: a few hundred milliseconds for 10^6 entries.
function readColumns(views, address, count) {
  const {int32, uint32, float64} = views;
  const columns = {count, type: new Int32Array(count)};
  const doubles = DOUBLE_FIELDS.map((field) => (columns[field] = new Float64Array(count)));
  const [inputValue, demand, ratio, ratioMax, ratioMin, valveSize, deviation] = doubles;
  columns.callerData = new BigUint64Array(count);
  const tagWords = new Uint32Array(columns.callerData.buffer);
  for (let index = 0, slot = address / 8; index < count; ++index, slot += ENTRY_DOUBLES) {
    columns.type[index] = int32[slot * 2];
    inputValue[index] = float64[slot + 1];
    demand[index] = float64[slot + 2];
    ratio[index] = float64[slot + 3];
    ratioMax[index] = float64[slot + 4];
    ratioMin[index] = float64[slot + 5];
    valveSize[index] = float64[slot + 6];
    deviation[index] = float64[slot + 7];
    tagWords[index * 2] = uint32[(slot + CALLER_DATA_SLOT) * 2];
    tagWords[index * 2 + 1] = uint32[(slot + CALLER_DATA_SLOT) * 2 + 1];
  }
  return columns;
}

function readTotals(views, address, solution) {
  TOTALS_FIELDS.forEach((field, offset) => {
    solution[field] = views.float64[address / 8 + offset];
  });
  return solution;
}

function readSolution(views, entriesAddress, count, totalsAddress) {
  return readTotals(views, totalsAddress, {entries: readEntries(views, entriesAddress, count)});
}

// A point of the diagnosis (an int64) as a number, or null for none.
function pointOf(index) {
  return index === NO_POINT ? null : Number(index);
}

// The message of a refusal: the rule and the point the library names (counted from 1), or the
// result's sentence when it names no rule.
function refusalMessage(describeResult, describeRule, code, diagnosis) {
  if (diagnosis.rule === KORVAN_RULE_NONE) return describeResult(code);
  const sentence = describeRule(diagnosis.rule);
  if (diagnosis.point === null) return sentence;
  const other = diagnosis.otherPoint === null ? '' : ` (point ${diagnosis.otherPoint + 1})`;
  return `point ${diagnosis.point + 1}: ${sentence}${other}`;
}

// Instantiates the module from what `source` is: compiled, bytes, or where to fetch them.
async function instantiate(source, imports) {
  if (source instanceof WebAssembly.Module) {
    return WebAssembly.instantiate(source, imports);
  }
  if (source instanceof ArrayBuffer || ArrayBuffer.isView(source)) {
    return (await WebAssembly.instantiate(source, imports)).instance;
  }
  const response = await fetch(source, {credentials: 'same-origin'});
  if (!response.ok) {
    throw new Error(`the server answered ${response.status} ${response.statusText}`.trimEnd());
  }
  const streams = typeof WebAssembly.instantiateStreaming === 'function' &&
                  /^application\/wasm\b/.test(response.headers.get('Content-Type') ?? '');
  if (streams) {
    return (await WebAssembly.instantiateStreaming(response, imports)).instance;
  }
  return (await WebAssembly.instantiate(await response.arrayBuffer(), imports)).instance;
}

function requireWasmSource(source) {
  const usable = typeof source === 'string' || source instanceof URL ||
                 source instanceof ArrayBuffer || ArrayBuffer.isView(source) ||
                 source instanceof WebAssembly.Module;
  if (!usable) {
    throw argumentError('options.wasm must be a URL, bytes or a WebAssembly.Module');
  }
  return source;
}

function sourceName(source) {
  if (typeof source === 'string' || source instanceof URL) return String(source);
  return source instanceof WebAssembly.Module ? 'the module given' : 'the bytes given';
}

// The module's instance, emscripten's runtime around it. A failed instantiation rejects instead
// of leaving the runtime waiting for ever.
function startModule(source) {
  return new Promise((resolve, reject) => {
    const failed = (cause) => reject(new Error(
        `korvan: the WebAssembly module could not be loaded from ${sourceName(source)}: ` +
        `${cause?.message ?? cause}`, {cause}));
    createKorvanWasm({
      instantiateWasm(imports, receive) {
        instantiate(source, imports).then((instance) => receive(instance), failed);
        return {};
      },
    }).then(resolve, failed);
  });
}

export async function loadKorvan(options = {}) {
  const source = requireWasmSource(options?.wasm ?? new URL('./korvan-wasm.wasm', import.meta.url));
  return korvanOf(await startModule(source));
}

// The library's functions over one instance of the module.
function korvanOf(wasm) {
  function requireCode(value, what) {
    if (!Number.isInteger(value) || value < -0x80000000 || value > 0x7fffffff) {
      throw argumentError(`${what} is a 32-bit integer`);
    }
    return value;
  }

  function describeResult(code) {
    return wasm.UTF8ToString(wasm._KorvanDescribeResult(requireCode(code, 'a result code')));
  }

  function describeRule(rule) {
    return wasm.UTF8ToString(wasm._KorvanDescribeRule(requireCode(rule, 'a rule')));
  }

  // Runs `use` with blocks of the module's memory of the given sizes in bytes (each at least 8, so
  // that no address is null and every one is 8-byte aligned), and frees them on every way out.
  function withMemory(byteCounts, use) {
    const addresses = [];
    try {
      for (const bytes of byteCounts) {
        const address = bytes > 0x7ffffff0 ? 0 : wasm._malloc(Math.max(bytes, 8));
        if (address === 0) {
          throw new KorvanError(KORVAN_OUT_OF_MEMORY, describeResult(KORVAN_OUT_OF_MEMORY));
        }
        addresses.push(address);
      }
      return use(...addresses);
    } finally {
      addresses.forEach((address) => wasm._free(address));
    }
  }

  // The library's verdict on the points of a refused call, which sit in the module's memory as
  // the call was given them.
  function diagnose(points) {
    return withMemory([CALL_POINTS_BYTES, DIAGNOSIS_BYTES], (pointsAt, diagnosisAt) => {
      const {uint32} = memoryViews(wasm);
      const words = [points.call, points.entriesAt ?? 0, points.entryCount ?? 0,
                     points.typesAt ?? 0, points.valuesAt ?? 0, points.count ?? 0];
      uint32.set(words, pointsAt / 4);
      const result = wasm._KorvanDiagnose(pointsAt, diagnosisAt);
      const {int32, int64} = memoryViews(wasm);
      return {
        result,
        rule: int32[diagnosisAt / 4 + 1],
        point: pointOf(int64[diagnosisAt / 8 + 1]),
        otherPoint: pointOf(int64[diagnosisAt / 8 + 2]),
      };
    });
  }

  // Throws the refusal of a call that gave `code`, with the rule and point the library names.
  // `points` describes the call's points; its arrays must still hold what the call was given.
  function check(code, points) {
    if (code === KORVAN_SUCCESS) return;
    let diagnosis = {rule: KORVAN_RULE_NONE, point: null, otherPoint: null};
    if (code !== KORVAN_OUT_OF_MEMORY) {
      const verdict = diagnose(points);
      if (verdict.result === code) diagnosis = verdict;
    }
    throw new KorvanError(code, refusalMessage(describeResult, describeRule, code, diagnosis),
                          diagnosis);
  }

  // Solves the held entries and the new points; `read` makes the answer from the module's memory,
  // the entries' address, their count and the totals' address.
  function solveNew(types, inputValues, entries, callerData, read) {
    requireNumbers(types, 'types');
    requireNumbers(inputValues, 'inputValues');
    requireEntries(entries);
    const count = types.length;
    if (inputValues.length !== count) {
      throw argumentError(
          `types and inputValues differ in length (${count} and ${inputValues.length})`);
    }
    const tags = requireTags(callerData, count);

    const held = entries.length;
    const capacity = held + count;
    const bytes = [count * 4, count * 8, count * 8, capacity * ENTRY_BYTES,
                   TOTALS_FIELDS.length * 8, SIZE_T_BYTES];
    return withMemory(bytes, (typesAt, valuesAt, tagsAt, entriesAt, totalsAt, countAt) => {
      const views = memoryViews(wasm);
      writeTypes(views, typesAt, types);
      views.float64.set(inputValues, valuesAt / 8);
      if (tags !== null) writeTags(views, tagsAt, tags);
      writeEntries(views, entriesAt, entries);
      views.uint32[countAt / 4] = held;
      check(wasm._KorvanGenerateSolution(count, typesAt, valuesAt, tags === null ? 0 : tagsAt,
                                         entriesAt, capacity, countAt, totalsAt),
            {call: CALL_GENERATE, entriesAt, entryCount: held, typesAt, valuesAt, count});
      const after = memoryViews(wasm);
      return read(after, entriesAt, after.uint32[countAt / 4], totalsAt);
    });
  }

  function generate(types, inputValues, entries = [], callerData = undefined) {
    return solveNew(types, inputValues, entries, callerData, readSolution);
  }

  function generateColumns(types, inputValues, callerData = undefined) {
    return solveNew(types, inputValues, [], callerData, (views, entriesAt, count, totalsAt) =>
      readTotals(views, totalsAt, readColumns(views, entriesAt, count)));
  }

  function fill(entries) {
    requireEntries(entries);
    const count = entries.length;
    return withMemory([count * ENTRY_BYTES, TOTALS_FIELDS.length * 8], (entriesAt, totalsAt) => {
      writeEntries(memoryViews(wasm), entriesAt, entries);
      check(wasm._KorvanFillSolution(entriesAt, count, totalsAt),
            {call: CALL_FILL, entriesAt, entryCount: count});
      return readSolution(memoryViews(wasm), entriesAt, count, totalsAt);
    });
  }

  function smallestPossibleValves(sizes) {
    requireNumbers(sizes, 'sizes');
    const count = sizes.length;
    return withMemory([count * 8, count * 8], (sizesAt, smallestAt) => {
      memoryViews(wasm).float64.set(sizes, sizesAt / 8);
      const code = wasm._KorvanGetSmallestPossibleValves(sizesAt, count, smallestAt);
      // The call sorted the sizes; the verdict is on them in the order given.
      if (code !== KORVAN_SUCCESS) memoryViews(wasm).float64.set(sizes, sizesAt / 8);
      check(code, {call: CALL_SMALLEST, valuesAt: sizesAt, count});
      const {float64} = memoryViews(wasm);
      return {
        sizes: Array.from(float64.subarray(sizesAt / 8, sizesAt / 8 + count)),
        smallest: Array.from(float64.subarray(smallestAt / 8, smallestAt / 8 + count)),
      };
    });
  }

  function version() {
    return wasm._GetCurrentVersion();
  }

  return Object.freeze({generate, generateColumns, fill, smallestPossibleValves, version,
                        describeResult, describeRule});
}
