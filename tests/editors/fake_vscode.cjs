// As much of the editor's API as the extension and its client library touch while they start a
// server, open documents and stop it; whatever else they ask for is a no-op that can be disposed.
'use strict';

const path = require('path');

class Disposable {
  constructor(dispose = () => {}) {
    this.dispose = dispose;
  }
  static from(...items) {
    return new Disposable(() => items.forEach((d) => d && d.dispose && d.dispose()));
  }
}

class EventEmitter {
  constructor() {
    this.listeners = [];
    this.event = (listener) => {
      this.listeners.push(listener);
      return new Disposable(() => (this.listeners = this.listeners.filter((l) => l !== listener)));
    };
  }
  fire(value) {
    this.listeners.forEach((l) => l(value));
  }
  dispose() {
    this.listeners = [];
  }
}

class Uri {
  constructor(scheme, fsPath) {
    this.scheme = scheme;
    this.fsPath = fsPath;
    this.path = fsPath;
  }
  static file(p) {
    return new Uri('file', p);
  }
  static parse(text) {
    return new Uri(text.split(':')[0], text.replace(/^file:\/\//, ''));
  }
  toString() {
    return `${this.scheme}://${this.fsPath}`;
  }
}

class CancellationTokenSource {
  constructor() {
    this.token = { isCancellationRequested: false, onCancellationRequested: () => new Disposable() };
  }
  cancel() {
    this.token.isCancellationRequested = true;
  }
  dispose() {}
}

// Anything the tests do not look at: a function that returns a disposable, a class to extend,
// or an object of more of the same.
const anything = () =>
  new Proxy(function stub() {}, {
    get: (target, name) => {
      if (name === 'then') return undefined;
      if (name === 'prototype') return target.prototype;
      return anything();
    },
    apply: () => new Disposable(),
  });
const withDefaults = (object) =>
  new Proxy(object, { get: (target, name) => (name in target || name === 'then' ? target[name] : anything()) });

function matches(filter, document) {
  if (filter.language && filter.language !== document.languageId) return false;
  if (filter.scheme && filter.scheme !== document.uri.scheme) return false;
  // The extension's one pattern is **/NAME.
  if (filter.pattern && path.basename(document.uri.fsPath) !== filter.pattern.replace('**/', '')) return false;
  return true;
}

function document(file, languageId, text = '') {
  const lines = text.split('\n');
  return {
    uri: Uri.file(file),
    fileName: file,
    languageId,
    version: 1,
    isClosed: false,
    isUntitled: false,
    getText: () => text,
    lineCount: lines.length,
    lineAt: (i) => ({ text: lines[i] }),
  };
}

// settings: values by full name; answer: what the error message's button returns.
function makeVscode({ settings = {}, documents = [], answer } = {}) {
  const opened = new EventEmitter();
  const record = { errors: [], commands: [], executed: [], folding: [] };
  const vscode = withDefaults({
    version: '1.82.0',
    Disposable,
    EventEmitter,
    Uri,
    CancellationTokenSource,
    CancellationError: class extends Error {},
    FoldingRange: class {
      constructor(start, end, kind) {
        Object.assign(this, { start, end, kind });
      }
    },
    FoldingRangeKind: { Comment: 1, Imports: 2, Region: 3 },
    ProgressLocation: { SourceControl: 1, Window: 10, Notification: 15 },
    env: withDefaults({ appName: 'fake editor', language: 'en' }),
    workspace: withDefaults({
      textDocuments: documents,
      workspaceFolders: undefined,
      onDidOpenTextDocument: opened.event,
      getConfiguration: (section) => ({
        get: (key, fallback) => {
          const name = section ? `${section}.${key}` : key;
          return name in settings ? settings[name] : fallback;
        },
      }),
      createFileSystemWatcher: () => withDefaults({ dispose() {} }),
    }),
    window: withDefaults({
      createOutputChannel: (name) => withDefaults({ name, lines: [], appendLine() {}, append() {} }),
      showErrorMessage: async (message, ...items) => {
        record.errors.push({ message, items });
        return answer;
      },
      activeTextEditor: undefined,
      tabGroups: withDefaults({ all: [] }),
    }),
    languages: withDefaults({
      match: (selector, doc) => ([].concat(selector).some((f) => matches(f, doc)) ? 10 : 0),
      registerFoldingRangeProvider: (selector, provider) => {
        record.folding.push({ selector, provider });
        return new Disposable();
      },
      createDiagnosticCollection: () => withDefaults({ dispose() {} }),
    }),
    commands: withDefaults({
      registerCommand: (id, run) => {
        record.commands.push({ id, run });
        return new Disposable();
      },
      executeCommand: async (...args) => {
        record.executed.push(args);
      },
    }),
  });
  // Opens a document as the editor does: into the list, then the event.
  const open = (doc) => {
    documents.push(doc);
    opened.fire(doc);
  };
  return { vscode, record, open };
}

module.exports = { makeVscode, document };
