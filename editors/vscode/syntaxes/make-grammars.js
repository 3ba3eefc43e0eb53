// Writes the two TextMate grammars from one table of record kinds per text:
//   node syntaxes/make-grammars.js
// The grammars colour a keyword by the kind the reader takes it for: a word it contains (in any
// case, or exactly as written for some words of the line's general section), tested in the
// reader's order, the first kind found naming the colour. The tests compare the committed files
// with what this writes.
'use strict';

const fs = require('fs');
const path = require('path');

// The keyword field runs from the first non-blank character to the first comma or the line end.
const inField = (word) => `(?=[^,]*${word})`;
const anyCase = (word) => inField(`(?i:${word})`);
const exactly = (word) => inField(word);

const lineText = {
  language: 'scenario-line',
  name: 'Scenario line description',
  // Read only between [generale] and the next header.
  general: [
    { kind: 'route-length', test: anyCase('lunghezza') + anyCase('percorso'), values: 1 },
    { kind: 'kilometric-range', test: exactly('progressiva') + exactly('(?:tre|due|uno)'), values: 3 },
    { kind: 'scenery', test: exactly('sfondo') + exactly('(?:uno|due|tre)'), values: 1 },
    { kind: 'signal-repetition', test: exactly('segnali') + exactly('ripetizione'), values: 2 },
  ],
  // Read only after the general section.
  records: [
    { kind: 'gradient', test: anyCase('pendenza'), values: 2 },
    { kind: 'curve', test: anyCase('curva'), values: 2 },
    { kind: 'mountain-span', test: anyCase('montagna'), values: 3 },
    { kind: 'speed-board', test: anyCase('indicatori_v'), values: 9 },
    { kind: 'sign-board', test: anyCase('indicat') + anyCase('cartello'), values: 1, text: 'board-text' },
  ],
};

const trainText = {
  language: 'scenario-train',
  name: 'Scenario train service',
  general: null,
  // Read anywhere after [generale].
  records: [
    { kind: 'braked-mass', test: anyCase('frenata') + anyCase('massa'), values: 1 },
    { kind: 'coaches', test: anyCase('vetture'), values: 1 },
    { kind: 'speed-limit', test: anyCase('velocit'), values: 2 },
    { kind: 'adhesion', test: anyCase('aderenza'), values: 2 },
    { kind: 'clock', test: anyCase('orologio'), values: 3 },
    { kind: 'sand', test: anyCase('sabbia'), values: 1 },
    { kind: 'signal', test: anyCase('segnale'), values: 11 },
    { kind: 'slowdown', test: anyCase('rallentamento'), values: 6 },
    { kind: 'code-point', test: anyCase('abbattimento'), values: 2 },
    { kind: 'station', test: anyCase('stazione'), values: 16, text: 'station-name' },
  ],
};

// One number field as the reader takes it: blanks, then a comma alone (an empty value, 0) or a
// number that ends at a blank, a comma or the line end, with the blanks and the comma after it.
// Atomic, so that a number never gives its comma back to pose as an empty field.
const numberEnd = '(?=[ \\t,]|$)';
const field = `(?>[ \\t]*(?:,|[-+]?[0-9]+${numberEnd}[ \\t]*,?))`;
// The last one may also be empty at the line end, after a comma.
const lastField = `(?:${field}|(?<=,)[ \\t]*$)`;
const fields = (n) => (n > 1 ? `${field}{${n - 1}}` : '') + lastField;

