// A scratch project as a user makes one: an empty folder where the packed tarball is installed
// with `npm install --offline`, in a cache of its own, so that nothing outside the build tree is
// read or written.
import {execFile} from 'node:child_process';
import {mkdir, readdir, rm, writeFile} from 'node:fs/promises';
import path from 'node:path';
import {promisify} from 'node:util';
import {artifactDir, npmDir} from './paths.mjs';

export const PACKAGE_NAME = 'korvan-calc-value-provider';

// Runs a program and gives its exit status and output; never throws for a failing status.
export async function run(program, args, options = {}) {
  try {
    const {stdout, stderr} = await promisify(execFile)(program, args,
                                                       {maxBuffer: 64 << 20, ...options});
    return {status: 0, stdout, stderr};
  } catch (error) {
    if (typeof error.code !== 'number') throw error;
    return {status: error.code, stdout: error.stdout, stderr: error.stderr};
  }
}

// The one tarball `make npm` left.
export async function tarball() {
  const names = (await readdir(npmDir)).filter((name) => name.endsWith('.tgz'));
  if (names.length !== 1) throw new Error(`${npmDir} holds ${names.length} tarballs, not one`);
  return path.join(npmDir, names[0]);
}

// A new scratch project named `name` under the test's build folder, with the tarball installed.
export async function scratchProject(name, manifest = {}) {
  const folder = path.join(artifactDir, 'scratch', name);
  await rm(folder, {recursive: true, force: true});
  await mkdir(folder, {recursive: true});
  await writeFile(path.join(folder, 'package.json'),
                  JSON.stringify({name: `scratch-${name}`, private: true, type: 'module',
                                  ...manifest}, null, 2));
  const installed = await run('npm', ['install', '--offline', '--no-audit', '--no-fund',
                                      '--cache', path.join(folder, '.npm-cache'),
                                      await tarball()], {cwd: folder});
  if (installed.status !== 0) {
    throw new Error(`npm install failed (${installed.status}): ${installed.stderr}`);
  }
  return folder;
}
