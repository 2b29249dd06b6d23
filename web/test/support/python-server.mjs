// Python's own static server on 127.0.0.1, as a user may serve build/web: a server that knows
// nothing of the page.
import {spawn} from 'node:child_process';

export function startPythonServer(folder) {
  const child = spawn('/usr/bin/python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1',
                                           '--directory', folder, '0'],
                      {stdio: ['ignore', 'pipe', 'pipe']});
  return new Promise((resolve, reject) => {
    let said = '';
    child.on('error', reject);
    child.on('exit', (status) => reject(new Error(`http.server exited ${status}: ${said}`)));
    child.stdout.on('data', (chunk) => {
      said += chunk;
      const port = /port (\d+)/.exec(said)?.[1];
      if (port) {
        child.removeAllListeners('exit');
        resolve({
          origin: `http://127.0.0.1:${port}`,
          close: () => new Promise((done) => {
            child.once('exit', done);
            child.kill();
          }),
        });
      }
    });
  });
}
