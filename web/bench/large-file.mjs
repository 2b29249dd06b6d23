// What a large CSV file costs the page, in headless Chromium:
//   node web/bench/large-file.mjs [rows]     (after make web; 2770000 rows, 50 MB, by default)
// Prints the longest time the main thread was blocked (Long Tasks API), the time from picking the
// file to the drawn results, and the page's own account of its work, if it gives one.
import {mkdir} from 'node:fs/promises';
import path from 'node:path';
import {openSizingPage} from '../test/support/browser.mjs';
import {loadFileInPage, writeLargeCsv} from '../test/support/large-file.mjs';
import {artifactDir, siteDir} from '../test/support/paths.mjs';

const ROWS = Number(process.argv[2] ?? 2770000);

await mkdir(artifactDir, {recursive: true});
const file = path.join(artifactDir, `points-${ROWS}.csv`);
const bytes = await writeLargeCsv(file, ROWS);
const {page, close} = await openSizingPage(siteDir);
try {
  const {took, tasks, longest} = await loadFileInPage(page, file);
  const status = await page.textContent('#status');
  const error = await page.textContent('#error');
  console.log(`${ROWS} rows, ${(bytes / 1e6).toFixed(1)} MB: longest main-thread block ` +
              `${longest.toFixed(0)} ms (${tasks.length} long tasks, ` +
              `${tasks.reduce((sum, task) => sum + task, 0).toFixed(0)} ms in all), ` +
              `${(took / 1000).toFixed(2)} s from picking the file to the results`);
  console.log(`page says: ${status}${error}`);
} finally {
  await close();
}
