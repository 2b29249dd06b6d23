// A 50 MB CSV file of 2.77 million points picked in the page, in headless Chromium: the worker
// reads it in pieces with progress while the main thread is never blocked for long (Long Tasks
// API), the whole takes less than twice what reading and sizing take in the worker, the text box
// shows a preview only, and a load can be cancelled. The figures of the run are printed;
// web/bench/large-file.mjs measures the same alone.
import assert from 'node:assert/strict';
import {mkdir} from 'node:fs/promises';
import path from 'node:path';
import {before, test} from 'node:test';
import {loadFileInPage, writeLargeCsv} from './support/large-file.mjs';
import {artifactDir} from './support/paths.mjs';
import {pageSession} from './support/session.mjs';

const ROWS = 2770000;
const LONGEST_BLOCK_MS = 200;
const session = pageSession();
const file = path.join(artifactDir, `points-${ROWS}.csv`);
let bytes;

before(async () => {
  await mkdir(artifactDir, {recursive: true});
  bytes = await writeLargeCsv(file, ROWS);
});

async function openPage() {
  const page = await session.open('/');
  await page.waitForFunction(() => document.body.dataset.runs === '1');
  return page;
}

test('a 50 MB file is sized with the main thread never blocked for long', async () => {
  const page = await openPage();
  const progressShown = page.waitForSelector('#progress', {state: 'visible', timeout: 0})
      .then(() => page.textContent('#progressText'));
  const {took, tasks, longest} = await loadFileInPage(page, file);
  const status = await page.$eval('#status', (node) => ({text: node.textContent, ...node.dataset}));
  const worker = Number(status.readMs) + Number(status.sizeMs);
  console.log(`${ROWS} rows, ${(bytes / 1e6).toFixed(1)} MB: longest main-thread block ` +
              `${longest.toFixed(0)} ms (${tasks.length} long tasks), ${(took / 1000).toFixed(2)} s ` +
              `from picking the file to the results, reading ${status.readMs} ms and sizing ` +
              `${status.sizeMs} ms in the worker (whole / worker ${(took / worker).toFixed(2)})`);
  assert.equal(await page.textContent('#error'), '');
  assert.match(status.text, new RegExp(`^${ROWS} points sized in `));
  assert.ok(longest < LONGEST_BLOCK_MS, `the main thread was blocked for ${longest} ms`);
  assert.ok(took < 2 * worker, `${took} ms in all, ${worker} ms in the worker`);
  assert.match(await progressShown, /^Reading points-2770000\.csv/);
  assert.equal(await page.isHidden('#progress'), true);

  const box = await page.$eval('#points', (node) => ({readOnly: node.readOnly,
                                                      lines: node.value.split('\n')}));
  assert.equal(box.readOnly, true);
  assert.equal(box.lines.length, 100);
  assert.deepEqual(box.lines.slice(0, 2), ['label,type,inputValue', 'P1,3,1301.4']);
  assert.match(await page.textContent('#fileNoteText'),
               /^points-2770000\.csv, 50\.4 MB: the box shows its first 100 lines/);
  assert.equal(await page.$$eval('#results tbody tr', (rows) => rows.length), 250);
  assert.deepEqual(session.pageErrors, []);

  // Typing again sizes the text, not the file.
  await page.click('#typeInstead');
  await page.fill('#points', 'type,inputValue\n1,50\n0,100\n3,80');
  await page.click('#size');
  await page.waitForFunction(() => document.getElementById('status').textContent
      .startsWith('3 points'));
});

test('a file being read can be cancelled, and the page sizes again afterwards', async () => {
  const page = await openPage();
  await page.setInputFiles('#file', file);
  await page.waitForSelector('#progress', {state: 'visible'});
  await page.click('#cancel');
  assert.equal(await page.textContent('#status'), 'Cancelled.');
  assert.equal(await page.isHidden('#progress'), true);
  assert.equal(await page.$$eval('#results tbody tr', (rows) => rows.length), 0);
  assert.equal(await page.textContent('#scaleFactor'), '');
  await page.click('#typeInstead');
  await page.fill('#points', 'type,inputValue\n1,50\n0,100\n3,80');
  const runs = Number(await page.evaluate(() => document.body.dataset.runs));
  await page.click('#size');
  await page.waitForFunction((count) => Number(document.body.dataset.runs) > count, runs);
  assert.equal(await page.textContent('#scaleFactor'), '5.348333333333334');
  assert.deepEqual(session.pageErrors, []);
});
