// The package in a web app, as the README's browser example uses it, installed from the tarball
// and run in headless Chromium: with a web worker, bundled by esbuild (as web/package-lock.json
// pins it), which does not follow new URL(..., import.meta.url), so the .wasm is copied beside
// the bundle from the package's exports, as the README says; and unbundled, through an import
// map.
import assert from 'node:assert/strict';
import {copyFile, mkdir, readFile, writeFile} from 'node:fs/promises';
import {createRequire} from 'node:module';
import path from 'node:path';
import {after, before, test} from 'node:test';
import * as esbuild from 'esbuild';
import {startBrowser} from './support/browser.mjs';
import {repositoryDir} from './support/paths.mjs';
import {PACKAGE_NAME, scratchProject} from './support/scratch.mjs';
import {startServer} from './support/server.mjs';

const exampleDir = path.join(repositoryDir, 'examples/js/browser');
const WORKER = `import {loadKorvan} from '${PACKAGE_NAME}';
const korvan = await loadKorvan();
postMessage(korvan.generate([1, 0, 3], [50, 100, 80]).scaleFactor);
`;

let project;
let outDir;
let server;
let browser;
before(async () => {
  project = await scratchProject('bundle');
  const sourceDir = path.join(project, 'src');
  outDir = path.join(project, 'dist');
  await mkdir(sourceDir, {recursive: true});
  await mkdir(outDir, {recursive: true});
  await copyFile(path.join(exampleDir, 'app.mjs'), path.join(sourceDir, 'app.mjs'));
  await copyFile(path.join(exampleDir, 'app.mjs'), path.join(project, 'app.mjs'));
  await copyFile(path.join(exampleDir, 'import-map.html'), path.join(project, 'import-map.html'));
  await writeFile(path.join(sourceDir, 'worker.mjs'), WORKER);
  await esbuild.build({
    absWorkingDir: project,
    entryPoints: ['src/app.mjs', 'src/worker.mjs'],
    bundle: true,
    format: 'esm',
    platform: 'browser',
    outdir: outDir,
    logLevel: 'silent',
  });
  await copyFile(path.join(exampleDir, 'index.html'), path.join(outDir, 'index.html'));
  const wasm = createRequire(path.join(project, 'package.json'))
      .resolve(`${PACKAGE_NAME}/korvan-wasm.wasm`);
  await copyFile(wasm, path.join(outDir, 'korvan-wasm.wasm'));
  server = await startServer({'/': outDir, '/unbundled/': project});
  browser = await startBrowser();
});

after(async () => {
  await browser?.close();
  await server?.close();
});

test('the bundle holds the browser entry, not Node\'s', async () => {
  const bundle = await readFile(path.join(outDir, 'app.js'), 'utf8');
  assert.match(bundle, /korvan-wasm\.wasm/);
  assert.doesNotMatch(bundle, /node:fs/);
});

// A new page, with its errors and failed requests (but for the favicon) collected in `errors`.
async function openPage(errors) {
  const page = await browser.context.newPage();
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('requestfailed', (request) => errors.push(`${request.url()} failed`));
  page.on('response', (response) => {
    // The browser asks for a favicon of its own accord; the example has none.
    if (!response.ok() && !response.url().endsWith('/favicon.ico')) {
      errors.push(`${response.url()} answered ${response.status()}`);
    }
  });
  return page;
}

// What the browser example shows, once it has shown it, as its .out file records it.
async function exampleOutput(page) {
  await page.waitForFunction(() => document.getElementById('out').textContent.includes('point'));
  return `${await page.textContent('#out')}\n`;
}

test('the bundled browser example shows what its .out file records, and a worker sizes too',
     async () => {
  const errors = [];
  const page = await openPage(errors);
  await page.goto(`${server.origin}/`);
  assert.equal(await exampleOutput(page), await readFile(path.join(exampleDir, 'app.mjs.out'), 'utf8'));
  const fromWorker = await page.evaluate(() => new Promise((resolve, reject) => {
    const worker = new Worker('./worker.js', {type: 'module'});
    worker.onmessage = (event) => resolve(event.data);
    worker.onerror = (event) => reject(new Error(event.message));
  }));
  assert.equal(fromWorker, 5.348333333333334);
  assert.deepEqual(errors, []);
  assert.deepEqual([...new Set(server.requested)].filter((asked) => asked !== '/favicon.ico').sort(),
                   ['/', '/app.js', '/korvan-wasm.wasm', '/worker.js']);
});

test('unbundled, through an import map, the browser example shows the same', async () => {
  const errors = [];
  const page = await openPage(errors);
  await page.goto(`${server.origin}/unbundled/import-map.html`);
  assert.equal(await exampleOutput(page), await readFile(path.join(exampleDir, 'app.mjs.out'), 'utf8'));
  assert.deepEqual(errors, []);
});
