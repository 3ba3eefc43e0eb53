// The editor package's grammars run by VS Code's own tokenizer on the built-in texts (written by
// the tool under test) and on hand-written lines, and the manifest the editor reads.
//   node grammar_test.mjs SCENARIO_TOOL NPM_DIR
// NPM_DIR holds the node_modules with vscode-textmate and vscode-oniguruma.
import test from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const [tool, npmDir] = process.argv.slice(2);
if (!tool || !npmDir) throw new Error('usage: node grammar_test.mjs SCENARIO_TOOL NPM_DIR');
const requireTest = createRequire(path.join(path.resolve(npmDir), 'package.json'));
const tm = requireTest('vscode-textmate');
const onig = requireTest('vscode-oniguruma');

const extensionDir = fileURLToPath(new URL('../../editors/vscode/', import.meta.url));
const requireExtension = createRequire(path.join(extensionDir, 'package.json'));
const manifest = requireExtension('./package.json');

await onig.loadWASM(fs.readFileSync(requireTest.resolve('vscode-oniguruma/release/onig.wasm')).buffer);
const registry = new tm.Registry({
  onigLib: Promise.resolve({
    createOnigScanner: (sources) => new onig.OnigScanner(sources),
    createOnigString: (text) => new onig.OnigString(text),
  }),
  loadGrammar: async (scopeName) => {
    const entry = manifest.contributes.grammars.find((g) => g.scopeName === scopeName);
    const file = path.join(extensionDir, entry.path);
    return tm.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
  },
});
const grammars = {
  line: await registry.loadGrammar('source.scenario-line'),
  train: await registry.loadGrammar('source.scenario-train'),
};
const language = { line: 'scenario-line', train: 'scenario-train' };

// Each line with, for each character, the scopes of the token that covers it.
function tokenize(which, lines) {
  let stack = tm.INITIAL;
  return lines.map((text) => {
    const result = grammars[which].tokenizeLine(text, stack);
    stack = result.ruleStack;
    const scopes = new Array(text.length).fill([]);
    for (const t of result.tokens) {
      const foreign = t.scopes.find((s) => !s.endsWith(`.${language[which]}`));
      assert.equal(foreign, undefined, `a scope of '${text}' names no language`);
      for (let i = t.startIndex; i < Math.min(t.endIndex, text.length); i++) scopes[i] = t.scopes;
    }
    return { text, scopes, tokens: result.tokens };
  });
}

// Every non-blank character from `from` to `to` carries a scope of the kind `scope`
// (constant.numeric takes constant.numeric.integer.scenario-line).
function assertScoped(line, from, to, scope, what) {
  for (let i = from; i < to; i++) {
    if (line.text[i] === ' ' || line.text[i] === '\t') continue;
    assert.ok(
      line.scopes[i].some((s) => s === scope || s.startsWith(`${scope}.`)),
      `${what}: '${line.text.slice(from, to)}' in '${line.text}' is not ${scope} ` +
        `(column ${i + 1}: ${line.scopes[i].join(' ')})`,
    );
  }
}

function assertNothingInvalid(line) {
  for (const t of line.tokens) {
    const bad = t.scopes.find((s) => s.startsWith('invalid'));
    assert.equal(bad, undefined, `'${line.text.slice(t.startIndex, t.endIndex)}' in '${line.text}' is ${bad}`);
  }
}

