// Debian's Chromium driven by playwright-core, headless, in a profile made for the run and
// removed after it. KORVAN_CHROMIUM names another executable.
import {mkdtemp, rm} from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import {chromium} from 'playwright-core';
import {startServer} from './server.mjs';

const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync'];

export async function startBrowser(options = {}) {
  const profile = await mkdtemp(path.join(os.tmpdir(), 'korvan-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.KORVAN_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: FLAGS,
    acceptDownloads: true,
    viewport: {width: 1100, height: 900},
    ...options,
  });
  return {
    context,
    close: async () => {
      await context.close();
      await rm(profile, {recursive: true, force: true});
    },
  };
}

// The sizing page served from `folder` on 127.0.0.1, open in a browser of its own once it has
// sized its example; for the benchmarks.
export async function openSizingPage(folder) {
  const server = await startServer({'/': folder});
  const browser = await startBrowser();
  const page = await browser.context.newPage();
  await page.goto(`${server.origin}/`);
  await page.waitForFunction(() => document.body.dataset.runs === '1');
  return {page, close: async () => {
    await browser.close();
    await server.close();
  }};
}
