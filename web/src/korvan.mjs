// The valve sizing library in the browser: its C interface compiled to WebAssembly, with the
// arrays of the C calls turned into plain JavaScript values. Every figure is the library's own
// double arithmetic, bit for bit that of the native build.
//
//   const korvan = await loadKorvan();
//   const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
//   solution.scaleFactor;         // 5.348333333333334
//   solution.entries[0].valveSize; // 0.2
//
// generate(types, inputValues, entries = [], callerData) appends the new points after the given
// entries and solves them all; callerData, when given, holds one tag per new point (without it,
// or with null, the new entries carry 0). fill(entries) recomputes every demand from type and input value and
// solves again. smallestPossibleValves(sizes) returns {sizes, smallest}, the sizes sorted largest
// first and the reduced size of each.
//
// A solution is {entries, deviationMax, deviationMin, scaleFactor, reducedScaleFactor}, its
// entries ordered by demand, largest first. An entry is {type, inputValue, demand, ratio, ratioMax,
// ratioMin, valveSize, deviation, callerData}, callerData a BigInt that the library carries along
// and never reads. A result other than success throws an Error named KorvanError with the
// library's result code in `.code` and its sentence as the message; arguments of the wrong kind
// (not arrays, lengths that differ, a callerData that is not a 64-bit unsigned integer) throw a
// TypeError with the code 160, the library's "invalid argument". No call modifies its arguments.
import createKorvanWasm from './korvan-wasm.mjs';

const SUCCESS = 0;
const OUT_OF_MEMORY = 10;
const INVALID_TYPE = 12;
const INVALID_ARGUMENT = 160;

// KorvanSolutionEntry: int32 type at byte 0, seven doubles at 8 to 56, uint64 callerData at 64.
const ENTRY_BYTES = 72;
const ENTRY_DOUBLES = ENTRY_BYTES / 8;
const DOUBLE_FIELDS = ['inputValue', 'demand', 'ratio', 'ratioMax', 'ratioMin', 'valveSize',
                       'deviation'];
const CALLER_DATA_SLOT = 8;
const TOTALS_FIELDS = ['deviationMax', 'deviationMin', 'scaleFactor', 'reducedScaleFactor'];
const SIZE_T_BYTES = 4;
const LARGEST_COUNT = 0x7fffffff;
const LARGEST_CALLER_DATA = (1n << 64n) - 1n;

function korvanError(code, message) {
  const error = new Error(message);
  error.name = 'KorvanError';
  error.code = code;
  return error;
}

function argumentError(message) {
  const error = new TypeError(`korvan: ${message}`);
  error.code = INVALID_ARGUMENT;
  return error;
}

function requireList(value, name) {
  const isList = Array.isArray(value) || (ArrayBuffer.isView(value) && !(value instanceof DataView));
  if (!isList) {
    throw argumentError(`${name} must be an array`);
  }
  if (value.length > LARGEST_COUNT) {
    throw argumentError(`${name} holds more than ${LARGEST_COUNT} values`);
  }
  return value;
}

function requireNumber(value, what) {
  if (typeof value !== 'number') {
    throw argumentError(`${what} must be a number, not ${typeof value}`);
  }
  return value;
}

// A type the library can be asked about: an integer of 32 bits. The library itself refuses those
// outside 0 to 3; anything else cannot be one of them either, and is refused here the same way.
function isTypeWord(type) {
  return Number.isInteger(type) && type >= -0x80000000 && type <= 0xffffffff;
}

// A tag as the library stores it: a BigInt, or a number that is a safe integer, of 0 to 2^64 - 1.
function requireTag(value, what) {
  const tag = typeof value === 'number' && Number.isSafeInteger(value) ? BigInt(value) : value;
  if (typeof tag !== 'bigint' || tag < 0n || tag > LARGEST_CALLER_DATA) {
    throw argumentError(`${what} must be an unsigned 64-bit integer`);
  }
  return tag;
}

function callerDataOf(entry, index) {
  return requireTag(entry.callerData ?? 0n, `entries[${index}].callerData`);
}

function requireEntries(entries) {
  requireList(entries, 'entries');
  entries.forEach((entry, index) => {
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
  });
  return entries;
}

function refuseUnknownTypes(types, describe) {
  for (const type of types) {
    if (!isTypeWord(type)) {
      throw korvanError(INVALID_TYPE, describe(INVALID_TYPE));
    }
  }
}

// Views of the module's memory, taken anew after every allocation and call: growing the memory
// replaces its buffer.
function memoryViews(wasm) {
  const buffer = wasm.HEAPU8.buffer;
  return {
    int32: new Int32Array(buffer),
    uint32: new Uint32Array(buffer),
    float64: new Float64Array(buffer),
    uint64: new BigUint64Array(buffer),
  };
}