// The keywords of the built-in texts, the kind each names, and whether its last field is text.
const builtInKeywords = {
  line: [
    [/^lunghezza percorso$/, 'route-length'],
    [/^progressiva chilometrica (uno|due|tre)$/, 'kilometric-range'],
    [/^sfondo (uno|due|tre)$/, 'scenery'],
    [/^ripetizione segnali 9 codici$/, 'signal-repetition'],
    [/^pendenza$/, 'gradient'],
    [/^curva[sd][1-6]$/, 'curve'],
    [/^montagna$/, 'mountain-span'],
    [/^indicatori_vmax$/, 'speed-board'],
    [/^cartello_indicatore$/, 'sign-board', 'string.unquoted.board-text'],
  ],
  train: [
    [/^numero vetture$/, 'coaches'],
    [/^percentuale massa frenata$/, 'braked-mass'],
    [/^sabbia$/, 'sand'],
    [/^orologio$/, 'clock'],
    [/^aderenza$/, 'adhesion'],
    [/^velocita$/, 'speed-limit'],
    [/^stazione$/, 'station', 'string.unquoted.station-name'],
    [/^rallentamento$/, 'slowdown'],
    [/^segnale$/, 'signal'],
  ],
};

const sources = fs.mkdtempSync(path.join(os.tmpdir(), 'scenario-grammar-'));
process.on('exit', () => fs.rmSync(sources, { recursive: true, force: true }));
execFileSync(tool, ['sources', sources], { stdio: ['ignore', 'ignore', 'inherit'] });
const builtIn = (suffix) => {
  const name = fs.readdirSync(sources).find((n) => n.endsWith(suffix));
  return new TextDecoder('windows-1252').decode(fs.readFileSync(path.join(sources, name))).split('\r\n').slice(0, -1);
};
const builtInTexts = { line: builtIn('_linea.txt'), train: builtIn('-.txt') };

for (const which of ['line', 'train']) {
  test(`every line of the built-in ${which} text is scoped as the reader takes it`, () => {
    let records = 0;
    for (const line of tokenize(which, builtInTexts[which])) {
      assertNothingInvalid(line);
      if (/^\[\w+\]$/.test(line.text)) {
        assertScoped(line, 0, line.text.length, `entity.name.section`, 'header');
        continue;
      }
      const comma = line.text.indexOf(',');
      const keyword = line.text.slice(0, comma);
      const known = builtInKeywords[which].find(([pattern]) => pattern.test(keyword));
      assert.ok(known, `no kind for the built-in keyword '${keyword}'`);
      const [, kind, textScope] = known;
      assertScoped(line, 0, comma, `keyword.other.${kind}`, 'keyword');

      // Numbers up to the text field (after the last comma), or to the line end.
      const textStart = textScope ? line.text.lastIndexOf(',') + 1 : line.text.length;
      for (const m of line.text.slice(0, textStart).matchAll(/[^\s,]+/g)) {
        if (m.index < comma) continue;
        assert.match(m[0], /^-?\d+$/, `a value of '${line.text}'`);
        assertScoped(line, m.index, m.index + m[0].length, 'constant.numeric', 'value');
      }
      for (const m of line.text.matchAll(/,/g)) {
        if (m.index < textStart) assertScoped(line, m.index, m.index + 1, 'punctuation.separator', 'comma');
      }
      if (textScope) {
        const text = line.text.slice(textStart).trim();
        const at = line.text.indexOf(text, textStart);
        assertScoped(line, at, at + text.length, textScope, 'text');
      }
      records++;
    }
    assert.ok(records > 100, `only ${records} records read`);
  });
}

