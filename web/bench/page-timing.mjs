// How long the page takes to size a large batch, in headless Chromium:
//   node web/bench/page-timing.mjs [points]      (after make web-test; 100000 points by default)
// Prints the time from the click on "Size the points" to the drawn results, the module's generate
// call alone, and, as the baseline of the same run, a JavaScript sort of the solved entries by
// demand. The median of five runs each.
import {openSizingPage} from '../test/support/browser.mjs';
import {randomSource} from '../test/support/cases.mjs';
import {siteDir} from '../test/support/paths.mjs';

const COUNT = Number(process.argv[2] ?? 100000);
const RUNS = 5;

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

const random = randomSource(2024);
const types = Array.from({length: COUNT}, () => random.below(4));
const inputValues = Array.from({length: COUNT}, () => random.realistic());
const csv = ['type,inputValue', ...types.map((type, index) => `${type},${inputValues[index]}`)]
    .join('\n');

const {page, close} = await openSizingPage(siteDir);
try {
  // As a file picked from disk or text pasted would arrive; typing it would take minutes.
  await page.$eval('#points', (box, text) => {
    box.value = text;
  }, csv);
  const pageTimes = [];
  for (let run = 0; run < RUNS; ++run) {
    pageTimes.push(await page.evaluate(() => new Promise((resolve) => {
      const before = Number(document.body.dataset.runs);
      const started = performance.now();
      document.getElementById('size').click();
      // The worker sizes; the frame after the run counter moves on is the first with the results.
      const poll = () => {
        if (Number(document.body.dataset.runs) === before) {
          setTimeout(poll, 1);
          return;
        }
        requestAnimationFrame(() => resolve(performance.now() - started));
      };
      poll();
    })));
  }
  const module = await page.evaluate(async ([types, inputValues, runs]) => {
    const {loadKorvan} = await import('/korvan/korvan.mjs');
    const korvan = await loadKorvan();
    const generate = [];
    const sort = [];
    for (let run = 0; run < runs; ++run) {
      let started = performance.now();
      const solution = korvan.generate(types, inputValues);
      generate.push(performance.now() - started);
      const shuffled = solution.entries.slice().reverse();
      started = performance.now();
      shuffled.sort((a, b) => b.demand - a.demand);
      sort.push(performance.now() - started);
    }
    return {generate, sort};
  }, [types, inputValues, RUNS]);
  const generate = median(module.generate);
  const sort = median(module.sort);
  console.log(`${COUNT} points: page ${median(pageTimes).toFixed(0)} ms from click to results, ` +
              `generate ${generate.toFixed(1)} ms, JavaScript sort of the entries ${sort.toFixed(1)} ms ` +
              `(generate / sort ${(generate / sort).toFixed(2)})`);
} finally {
  await close();
}
