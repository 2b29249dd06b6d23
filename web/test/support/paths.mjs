// Where the tests find what `make web` and `make web-test` built; each can be named in the
// environment instead.
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const repository = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');

export const repositoryDir = repository;
export const siteDir = process.env.KORVAN_WEB_DIR ?? path.join(repository, 'build/web');
export const npmDir = process.env.KORVAN_NPM_DIR ?? path.join(repository, 'build/npm');
export const packageDir = path.join(npmDir, 'package');
export const artifactDir = process.env.KORVAN_WEB_TEST_DIR ?? path.join(repository, 'build/web-test');
export const nativeCases = process.env.KORVAN_NATIVE_CASES ?? path.join(artifactDir, 'korvan-web-cases');
export const inPageDir = path.join(path.dirname(fileURLToPath(import.meta.url)), '../in-page');
