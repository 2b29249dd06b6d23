// The packed tarball as a user gets it: what it holds, its manifest, and, installed with
// `npm install --offline` into an empty project, the package working in Node by its name, its
// exports map, and the examples of the README giving their recorded output.
import assert from 'node:assert/strict';
import {copyFile, readdir, readFile} from 'node:fs/promises';
import path from 'node:path';
import {before, test} from 'node:test';
import {repositoryDir} from './support/paths.mjs';
import {PACKAGE_NAME, run, scratchProject, tarball} from './support/scratch.mjs';

const FILES = ['LICENSE', 'README.md', 'korvan-wasm.mjs', 'korvan-wasm.wasm', 'korvan.d.ts',
               'korvan.mjs', 'node.mjs', 'package.json'];
const examplesDir = path.join(repositoryDir, 'examples/js');

let project;
before(async () => {
  project = await scratchProject('package');
});

async function headerVersion() {
  const header = await readFile(path.join(repositoryDir, 'interface/KorvanCalcValueProviderC.h'),
                                'utf8');
  return ['MAJOR', 'MINOR', 'PATCH'].map((part) => new RegExp(
      `^#define KORVAN_VERSION_${part} (\\d+)$`, 'm').exec(header)[1]).join('.');
}

function node(args) {
  return run(process.execPath, args, {cwd: project});
}

test('the tarball holds the package\'s files and nothing else, named for its version', async () => {
  const file = await tarball();
  const version = await headerVersion();
  assert.equal(path.basename(file), `${PACKAGE_NAME}-${version}.tgz`);
  const listed = await run('tar', ['-tzf', file]);
  assert.deepEqual(listed.stdout.trim().split('\n').sort(), FILES.map((name) => `package/${name}`));
  const modes = await run('tar', ['-tvzf', file]);
  assert.doesNotMatch(modes.stdout, /^-..x/m, 'no file is executable');
});

test('the manifest is an ES module package with an exports map for Node, browsers and types',
     async () => {
  const manifest = JSON.parse(await readFile(
      path.join(project, 'node_modules', PACKAGE_NAME, 'package.json'), 'utf8'));
  assert.equal(manifest.name, PACKAGE_NAME);
  assert.equal(manifest.version, await headerVersion());
  assert.equal(manifest.type, 'module');
  assert.deepEqual(manifest.engines, {node: '>=20'});
  assert.deepEqual(manifest.exports, {
    '.': {types: './korvan.d.ts', node: './node.mjs', default: './korvan.mjs'},
    './korvan-wasm.wasm': './korvan-wasm.wasm',
    './package.json': './package.json',
  });
  assert.deepEqual(Object.keys(manifest.exports['.']), ['types', 'node', 'default'],
                   'types comes first, and default last');
  assert.deepEqual(manifest.files.slice().sort(), FILES.filter((name) => ![
    'LICENSE', 'README.md', 'package.json'].includes(name)));
  assert.equal(manifest.dependencies, undefined);
});

test('installed from the tarball, the package sizes the example in Node by its name', async () => {
  const script = `import {loadKorvan} from '${PACKAGE_NAME}'; const k = await loadKorvan(); ` +
                 'console.log(k.generate([1,0,3],[50,100,80]).scaleFactor)';
  const result = await node(['--input-type=module', '-e', script]);
  assert.equal(result.stderr, '');
  assert.equal(result.stdout, '5.348333333333334\n');
});

test('the exports map gives the .wasm and the manifest, and hides the rest', async () => {
  const script = `
    const resolve = (name) => { try { return import.meta.resolve(name); } catch (e) { return e.code; } };
    console.log(JSON.stringify(['${PACKAGE_NAME}', '${PACKAGE_NAME}/korvan-wasm.wasm',
      '${PACKAGE_NAME}/package.json', '${PACKAGE_NAME}/korvan-wasm.mjs',
      '${PACKAGE_NAME}/node.mjs'].map(resolve)));`;
  const result = await node(['--input-type=module', '-e', script]);
  const folder = `file://${path.join(project, 'node_modules', PACKAGE_NAME)}`;
  assert.deepEqual(JSON.parse(result.stdout), [`${folder}/node.mjs`, `${folder}/korvan-wasm.wasm`,
    `${folder}/package.json`, 'ERR_PACKAGE_PATH_NOT_EXPORTED', 'ERR_PACKAGE_PATH_NOT_EXPORTED']);
});

test('every Node example of the README prints what its .out file records', async () => {
  const examples = (await readdir(examplesDir)).filter((name) => name.endsWith('.mjs'));
  assert.ok(examples.length >= 3, examples.join(' '));
  for (const name of examples) {
    await copyFile(path.join(examplesDir, name), path.join(project, name));
    const result = await node([name]);
    assert.equal(result.stderr, '', name);
    assert.equal(result.stdout, await readFile(path.join(examplesDir, `${name}.out`), 'utf8'), name);
  }
});