function writeEntries(views, address, entries) {
  entries.forEach((entry, index) => {
    const slot = address / 8 + index * ENTRY_DOUBLES;
    views.uint64.fill(0n, slot, slot + ENTRY_DOUBLES);
    views.int32[slot * 2] = entry.type;
    DOUBLE_FIELDS.forEach((field, offset) => {
      views.float64[slot + 1 + offset] = entry[field] ?? 0;
    });
    views.uint64[slot + CALLER_DATA_SLOT] = callerDataOf(entry, index);
  });
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

function readSolution(views, entriesAddress, count, totalsAddress) {
  const solution = {entries: readEntries(views, entriesAddress, count)};
  TOTALS_FIELDS.forEach((field, offset) => {
    solution[field] = views.float64[totalsAddress / 8 + offset];
  });
  return solution;
}

export async function loadKorvan() {
  const wasm = await createKorvanWasm();

  function describeResult(code) {
    if (!Number.isInteger(code) || code < -0x80000000 || code > 0x7fffffff) {
      throw argumentError('a result code is a 32-bit integer');
    }
    return wasm.UTF8ToString(wasm._KorvanDescribeResult(code));
  }

  function check(code) {
    if (code !== SUCCESS) {
      throw korvanError(code, describeResult(code));
    }
  }

  // Runs `use` with blocks of the module's memory of the given sizes in bytes (each at least 8, so
  // that no address is null and every one is 8-byte aligned), and frees them on every way out.
  function withMemory(byteCounts, use) {
    const addresses = [];
    try {
      for (const bytes of byteCounts) {
        const address = bytes > 0x7ffffff0 ? 0 : wasm._malloc(Math.max(bytes, 8));
        if (address === 0) {
          throw korvanError(OUT_OF_MEMORY, describeResult(OUT_OF_MEMORY));
        }
        addresses.push(address);
      }
      return use(...addresses);
    } finally {
      addresses.forEach((address) => wasm._free(address));
    }
  }

  function generate(types, inputValues, entries = [], callerData = undefined) {
    requireList(types, 'types');
    requireList(inputValues, 'inputValues');
    requireEntries(entries);
    const count = types.length;
    if (inputValues.length !== count) {
      throw argumentError(
          `types and inputValues differ in length (${count} and ${inputValues.length})`);
    }
    types.forEach((type, index) => requireNumber(type, `types[${index}]`));
    inputValues.forEach((value, index) => requireNumber(value, `inputValues[${index}]`));
    const tags = callerData === undefined || callerData === null ? null : Array.from(
        requireList(callerData, 'callerData'), (tag, index) => requireTag(tag, `callerData[${index}]`));
    if (tags !== null && tags.length !== count) {
      throw argumentError(`callerData holds ${tags.length} tags for ${count} points`);
    }
    refuseUnknownTypes(types, describeResult);
    refuseUnknownTypes(entries.map((entry) => entry.type), describeResult);

    const capacity = entries.length + count;
    const bytes = [count * 4, count * 8, count * 8, capacity * ENTRY_BYTES,
                   TOTALS_FIELDS.length * 8, SIZE_T_BYTES];
    return withMemory(bytes, (typesAt, valuesAt, tagsAt, entriesAt, totalsAt, countAt) => {
      const views = memoryViews(wasm);
      types.forEach((type, index) => {
        views.uint32[typesAt / 4 + index] = type;
      });
      views.float64.set(inputValues, valuesAt / 8);
      if (tags !== null) views.uint64.set(tags, tagsAt / 8);
      writeEntries(views, entriesAt, entries);
      views.uint32[countAt / 4] = entries.length;
      check(wasm._KorvanGenerateSolution(count, typesAt, valuesAt, tags === null ? 0 : tagsAt,
                                         entriesAt, capacity, countAt, totalsAt));
      const after = memoryViews(wasm);
      return readSolution(after, entriesAt, after.uint32[countAt / 4], totalsAt);
    });
  }

  function fill(entries) {
    requireEntries(entries);
    refuseUnknownTypes(entries.map((entry) => entry.type), describeResult);
    const bytes = [entries.length * ENTRY_BYTES, TOTALS_FIELDS.length * 8];
    return withMemory(bytes, (entriesAt, totalsAt) => {
      writeEntries(memoryViews(wasm), entriesAt, entries);
      check(wasm._KorvanFillSolution(entriesAt, entries.length, totalsAt));
      return readSolution(memoryViews(wasm), entriesAt, entries.length, totalsAt);
    });
  }

  function smallestPossibleValves(sizes) {
    requireList(sizes, 'sizes');
    sizes.forEach((size, index) => requireNumber(size, `sizes[${index}]`));
    const count = sizes.length;
    return withMemory([count * 8, count * 8], (sizesAt, smallestAt) => {
      memoryViews(wasm).float64.set(sizes, sizesAt / 8);
      check(wasm._KorvanGetSmallestPossibleValves(sizesAt, count, smallestAt));
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

  return Object.freeze({generate, fill, smallestPossibleValves, version, describeResult});
}
