// The package in Node, from its folder as `make npm` packs it: the module's tests (the sweep
// against the native library included), and the ways the WebAssembly module can be loaded.
import assert from 'node:assert/strict';
import {readFile} from 'node:fs/promises';
import path from 'node:path';
import {test} from 'node:test';
import {pathToFileURL} from 'node:url';
import {compareWithNative} from './in-page/compare.mjs';
import * as scenarios from './in-page/scenarios.mjs';
import {defineModuleTests} from './support/module-tests.mjs';
import {packageDir} from './support/paths.mjs';

const nodeEntry = pathToFileURL(path.join(packageDir, 'node.mjs')).href;
const browserEntry = pathToFileURL(path.join(packageDir, 'korvan.mjs')).href;
const wasmFile = path.join(packageDir, 'korvan-wasm.wasm');
const korvanModule = await import(nodeEntry);
const korvan = await korvanModule.loadKorvan();

defineModuleTests('node', async (name) => scenarios[name](korvanModule, korvan),
                  async (cases, answers) => compareWithNative(korvanModule, korvan, cases, answers));

const scaleFactorOf = (loaded) => loaded.generate([1, 0, 3], [50, 100, 80]).scaleFactor;

test('node: the module loads from its package folder, a path, a file: URL, bytes or compiled',
     async () => {
  const bytes = await readFile(wasmFile);
  const sources = {
    'path': wasmFile,
    'file: URL': pathToFileURL(wasmFile),
    'file: URL as text': pathToFileURL(wasmFile).href,
    'bytes': bytes,
    'an ArrayBuffer': bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length),
    'compiled': await WebAssembly.compile(bytes),
  };
  for (const [name, wasm] of Object.entries(sources)) {
    assert.equal(scaleFactorOf(await korvanModule.loadKorvan({wasm})), 5.348333333333334, name);
  }
  const browserModule = await import(browserEntry);
  assert.equal(scaleFactorOf(await browserModule.loadKorvan({wasm: bytes})), 5.348333333333334);
});

test('node: a module that cannot be loaded rejects with a sentence naming where from', async () => {
  const missing = path.join(packageDir, 'no-such.wasm');
  await assert.rejects(korvanModule.loadKorvan({wasm: missing}), (error) => {
    assert.match(error.message, /^korvan: the WebAssembly module could not be loaded from .*no-such\.wasm: ENOENT/);
    return true;
  });
  await assert.rejects(korvanModule.loadKorvan({wasm: new Uint8Array([0, 97, 115, 109, 9])}),
                       /^Error: korvan: the WebAssembly module could not be loaded from the bytes given: /);
  await assert.rejects(korvanModule.loadKorvan({wasm: 42}),
                       {name: 'TypeError', code: 160,
                        message: 'korvan: options.wasm must be a URL, bytes or a WebAssembly.Module'});
  // The browser entry fetches its module, which Node cannot do from a file: URL.
  const browserModule = await import(browserEntry);
  await assert.rejects(browserModule.loadKorvan(),
                       /could not be loaded from file:.*korvan-wasm\.wasm: fetch failed/);
});

test('node: the two entries are one API, and each load is an instance of its own', async () => {
  const browserModule = await import(browserEntry);
  assert.deepEqual(Object.keys(korvanModule).sort(), Object.keys(browserModule).sort());
  assert.equal(korvanModule.KorvanError, browserModule.KorvanError);
  const other = await korvanModule.loadKorvan();
  assert.notEqual(other, korvan);
  assert.equal(scaleFactorOf(other), scaleFactorOf(korvan));
});
