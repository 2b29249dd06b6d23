// KorvanCalcValueProvider in JavaScript: valve sizing by the library's C interface, compiled to
// WebAssembly. The same exports in Node (node.mjs) and in browsers, web workers and bundlers
// (korvan.mjs). Every figure is the library's own double arithmetic, bit for bit that of the
// native build.
//
//   const korvan = await loadKorvan();
//   const solution = korvan.generate([1, 0, 3], [50, 100, 80]);
//   solution.scaleFactor;           // 5.348333333333334
//   solution.entries[0].valveSize;  // 0.2

/** The result codes of the library, as the C header names them. */
export declare const KORVAN_SUCCESS: 0;
export declare const KORVAN_OUT_OF_MEMORY: 10;
export declare const KORVAN_NOTHING_TO_SOLVE: 11;
export declare const KORVAN_INVALID_TYPE: 12;
export declare const KORVAN_UNSOLVABLE_INPUT: 13;
export declare const KORVAN_INVALID_ARGUMENT: 160;

/** The rules a refusal names (`KorvanError.rule`); `Korvan.describeRule` words each. */
export declare const KORVAN_RULE_NONE: 0;
/** No point and none held, or no size (result 11). */
export declare const KORVAN_RULE_NOTHING_TO_SOLVE: 1;
/** The point's type is not one of 0 to 3 (12). */
export declare const KORVAN_RULE_TYPE_UNKNOWN: 2;
/** The point's input value is zero or less (13). */
export declare const KORVAN_RULE_INPUT_NOT_POSITIVE: 3;
/** The point's input value is not a number (13). */
export declare const KORVAN_RULE_INPUT_NOT_A_NUMBER: 4;
/** The point's demand lies outside 1e-150 to 1e150 (13). */
export declare const KORVAN_RULE_DEMAND_OUT_OF_RANGE: 5;
/** Eight points or more, and the point's nearest size is larger than that of `otherPoint`, whose
 * demand is larger (13). */
export declare const KORVAN_RULE_DEMANDS_TOO_FAR_APART: 6;
/** The size is zero or less (160). */
export declare const KORVAN_RULE_SIZE_NOT_POSITIVE: 7;
/** No group of the valve series holds every ratio of the largest size to the others; no single
 * size is responsible (13). */
export declare const KORVAN_RULE_RATIOS_IN_NO_GROUP: 8;

/**
 * A call the library refused. `code` is its result, the message its sentence; when the library
 * names the rule broken, the message is `point N: <rule>` (N counting from 1), `point N: <rule>
 * (point M)` for a pair, or `<rule>` when no single point is responsible.
 */
export declare class KorvanError extends Error {
  constructor(code: number, message: string,
              diagnosis?: {rule?: number; point?: number | null; otherPoint?: number | null});
  readonly name: 'KorvanError';
  /** The library's result code, one of the KORVAN_ result constants. */
  readonly code: number;
  /** The rule broken (a KORVAN_RULE_ constant); KORVAN_RULE_NONE when the library names none. */
  readonly rule: number;
  /**
   * The point responsible, counted from 0 in the call's numbering: the entries held first, then
   * the new points in the order given; for sizes, the order given. null when there is none.
   */
  readonly point: number | null;
  /** For KORVAN_RULE_DEMANDS_TOO_FAR_APART the point of larger demand it outgrows; else null. */
  readonly otherPoint: number | null;
}

/**
 * What every function throws, besides KorvanError, for an argument of the wrong kind (not an
 * array, a hole or an item that is not a number, lengths that differ, a tag that is not an
 * unsigned 64-bit integer): a TypeError whose message names the argument and the index, with the
 * code of the library's "invalid argument".
 */
export interface KorvanArgumentError extends TypeError {
  readonly code: 160;
}

/** A list of numbers: an array or any typed array of numbers. */
export type NumberList =
    | readonly number[]
    | Float64Array | Float32Array
    | Int32Array | Uint32Array | Int16Array | Uint16Array | Int8Array | Uint8Array
    | Uint8ClampedArray;

/** Tags: BigInts, or numbers that are safe integers, of 0 to 2^64 - 1. */
export type TagList =
    readonly (bigint | number)[] | BigUint64Array | Uint32Array | Uint16Array | Uint8Array;

