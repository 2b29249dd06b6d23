// The package's browser entry in headless Chromium: the module's tests (the sweep against the
// native library included), the same as in Node, and the module in a web worker.
import assert from 'node:assert/strict';
import {test} from 'node:test';
import {defineModuleTests} from './support/module-tests.mjs';
import {pageSession} from './support/session.mjs';

const session = pageSession();

async function blankPage() {
  return session.open('/test/blank.html');
}

defineModuleTests('chromium', async (name) => (await blankPage()).evaluate(async (scenario) => {
  const korvanModule = await import('/korvan/korvan.mjs');
  const scenarios = await import('/test/scenarios.mjs');
  return scenarios[scenario](korvanModule, await korvanModule.loadKorvan());
}, name), async (cases, answers) => (await blankPage()).evaluate(async ([wireCases, wireAnswers]) => {
  const korvanModule = await import('/korvan/korvan.mjs');
  const {compareWithNative} = await import('/test/compare.mjs');
  return compareWithNative(korvanModule, await korvanModule.loadKorvan(), wireCases, wireAnswers);
}, [cases, answers]));

test('chromium: the module works in a web worker', async () => {
  const page = await blankPage();
  const answer = await page.evaluate(() => new Promise((resolve, reject) => {
    const worker = new Worker('/test/worker.mjs', {type: 'module'});
    worker.onmessage = (event) => resolve(event.data);
    worker.onerror = (event) => reject(new Error(event.message));
  }));
  assert.deepEqual(answer, {scaleFactor: 5.348333333333334, sizes: [0.2, 0.16, 0.1]});
});

test('chromium: the module fetches nothing but its own files', async () => {
  const page = await blankPage();
  await page.evaluate(async () => {
    const {loadKorvan} = await import('/korvan/korvan.mjs');
    await loadKorvan();
  });
  const asked = session.server.requested.filter((pathname) => pathname.startsWith('/korvan/'));
  assert.deepEqual([...new Set(asked)].sort(), ['/korvan/korvan-wasm.mjs', '/korvan/korvan-wasm.wasm',
                                               '/korvan/korvan.mjs']);
  assert.deepEqual(session.pageErrors, []);
  assert.deepEqual(session.foreignRequests, []);
});

test('chromium: a module that cannot be fetched rejects with a sentence naming where from',
     async () => {
  const page = await blankPage();
  const message = await page.evaluate(async () => {
    const {loadKorvan} = await import('/korvan/korvan.mjs');
    return loadKorvan({wasm: '/korvan/none.wasm'}).then(() => 'loaded', (error) => error.message);
  });
  assert.equal(message, 'korvan: the WebAssembly module could not be loaded from /korvan/none.wasm: ' +
                        'the server answered 404 Not Found');
  session.pageErrors.length = 0;
});
