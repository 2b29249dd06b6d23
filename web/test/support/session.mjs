// One server and one browser for a test file, with every request the page makes checked: the page
// and the module must need nothing beyond the files beside them, served here from 127.0.0.1.
import {after, before} from 'node:test';
import {startBrowser} from './browser.mjs';
import {inPageDir, siteDir} from './paths.mjs';
import {startServer} from './server.mjs';

export function pageSession() {
  const session = {foreignRequests: [], pageErrors: []};
  before(async () => {
    session.server = await startServer({'/': siteDir, '/test/': inPageDir});
    session.browser = await startBrowser();
    await session.browser.context.route('**/*', (route) => {
      const url = route.request().url();
      if (url.startsWith('http://127.0.0.1:') || url.startsWith('blob:') ||
          url.startsWith('data:')) {
        return route.continue();
      }
      session.foreignRequests.push(url);
      return route.abort();
    });
  });
  after(async () => {
    await session.browser?.close();
    await session.server?.close();
  });

  // A new page on `path`, with its uncaught errors and console errors collected.
  session.open = async (path = '/', options = {}) => {
    const page = await session.browser.context.newPage();
    if (options.viewport) await page.setViewportSize(options.viewport);
    page.on('pageerror', (error) => session.pageErrors.push(error.message));
    page.on('console', (message) => {
      if (message.type() === 'error') session.pageErrors.push(message.text());
    });
    await page.goto(`${session.server.origin}${path}`);
    return page;
  };
  return session;
}