/** One point of a solution: the library's record, field for field. */
export interface SolutionEntry {
  /** 0 to 3. */
  type: number;
  inputValue: number;
  /** The required quantity the library derives from type and input value. */
  demand: number;
  /** The largest demand of the solution divided by this demand. */
  ratio: number;
  ratioMax: number;
  ratioMin: number;
  /** The chosen size: 0.5, 0.3, 0.2, 0.16, 0.1, 0.06 or 0.03. */
  valveSize: number;
  /** Percent deviation of the delivered quantity (valveSize * scaleFactor), rounded down. */
  deviation: number;
  /** The host's own tag, carried along and never read by the library. */
  callerData: bigint;
}

/** An entry handed back to the library: type and input value, and whatever else it held. */
export interface EntryInput {
  type: number;
  inputValue: number;
  demand?: number;
  ratio?: number;
  ratioMax?: number;
  ratioMin?: number;
  valveSize?: number;
  deviation?: number;
  callerData?: bigint | number;
}

export interface Solution {
  /** Every point, ordered by demand, largest first. */
  entries: SolutionEntry[];
  deviationMax: number;
  deviationMin: number;
  /** The mean of demand / valveSize: a size times this is the quantity it delivers. */
  scaleFactor: number;
  /** scaleFactor / 2000. */
  reducedScaleFactor: number;
}

/**
 * A solution as columns, one typed array per field of the entries, each `count` long: the same
 * figures as `Solution.entries`, in the same order, at a fraction of the memory and time for
 * large batches.
 */
export interface ColumnSolution {
  count: number;
  type: Int32Array;
  inputValue: Float64Array;
  demand: Float64Array;
  ratio: Float64Array;
  ratioMax: Float64Array;
  ratioMin: Float64Array;
  valveSize: Float64Array;
  deviation: Float64Array;
  callerData: BigUint64Array;
  deviationMax: number;
  deviationMin: number;
  scaleFactor: number;
  reducedScaleFactor: number;
}

export interface ReducedSizes {
  /** The sizes given, sorted largest first (values that are not a number last). */
  sizes: number[];
  /** smallest[i] is the size of the series that stands for sizes[i]. */
  smallest: number[];
}

/** The library, loaded. No function modifies its arguments. */
export interface Korvan {
  /**
   * Appends the new points (types 0 to 3 and their input values) after `entries` and solves them
   * all. `callerData`, when given, holds one tag per new point; without it the new entries carry
   * 0. Throws KorvanError when the library refuses the points.
   */
  generate(types: NumberList, inputValues: NumberList, entries?: readonly EntryInput[],
           callerData?: TagList | null): Solution;
  /**
   * Solves new points as generate does, with no entries held, and gives the solution as columns.
   * Fastest with typed arrays: types in a Uint32Array, input values in a Float64Array, tags in a
   * BigUint64Array or (below 2^32) a Uint32Array.
   */
  generateColumns(types: NumberList, inputValues: NumberList,
                  callerData?: TagList | null): ColumnSolution;
  /**
   * Recomputes every demand from the entries' types and input values and solves them again; each
   * entry keeps its callerData. A fill computes demands with half the multiplier generate uses
   * (2 against 4), so entries from a fill and new points of a generate have unlike demands.
   */
  fill(entries: readonly EntryInput[]): Solution;
  /** The smallest sizes of the series that keep exactly the ratios of the given ones. */
  smallestPossibleValves(sizes: NumberList): ReducedSizes;
  /** The version of the sizing interface: 1. */
  version(): number;
  /** The library's English sentence for a result code. */
  describeResult(code: number): string;
  /** The library's English sentence for a rule. */
  describeRule(rule: number): string;
}

// URL and WebAssembly.Module where the host's declarations have them (the DOM's, Node's), and
// nothing where they do not, so that these declarations need no library of their own. A Module
// declares no member, so any object passes for one; numbers and the like at least do not.
type GlobalInstance<Name extends string> =
    typeof globalThis extends Record<Name, abstract new (...args: never[]) => infer Instance>
        ? Instance : never;
type WasmModule =
    typeof globalThis extends {WebAssembly: {Module: abstract new (...args: never[]) => infer Module}}
        ? Module & object : never;

export interface LoadOptions {
  /**
   * Where the WebAssembly module comes from: a URL (or in Node a path) to fetch or read, its bytes,
   * or the module compiled. By default the file korvan-wasm.wasm beside the package's module.
   */
  wasm?: string | GlobalInstance<'URL'> | ArrayBuffer | ArrayBufferView | WasmModule;
}

/** Loads the library; each call makes an instance of its own. */
export declare function loadKorvan(options?: LoadOptions): Promise<Korvan>;
