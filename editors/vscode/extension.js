// The editor side of the scenario texts: starts `scenario-tool lsp` for the line description,
// the train service text and the project file scenario.ini, and folds the texts by section.
'use strict';

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');
const { findProgram } = require('./find-program');
const { sectionRanges } = require('./sections');

const TEXTS = [
  { scheme: 'file', language: 'scenario-line' },
  { scheme: 'untitled', language: 'scenario-line' },
  { scheme: 'file', language: 'scenario-train' },
  { scheme: 'untitled', language: 'scenario-train' },
];
// scenario.ini names the pair of texts; the server reads it, the editor only hands it over.
const SERVED = [...TEXTS, { scheme: 'file', language: 'ini', pattern: '**/scenario.ini' }];

let output;
let watcher;
let client;
let starting;
// The missing program is told once, not for every text opened; a restart tells it again.
let told = false;

function served(document) {
  return vscode.languages.match(SERVED, document) > 0;
}

async function tellMissing(found) {
  if (told) return;
  told = true;
  let message;
  if (found.setting) {
    message = `Scenario: the setting scenarioTool.path names ${found.setting}, which is not a program.`;
  } else {
    message =
      'Scenario: scenario-tool was not found, so the texts are coloured but not checked. ' +
      'Install scenario-builder, or set scenarioTool.path to the program.';
    output.appendLine(`scenario-tool was looked for in: ${found.looked.join('; ')}`);
  }
  output.appendLine(message);
  const choice = await vscode.window.showErrorMessage(message, 'Open setting');
  if (choice === 'Open setting') {
    await vscode.commands.executeCommand('workbench.action.openSettings', 'scenarioTool.path');
  }
}

async function startOnce() {
  const folder = vscode.workspace.workspaceFolders && vscode.workspace.workspaceFolders[0];
  const found = findProgram({
    setting: vscode.workspace.getConfiguration('scenarioTool').get('path', ''),
    workspace: folder ? folder.uri.fsPath : undefined,
  });
  if (!found.path) {
    await tellMissing(found);
    return;
  }
  output.appendLine(`Starting ${found.path} lsp`);
  const serverOptions = {
    command: found.path,
    args: ['lsp'],
    options: folder ? { cwd: folder.uri.fsPath } : {},
  };
  const clientOptions = {
    documentSelector: SERVED,
    outputChannel: output,
    synchronize: { fileEvents: watcher },
  };
  // The id makes the client read its trace level from scenarioTool.trace.server.
  client = new LanguageClient('scenarioTool', 'Scenario texts', serverOptions, clientOptions);
  try {
    await client.start();
  } catch (error) {
    // The client has already shown the failure; the log keeps it.
    output.appendLine(`scenario-tool lsp did not start: ${error && error.message}`);
  }
}

function start() {
  if (client) return Promise.resolve();
  if (!starting) {
    starting = startOnce().finally(() => {
      starting = undefined;
    });
  }
  return starting;
}

async function stop() {
  if (starting) await starting;
  const running = client;
  client = undefined;
  if (running) {
    try {
      await running.stop();
    } catch (error) {
      output.appendLine(`scenario-tool lsp did not stop cleanly: ${error && error.message}`);
    }
  }
}

async function restart() {
  await stop();
  told = false;
  if (vscode.workspace.textDocuments.some(served)) await start();
}

function activate(context) {
  output = vscode.window.createOutputChannel('Scenario texts');
  // An edit of the other text of the pair, or of scenario.ini, outside the editor.
  watcher = vscode.workspace.createFileSystemWatcher('**/{*_linea.txt,*-.txt,scenario.ini}');
  context.subscriptions.push(
    output,
    watcher,
    vscode.commands.registerCommand('scenarioTool.restartServer', restart),
    vscode.workspace.onDidOpenTextDocument((document) => {
      if (served(document)) start();
    }),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration('scenarioTool.path') && (client || told)) restart();
    }),
    vscode.languages.registerFoldingRangeProvider(TEXTS, {
      provideFoldingRanges(document) {
        const lines = [];
        for (let i = 0; i < document.lineCount; i++) lines.push(document.lineAt(i).text);
        return sectionRanges(lines).map(
          ([first, last]) => new vscode.FoldingRange(first, last, vscode.FoldingRangeKind.Region),
        );
      },
    }),
  );
  // Started with the first text it serves, so that an ini file elsewhere starts nothing.
  if (vscode.workspace.textDocuments.some(served)) start();
}

function deactivate() {
  return stop();
}

module.exports = { activate, deactivate };
