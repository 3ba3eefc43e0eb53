// The VS Code client: where it looks for scenario-tool on each platform, the sections it folds,
// and the client itself in a stand-in editor, talking to a stand-in server over standard input
// and output.
//   node client_test.mjs NPM_DIR
// NPM_DIR holds the node_modules with vscode-languageclient.
import test from 'node:test';
import assert from 'node:assert/strict';
import Module, { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [npmDir] = process.argv.slice(2);
if (!npmDir) throw new Error('usage: node client_test.mjs NPM_DIR');
const require = createRequire(new URL('../../editors/vscode/package.json', import.meta.url));
const requireTest = createRequire(path.join(path.resolve(npmDir), 'package.json'));
const { findProgram } = require('./find-program.js');
const { sectionRanges } = require('./sections.js');
const { makeVscode, document } = createRequire(import.meta.url)('./fake_vscode.cjs');

const local = 'C:\\Users\\ada\\AppData\\Local';
const localRoot = `${local}\\Programs\\scenario-builder`;
const programsRoot = 'C:\\Program Files\\scenario-builder';
const winEnv = { Path: 'C:\\Windows;C:\\Tools', LOCALAPPDATA: local, ProgramFiles: 'C:\\Program Files' };
const linuxEnv = { PATH: '/usr/local/bin:/usr/bin', HOME: '/home/ada' };

// [what, platform, setting, env, programs on disk, folder listings, expected]
const searches = [
  ['the first on PATH', 'linux', '', linuxEnv, ['/usr/bin/scenario-tool', '/usr/local/bin/scenario-tool'], {},
    { path: '/usr/local/bin/scenario-tool' }],
  ['the setting before PATH', 'linux', '/opt/sb/scenario-tool', linuxEnv, ['/opt/sb/scenario-tool', '/usr/bin/scenario-tool'], {},
    { path: '/opt/sb/scenario-tool' }],
  ['a relative setting from the workspace', 'linux', 'bin/scenario-tool', linuxEnv, ['/work/route/bin/scenario-tool'], {},
    { path: '/work/route/bin/scenario-tool' }],
  ['a setting from home', 'linux', '~/bin/scenario-tool', linuxEnv, ['/home/ada/bin/scenario-tool'], {},
    { path: '/home/ada/bin/scenario-tool' }],
  ['a setting that names nothing, with no fallback', 'linux', '/opt/none', linuxEnv, ['/usr/bin/scenario-tool'], {},
    { setting: '/opt/none' }],
  ['nowhere on Linux', 'linux', '', linuxEnv, [], {}, { looked: ['the search path (PATH)'] }],
  ['the .exe on Path, in any spelling of the name', 'win32', '', winEnv, ['C:\\Tools\\scenario-tool.exe'], {},
    { path: 'C:\\Tools\\scenario-tool.exe' }],
  ['the unpacked folder under LOCALAPPDATA', 'win32', '', winEnv, [`${localRoot}\\scenario-tool.exe`], {},
    { path: `${localRoot}\\scenario-tool.exe` }],
  ['the zip folder of the newest version', 'win32', '', winEnv,
    ['1.0.0', '1.9.0', '1.10.0'].map((v) => `${localRoot}\\scenario-builder-${v}-win64\\scenario-tool.exe`),
    { [localRoot]: ['scenario-builder-1.0.0-win64', 'scenario-builder-1.10.0-win64', 'scenario-builder-1.9.0-win64', 'notes.txt'] },
    { path: `${localRoot}\\scenario-builder-1.10.0-win64\\scenario-tool.exe` }],
  ['the zip folder under ProgramFiles', 'win32', '', winEnv,
    [`${programsRoot}\\scenario-builder-1.0.0-win64\\scenario-tool.exe`],
    { [programsRoot]: ['scenario-builder-1.0.0-win64'] },
    { path: `${programsRoot}\\scenario-builder-1.0.0-win64\\scenario-tool.exe` }],
  ['LOCALAPPDATA before ProgramFiles', 'win32', '', winEnv,
    [`${programsRoot}\\scenario-tool.exe`, `${localRoot}\\scenario-tool.exe`], {},
    { path: `${localRoot}\\scenario-tool.exe` }],
  ['nowhere on Windows', 'win32', '', winEnv, ['C:\\Tools\\scenario-tool'], {},
    { looked: ['the search path (PATH)', localRoot, programsRoot] }],
];

test('the program is found where an author puts it', () => {
  for (const [what, platform, setting, env, programs, listings, expected] of searches) {
    const found = findProgram({
      setting,
      workspace: platform === 'win32' ? 'C:\\route' : '/work/route',
      platform,
      env,
      isProgram: (file) => programs.includes(file),
      list: (dir) => listings[dir] || [],
    });
    assert.deepEqual(found, expected, what);
  }
});

test('a section folds from its header to its last line before the next header', () => {
  const cases = [
    [['[generale]', 'a, 1', 'b, 2', '[curve]', 'curvas3, 850, 500', '[fine]'], [[0, 2], [3, 4]]],
    [['[a]', 'x, 1', '', '', '[b]', 'y, 2', ''], [[0, 1], [4, 5]]],
    [['ignored', '[a]', '[b]', '  [c] ', 'z, 3'], [[3, 4]]],
    [['[a]', '[a] x', '[b],1'], [[0, 2]]],
  ];
  for (const [lines, expected] of cases) assert.deepEqual(sectionRanges(lines), expected, lines.join(' | '));
});

test('the client library under test is the one the extension ships', () => {
  const shipped = require('./package.json').dependencies['vscode-languageclient'];
  assert.equal(requireTest('vscode-languageclient/package.json').version, shipped);
});

// The extension as the editor loads it, against a stand-in editor, with a fresh module state.
let editor;
const load = Module._load;
Module._load = function (request, ...rest) {
  if (request === 'vscode') return editor;
  if (request.startsWith('vscode-languageclient')) request = requireTest.resolve(request);
  return load.call(this, request, ...rest);
};
function loadExtension(vscode) {
  editor = vscode;
  delete require.cache[require.resolve('./extension.js')];
  return require('./extension.js');
}

async function until(what, condition) {
  for (let waited = 0; !condition(); waited += 20) {
    assert.ok(waited < 20000, `waited in vain for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

test('the client runs scenario-tool lsp for the texts and scenario.ini alone, restarts and stops it', async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-client-'));
  const program = path.join(dir, 'scenario-tool');
  const server = fileURLToPath(new URL('fake_lsp_server.mjs', import.meta.url));
  fs.writeFileSync(program, `#!/bin/sh\nexec "${process.execPath}" "${server}" "$@"\n`, { mode: 0o755 });
  process.env.FAKE_LSP_LOG = path.join(dir, 'log');
  // The complete lines only: the server may be writing the next one.
  const log = () =>
    fs.existsSync(process.env.FAKE_LSP_LOG)
      ? fs.readFileSync(process.env.FAKE_LSP_LOG, 'utf8').split('\n').slice(0, -1).map((l) => JSON.parse(l))
      : [];
  const opened = () => log().filter((e) => e.method === 'textDocument/didOpen').map((e) => e.params.textDocument);
  const count = (method) => log().filter((e) => e.method === method).length;

  const text = '[generale]\nlunghezza percorso, 98000\n[curve]\ncurvas3, 850, 500\n[fine]';
  const line = document(path.join(dir, 'R_linea.txt'), 'scenario-line', text);
  const { vscode, record, open } = makeVscode({ settings: { 'scenarioTool.path': program }, documents: [line] });
  const extension = loadExtension(vscode);
  extension.activate({ subscriptions: [] });
  try {
    await until('the line text to be opened', () => opened().length === 1);
    assert.deepEqual(log()[0], { argv: ['lsp'] });
    assert.equal(count('initialized'), 1);
    assert.deepEqual(opened()[0].languageId, 'scenario-line');

    open(document(path.join(dir, 'other.ini'), 'ini'));
    open(document(path.join(dir, 'scenario.ini'), 'ini'));
    open(document(path.join(dir, 'R_X-.txt'), 'scenario-train'));
    await until('scenario.ini and the train text', () => opened().length >= 3);
    assert.deepEqual(opened().map((d) => path.basename(d.uri)), ['R_linea.txt', 'scenario.ini', 'R_X-.txt']);

    const [folds] = record.folding;
    assert.deepEqual(
      folds.provider.provideFoldingRanges(line).map((r) => [r.start, r.end]),
      [[0, 1], [2, 3]],
    );

    await record.commands.find((c) => c.id === 'scenarioTool.restartServer').run();
    assert.equal(count('shutdown'), 1);
    await until('the first server to be told to exit', () => count('exit') === 1);
    await until('the restarted server to have all three again', () => opened().length >= 6);
    assert.equal(opened().length, 6);
    assert.equal(count('initialize'), 2);
  } finally {
    await extension.deactivate();
  }
  await until('the second server to be told to exit', () => count('exit') === 2);
  assert.equal(record.errors.length, 0);
  fs.rmSync(dir, { recursive: true, force: true });
});

test('a missing program is told once, with a button that opens the setting', async () => {
  const empty = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-client-'));
  const searchPath = process.env.PATH;
  process.env.PATH = empty;
  try {
    for (const [setting, told] of [
      ['', /scenario-tool was not found/],
      [path.join(empty, 'scenario-tool'), /scenarioTool.path names .*scenario-tool, which is not a program/],
    ]) {
      const first = document(path.join(empty, 'R_linea.txt'), 'scenario-line');
      const { vscode, record, open } = makeVscode({
        settings: { 'scenarioTool.path': setting },
        documents: [first],
        answer: 'Open setting',
      });
      const extension = loadExtension(vscode);
      extension.activate({ subscriptions: [] });
      open(document(path.join(empty, 'R_X-.txt'), 'scenario-train'));
      await until('the message', () => record.executed.length > 0);
      open(document(path.join(empty, 'scenario.ini'), 'ini'));
      await new Promise((resolve) => setTimeout(resolve, 100));
      assert.equal(record.errors.length, 1);
      assert.match(record.errors[0].message, told);
      assert.deepEqual(record.errors[0].items, ['Open setting']);
      assert.deepEqual(record.executed, [['workbench.action.openSettings', 'scenarioTool.path']]);
      await extension.deactivate();
    }
  } finally {
    process.env.PATH = searchPath;
    fs.rmSync(empty, { recursive: true, force: true });
  }
});
