// The declarations, checked by tsc (as web/package-lock.json pins it) in a project that installed
// the tarball: a host using the whole surface compiles under strict checks with Node's and with
// a bundler's module resolution, and with no declarations but the language's own; every misuse
// in types/misuse.ts fails, on the line that marks it, and nothing else does.
import assert from 'node:assert/strict';
import {copyFile, readFile, writeFile} from 'node:fs/promises';
import {createRequire} from 'node:module';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {before, test} from 'node:test';
import {run, scratchProject} from './support/scratch.mjs';

const typesDir = path.join(path.dirname(fileURLToPath(import.meta.url)), 'types');
const tsc = createRequire(import.meta.url).resolve('typescript/bin/tsc');
const SOURCES = ['good.ts', 'misuse.ts', 'lean.ts'];

let project;
before(async () => {
  project = await scratchProject('types');
  for (const name of SOURCES) await copyFile(path.join(typesDir, name), path.join(project, name));
});

// Compiles `file` with the given options; returns tsc's errors as "file(line): TS code" lines.
async function compile(file, options) {
  const config = `tsconfig.${path.basename(file, '.ts')}.json`;
  await writeFile(path.join(project, config), JSON.stringify({
    compilerOptions: {strict: true, noEmit: true, target: 'es2022', ...options},
    files: [file],
  }));
  const result = await run(process.execPath, [tsc, '-p', config], {cwd: project});
  const errors = [...result.stdout.matchAll(/^(\S+)\((\d+),\d+\): error (TS\d+)/gm)]
      .map(([, name, line, code]) => `${name}(${line}): ${code}`);
  assert.equal(result.status === 0, errors.length === 0, result.stdout + result.stderr);
  return {errors, output: result.stdout};
}

const NODE = {module: 'nodenext', moduleResolution: 'nodenext'};
const BUNDLER = {module: 'esnext', moduleResolution: 'bundler'};

test('a host using the whole surface compiles, with Node\'s and with a bundler\'s resolution',
     async () => {
  for (const options of [NODE, BUNDLER]) {
    const {errors, output} = await compile('good.ts', options);
    assert.deepEqual(errors, [], output);
  }
});

test('the declarations need neither the DOM\'s nor Node\'s', async () => {
  const {errors, output} = await compile('lean.ts', {...NODE, lib: ['es2022'], types: []});
  assert.deepEqual(errors, [], output);
});

test('every misuse fails to compile, on its own line', async () => {
  const source = await readFile(path.join(typesDir, 'misuse.ts'), 'utf8');
  const marked = source.split('\n').flatMap((line, index) => (
    / \/\/ error: /.test(line) ? [index + 1] : []));
  assert.equal(marked.length, 8);
  const {errors} = await compile('misuse.ts', NODE);
  const lines = [...new Set(errors.map((error) => Number(/\((\d+)\)/.exec(error)[1])))];
  assert.deepEqual(lines, marked, errors.join('\n'));
});
