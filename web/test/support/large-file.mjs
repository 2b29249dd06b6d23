// A large CSV of points as a spreadsheet export holds them (a label, a type, an input value), and
// what loading a file costs the page: the longest time its main thread was blocked, from the Long
// Tasks API, and the time from picking the file to the drawn results.
import {createWriteStream} from 'node:fs';
import {stat} from 'node:fs/promises';
import {once} from 'node:events';
import {randomSource} from './cases.mjs';

// Rows as a spreadsheet on Windows writes them, about 18 bytes each with the CRLF line end: 2.77
// million rows make 50 MB.
export async function writeLargeCsv(file, rows, seed = 2024) {
  const random = randomSource(seed);
  const out = createWriteStream(file);
  const linesPerWrite = 10000;
  out.write('label,type,inputValue\r\n');
  for (let first = 0; first < rows; first += linesPerWrite) {
    let text = '';
    for (let row = first; row < Math.min(rows, first + linesPerWrite); ++row) {
      text += `P${row + 1},${random.below(4)},${random.realistic()}\r\n`;
    }
    if (!out.write(text)) await once(out, 'drain');
  }
  out.end();
  await once(out, 'finish');
  return (await stat(file)).size;
}

// Starts watching the page's long tasks; call before the work to measure.
export function watchLongTasks(page) {
  return page.evaluate(() => {
    window.korvanLongTasks = [];
    new PerformanceObserver((list) => {
      for (const task of list.getEntries()) window.korvanLongTasks.push(task.duration);
    }).observe({type: 'longtask'});
  });
}

export function longTasks(page) {
  return page.evaluate(() => window.korvanLongTasks.slice());
}

// Picks `file` in the page's file input and waits for the page to finish (its run counter moves
// on) and paint; returns the time taken in ms and the long tasks seen meanwhile.
export async function loadFileInPage(page, file, {timeout = 600000} = {}) {
  await watchLongTasks(page);
  const before = await page.evaluate(() => {
    window.korvanStarted = performance.now();
    return Number(document.body.dataset.runs);
  });
  await page.setInputFiles('#file', file);
  await page.waitForFunction((count) => Number(document.body.dataset.runs) > count, before,
                             {timeout, polling: 100});
  const took = await page.evaluate(() => new Promise((resolve) => {
    requestAnimationFrame(() => setTimeout(() => resolve(performance.now() - window.korvanStarted)));
  }));
  // The observer reports a task after it ends; one more turn lets the last one in.
  await page.evaluate(() => new Promise((resolve) => setTimeout(resolve, 50)));
  const tasks = await longTasks(page);
  return {took, tasks, longest: Math.max(0, ...tasks)};
}
