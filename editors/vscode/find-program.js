// Where the extension looks for scenario-tool. Kept apart from the editor so that the tests can
// walk it with a made-up file system for each platform.
'use strict';

const fs = require('fs');
const path = require('path');

function programName(platform) {
  return platform === 'win32' ? 'scenario-tool.exe' : 'scenario-tool';
}

// Windows spells its variables in any case (Path, PATH); elsewhere they are exact.
function envVar(env, name, platform) {
  if (platform !== 'win32') return env[name];
  const key = Object.keys(env).find((k) => k.toUpperCase() === name.toUpperCase());
  return key === undefined ? undefined : env[key];
}

// Newest version first among the folders the Windows zip unpacks to.
function zipFolders(entries) {
  const version = (name) => /^scenario-builder-(.+)-win64$/i.exec(name);
  const parts = (name) => version(name)[1].split(/[.-]/).map((p) => (/^\d+$/.test(p) ? Number(p) : p));
  const newer = (a, b) => {
    const pa = parts(a);
    const pb = parts(b);
    for (let i = 0; i < Math.max(pa.length, pb.length); i++) {
      if (pa[i] === pb[i]) continue;
      if (pa[i] === undefined) return 1;
      if (pb[i] === undefined) return -1;
      if (typeof pa[i] === 'number' && typeof pb[i] === 'number') return pb[i] - pa[i];
      return String(pb[i]).localeCompare(String(pa[i]));
    }
    return 0;
  };
  return entries.filter(version).sort(newer);
}

function isProgramOnDisk(file, platform) {
  try {
    if (!fs.statSync(file).isFile()) return false;
    if (platform !== 'win32') fs.accessSync(file, fs.constants.X_OK);
    return true;
  } catch {
    return false;
  }
}

function listOnDisk(dir) {
  try {
    return fs.readdirSync(dir);
  } catch {
    return [];
  }
}

/**
 * Finds the program: the setting scenarioTool.path when it is set; else scenario-tool on the
 * search path; else, on Windows, the folders where an author unpacks the zip.
 * Returns { path } when found, else { setting } (a setting that names no program) or
 * { looked } (the places searched), for the message that tells the author.
 */
function findProgram({
  setting = '',
  workspace,
  platform = process.platform,
  env = process.env,
  isProgram = (file) => isProgramOnDisk(file, platform),
  list = listOnDisk,
}) {
  const p = platform === 'win32' ? path.win32 : path.posix;
  const name = programName(platform);

  const wanted = setting.trim();
  if (wanted) {
    let file = wanted;
    const home = envVar(env, platform === 'win32' ? 'USERPROFILE' : 'HOME', platform);
    if (home && (file === '~' || file.startsWith('~/') || file.startsWith('~\\'))) {
      file = p.join(home, file.slice(1));
    }
    if (!p.isAbsolute(file) && workspace) file = p.resolve(workspace, file);
    return isProgram(file) ? { path: file } : { setting: file };
  }

  const looked = [];
  const search = envVar(env, 'PATH', platform) || '';
  for (const dir of search.split(p.delimiter)) {
    if (!dir) continue;
    const file = p.join(dir, name);
    if (isProgram(file)) return { path: file };
  }
  looked.push('the search path (PATH)');

  if (platform === 'win32') {
    const roots = [];
    const local = envVar(env, 'LOCALAPPDATA', platform);
    if (local) roots.push(p.join(local, 'Programs', 'scenario-builder'));
    const programs = envVar(env, 'ProgramFiles', platform);
    if (programs) roots.push(p.join(programs, 'scenario-builder'));
    for (const root of roots) {
      const candidates = [p.join(root, name)];
      for (const folder of zipFolders(list(root))) candidates.push(p.join(root, folder, name));
      const file = candidates.find((c) => isProgram(c));
      if (file) return { path: file };
      looked.push(root);
    }
  }
  return { looked };
}

module.exports = { findProgram, programName };