// Hand-written lines, each placed where the reader reads it: after [generale] (the line's general
// section), among the records, or before [generale] where nothing is read.
const before = {
  'line general': ['[generale]'],
  'line records': ['[generale]', 'lunghezza percorso,    98000', '[curve]'],
  'line top': [],
  'train records': ['[generale]'],
  'train top': [],
};
const station = (name) => `stazione,   25400, 23,  200,  0, 0, 0,  0,0,0,  4,1,1,   30,   7,16,30, ${name}`;
const handWritten = [
  ['line records', 'pendenza,  18950,   -16', [['pendenza', 'keyword.other.gradient'], ['-16', 'constant.numeric']]],
  ['line records', 'PENDENZA,  100,  5', [['PENDENZA', 'keyword.other.gradient']]],
  ['line records', 'curva12,  850,  500', [['curva12', 'keyword.other.curve'], ['500', 'constant.numeric']]],
  ['line records', 'indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,  0', [[',  ,', 'punctuation.separator']]],
  ['line records', 'indicatori_vmax,  1100,  60,  70,  70,  0,  ,  ,  ,', [['indicatori_vmax', 'keyword.other.speed-board']]],
  ['line records', 'cartello_indicatore,  2950,   (PASSAGGIO)(A LIVELLO)',
    [['(PASSAGGIO)(A LIVELLO)', 'string.unquoted.board-text'], ['(', 'punctuation.definition.string.begin']]],
  ['line records', '------------------', [['-----', 'comment.line.separator']]],
  ['line records', '[curve]', [['curve', 'entity.name.section']]],
  ['line records', 'pendneza,  8450,   29', [['pendneza', 'invalid.deprecated']]],
  ['line records', 'cartello,  2200,   (PONTE)', [['cartello', 'invalid.deprecated']]],
  ['line records', 'lunghezza percorso,    98000', [['lunghezza percorso', 'invalid.deprecated']]],
  ['line records', 'pendenza,  8450,   2g', [['2g', 'invalid.illegal.not-a-number']]],
  ['line records', 'pendenza,  8450,   29,  7', [['7', 'invalid.illegal.extra-field']]],
  ['line general', 'LUNGHEZZA PERCORSO,    98000', [['LUNGHEZZA PERCORSO', 'keyword.other.route-length']]],
  ['line general', 'Progressiva chilometrica uno,    0,    98000,    1', [['Progressiva', 'invalid.deprecated']]],
  ['line general', 'progressiva chilometrica Uno,    0,    98000,    1', [['progressiva', 'invalid.deprecated']]],
  ['line general', 'ripetizione segnali 4 codici,    1000,    94800', [['ripetizione', 'keyword.other.signal-repetition']]],
  ['line general', 'pendenza,  0,   0', [['pendenza', 'invalid.deprecated']]],
  ['line top', 'lunghezza percorso,    98000', [['lunghezza', 'comment']]],
  ['train records', 'orologio,    6               36            30 ',
    [['6 ', 'constant.numeric'], ['36', 'constant.numeric'], ['30', 'constant.numeric']]],
  ['train records', station("CA' DEI BOSCHI"), [["CA' DEI BOSCHI", 'string.unquoted.station-name']]],
  ['train records', station('CASTELVECCHIO - TERME'), [['CASTELVECCHIO - TERME', 'string.unquoted.station-name']]],
  ['train records', station('SANTA MARIA DELLA CITTÀ'), [['CITTÀ', 'string.unquoted.station-name']]],
  ['train records', station('2 PONTI'), [['2 PONTI', 'string.unquoted.station-name']]],
  ['train records', station('SAN MARTINO, VALLE'), [[', VALLE', 'invalid.illegal.extra-field']]],
  ['train records', 'VELOCITÀ,    1100,    70', [['VELOCITÀ', 'keyword.other.speed-limit']]],
  ['train records', 'velocita,    1100,    7O', [['7O', 'invalid.illegal.not-a-number']]],
  ['train records', 'abbattimento,   12000,   100', [['abbattimento', 'keyword.other.code-point']]],
  ['train records', '[stazioni]', [['[stazioni]', 'entity.name.section']]],
  ['train top', 'numero vetture,    5', [['numero vetture,    5', 'comment']]],
];

test('hand-written lines are scoped as the reader takes them', () => {
  for (const [where, text, expected] of handWritten) {
    const which = where.split(' ')[0];
    const lines = tokenize(which, [...before[where], text]);
    const line = lines[lines.length - 1];
    for (const [fragment, scope] of expected) {
      const at = text.indexOf(fragment);
      assert.ok(at >= 0, fragment);
      assertScoped(line, at, at + fragment.length, `${scope}`, `${where}`);
    }
    if (!expected.some(([, scope]) => scope.startsWith('invalid'))) assertNothingInvalid(line);
  }
});

