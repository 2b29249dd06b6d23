// KorvanCalcValueProvider in Node: the same exports as korvan.mjs, with the WebAssembly module read
// from this package's folder by default.
import {readFile} from 'node:fs/promises';
import {loadKorvan as loadKorvanFrom} from './korvan.mjs';

export * from './korvan.mjs';

// The file a source names, when it names one: a path or a file: URL. Other URLs are fetched.
function fileOf(source) {
  if (source instanceof URL) return source.protocol === 'file:' ? source : null;
  if (typeof source !== 'string') return null;
  if (source.startsWith('file:')) return new URL(source);
  return /^[a-z][a-z0-9+.-]*:\/\//i.test(source) ? null : source;
}

export async function loadKorvan(options = {}) {
  const source = options?.wasm ?? new URL('./korvan-wasm.wasm', import.meta.url);
  const file = fileOf(source);
  if (file === null) return loadKorvanFrom({...options, wasm: source});
  let bytes;
  try {
    bytes = await readFile(file);
  } catch (cause) {
    throw new Error(`korvan: the WebAssembly module could not be loaded from ${source}: ` +
                    cause.message, {cause});
  }
  return loadKorvanFrom({...options, wasm: bytes});
}
