// A static file server on 127.0.0.1 for the page under test. `folders` maps a path prefix (ending
// in /) to the folder it serves; nothing above a folder is served, and every path asked for is
// recorded.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import path from 'node:path';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
};

function fileFor(folders, pathname) {
  const prefix = Object.keys(folders).filter((candidate) => pathname.startsWith(candidate))
      .sort((a, b) => b.length - a.length)[0];
  const root = folders[prefix];
  const rest = pathname.slice(prefix.length);
  const file = path.join(root, rest === '' || rest.endsWith('/') ? `${rest}index.html` : rest);
  return path.relative(root, file).startsWith('..') ? null : file;
}

export async function startServer(folders) {
  const requested = [];
  const server = createServer(async (request, response) => {
    let pathname;
    try {
      pathname = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    requested.push(pathname);
    const file = fileFor(folders, pathname);
    if (request.method !== 'GET' || file === null) {
      response.writeHead(request.method === 'GET' ? 403 : 405).end();
      return;
    }
    try {
      const body = await readFile(file);
      const type = TYPES[path.extname(file)] ?? 'application/octet-stream';
      response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'}).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const {port} = server.address();
  return {
    origin: `http://127.0.0.1:${port}`,
    requested,
    close: () => new Promise((resolve) => {
      server.closeAllConnections();
      server.close(resolve);
    }),
  };
}