test('the committed grammars are those make-grammars.js writes', () => {
  const { grammars: made, serialise } = requireExtension('./syntaxes/make-grammars.js');
  for (const [name, g] of Object.entries(made)) {
    const committed = fs.readFileSync(path.join(extensionDir, 'syntaxes', name), 'utf8');
    assert.equal(committed, serialise(g), `syntaxes/${name} is stale: run node syntaxes/make-grammars.js`);
  }
});

test('the manifest gives each text its language, grammar and saving defaults', () => {
  const glob = (pattern) => new RegExp(`^${pattern.replace(/[.]/g, '\\.').replace(/\*/g, '.*')}$`);
  const languageOf = (file) =>
    manifest.contributes.languages.filter((l) => l.filenamePatterns.some((p) => glob(p).test(file))).map((l) => l.id);
  const title = 'MORENA LAGO - PIAN DI VALSO';
  assert.deepEqual(languageOf(`${title}_linea.txt`), ['scenario-line']);
  assert.deepEqual(languageOf(`${title}_R10537-.txt`), ['scenario-train']);
  assert.deepEqual(languageOf(`${title}_R10537_scheda_treno.txt`), []);

  for (const id of ['scenario-line', 'scenario-train']) {
    const lang = manifest.contributes.languages.find((l) => l.id === id);
    assert.ok(fs.existsSync(path.join(extensionDir, lang.configuration)), `${id} configuration`);
    const grammar = manifest.contributes.grammars.find((g) => g.language === id);
    const file = JSON.parse(fs.readFileSync(path.join(extensionDir, grammar.path), 'utf8'));
    assert.equal(file.scopeName, grammar.scopeName);
    assert.deepEqual(manifest.contributes.configurationDefaults[`[${id}]`], {
      'files.encoding': 'windows1252',
      'files.eol': '\r\n',
      'files.insertFinalNewline': true,
      'files.trimTrailingWhitespace': false,
    });
    assert.ok(manifest.activationEvents.includes(`onLanguage:${id}`));
  }

  const source = fs.readFileSync(path.join(extensionDir, manifest.main), 'utf8');
  for (const { command } of manifest.contributes.commands) assert.ok(source.includes(`'${command}'`), command);
  const settings = manifest.contributes.configuration.properties;
  assert.deepEqual(settings['scenarioTool.trace.server'].enum, ['off', 'messages', 'verbose']);
  assert.equal(settings['scenarioTool.path'].default, '');
  assert.ok(source.includes("new LanguageClient('scenarioTool'"), 'the client id reads scenarioTool.trace.server');

  // The client library's own floor of VS Code versions, as the lock file records it.
  const lock = requireExtension('./package-lock.json');
  const client = lock.packages['node_modules/vscode-languageclient'];
  assert.equal(manifest.dependencies['vscode-languageclient'], client.version);
  assert.equal(manifest.engines.vscode, client.engines.vscode);
});

test('a word is a keyword, a signed number or a word of a name', () => {
  const config = requireExtension('./language-configuration.json');
  const words = (text) => text.match(new RegExp(config.wordPattern, 'g'));
  assert.deepEqual(words('curvas5,  2200,  400'), ['curvas5', '2200', '400']);
  assert.deepEqual(words('indicatori_vmax,  1100,  ,  0'), ['indicatori_vmax', '1100', '0']);
  assert.deepEqual(words('pendenza,  18950,   -16'), ['pendenza', '18950', '-16']);
  assert.deepEqual(words("0, CA' DELLA CITTÀ"), ['0', 'CA', 'DELLA', 'CITTÀ']);
  assert.deepEqual(words('(PONTE SUL)(FIUME)'), ['PONTE', 'SUL', 'FIUME']);
});