function grammar(text) {
  const s = (scope) => `${scope}.${text.language}`;
  const keyword = (test) => `^[ \\t]*${test}([^,]*?)[ \\t]*(?=,|$)`;

  const record = ({ kind, test, values, text: textField }) => {
    // The values when the line holds them all; a text field runs to the next comma.
    const complete = textField
      ? {
          match: `\\G(,)(${fields(values)})[ \\t]*([^,]*?)[ \\t]*(,.*)?$`,
          captures: {
            1: { name: s('punctuation.separator.comma') },
            2: { patterns: [{ include: '#number-values' }] },
            3: {
              name: s(`string.unquoted.${textField}`),
              patterns: textField === 'board-text' ? [{ include: '#board-lines' }] : [],
            },
            4: { name: s('invalid.illegal.extra-field') },
          },
        }
      : {
          match: `\\G(,)(${fields(values)})[ \\t]*(.*)$`,
          captures: {
            1: { name: s('punctuation.separator.comma') },
            2: { patterns: [{ include: '#number-values' }] },
            3: { name: s('invalid.illegal.extra-field') },
          },
        };
    return {
      name: s(`meta.record.${kind}`),
      begin: keyword(test),
      beginCaptures: { 1: { name: s(`keyword.other.${kind}`) } },
      end: '$',
      patterns: [complete, { include: '#loose-values' }],
    };
  };

  const repository = {
    'section-header': {
      match: '^[ \\t]*((\\[)[^\\[\\],]*(\\]))[ \\t]*$',
      captures: {
        1: { name: s('entity.name.section') },
        2: { name: s('punctuation.definition.section.begin') },
        3: { name: s('punctuation.definition.section.end') },
      },
    },
    // A keyword field holding a dash is passed over by the reader.
    separator: { match: '^[ \\t]*[^,]*-.*$', name: s('comment.line.separator') },
    // A keyword field the reader takes for no kind: the line is lost.
    'unknown-keyword': {
      begin: '^[ \\t]*([^, \\t][^,]*?)[ \\t]*(?=,|$)',
      beginCaptures: { 1: { name: s('invalid.deprecated.unknown-keyword') } },
      end: '$',
      patterns: [{ include: '#number-values' }],
    },
    'number-values': {
      patterns: [
        { match: ',', name: s('punctuation.separator.comma') },
        { match: `[-+]?[0-9]+${numberEnd}`, name: s('constant.numeric.integer') },
      ],
    },
    // A record whose line lacks some of its values: what is not a number cannot be read.
    'loose-values': {
      patterns: [
        { include: '#number-values' },
        { match: '[^ \\t,]+', name: s('invalid.illegal.not-a-number') },
      ],
    },
    'board-lines': {
      match: '(\\()[^()]*(\\))',
      captures: {
        1: { name: s('punctuation.definition.string.begin') },
        2: { name: s('punctuation.definition.string.end') },
      },
    },
    records: { patterns: text.records.map(record) },
  };

  // The reader ignores everything before the first [generale].
  const generale = '^[ \\t]*([^,]*?(?i:\\[generale\\])[^,]*?)[ \\t]*(?=,|$)';
  const body = (patterns) => ({
    begin: generale,
    beginCaptures: {
      1: { name: s('entity.name.section'), patterns: [{ include: '#brackets' }] },
    },
    end: '(?!)',
    patterns,
  });
  repository.brackets = {
    patterns: [
      { match: '\\[', name: s('punctuation.definition.section.begin') },
      { match: '\\]', name: s('punctuation.definition.section.end') },
    ],
  };

  const recordPart = ['#separator', '#records', '#section-header', '#unknown-keyword'];
  const include = (names) => names.map((name) => ({ include: name }));
  if (text.general) {
    // The general section ends at the first keyword field holding "[" and "]" and no dash;
    // from there on only the records are read, to the end of the text.
    repository.general = { patterns: text.general.map(record) };
    repository['record-part'] = {
      begin: '^(?=[ \\t]*(?![^,]*-)[^,]*\\[)(?=[^,]*\\])',
      end: '(?!)',
      patterns: include(recordPart),
    };
    repository.body = body(include(['#record-part', '#separator', '#general', '#unknown-keyword']));
  } else {
    repository.body = body(include(recordPart));
  }

  return {
    name: text.name,
    scopeName: `source.${text.language}`,
    patterns: [{ include: '#body' }, { match: '^.+$', name: s('comment.block.preamble') }],
    repository,
  };
}

const grammars = {
  'scenario-line.tmLanguage.json': grammar(lineText),
  'scenario-train.tmLanguage.json': grammar(trainText),
};

const serialise = (g) => JSON.stringify(g, null, 2) + '\n';

module.exports = { grammars, serialise };

if (require.main === module) {
  for (const [name, g] of Object.entries(grammars)) {
    fs.writeFileSync(path.join(__dirname, name), serialise(g));
  }
}
