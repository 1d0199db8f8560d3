// The page's worker: the program's module runs here, off the page's thread,
// so that a hostile file can hang nothing but this worker (the page then
// ends it and starts another). Each request gets its files written into the
// module's memory, the commands run on them as on the command line, and the
// files removed again.
'use strict';
let printed = [];
let complained = [];
const ready = TavoModule({
  print: (s) => printed.push(s),
  printErr: (s) => complained.push(s),
});

function run(mod, args) {
  printed = [];
  complained = [];
  const status = mod.callMain(args);
  return { status, out: printed.join('\n'), err: complained.join('\n') };
}

// A name of the memory's folder for a picked file: its own name, without
// anything that would make it a path.
function put(mod, folder, index, name, bytes) {
  mod.FS.mkdirTree(folder + '/' + index);
  const path = folder + '/' + index + '/' + name.replace(/[\/\\]/g, '_');
  mod.FS.writeFile(path, new Uint8Array(bytes));
  return path;
}

function removeTree(mod, path) {
  let st;
  try { st = mod.FS.stat(path); } catch (e) { return; }
  if (mod.FS.isDir(st.mode)) {
    for (const n of mod.FS.readdir(path)) if (n !== '.' && n !== '..') removeTree(mod, path + '/' + n);
    mod.FS.rmdir(path);
  } else {
    mod.FS.unlink(path);
  }
}

function readOps(mod, path) {
  const text = mod.FS.readFile(path, { encoding: 'utf8' });
  mod.FS.unlink(path);
  return text.split('\n').filter((l) => l.length > 0).map((l) => JSON.parse(l));
}

function analyse(mod, req) {
  const path = put(mod, '/in', 0, req.name, req.bytes);
  try {
    // The panel first (it says whether the file can be read at all).
    let panel = null;
    let messages = '';
    if (req.panel !== false) {
      const p = run(mod, ['panel', path]);
      panel = JSON.parse(p.out || '{}');
      messages = p.err;
    }
    const views = {};
    if (!panel || panel.readable) {
      for (const view of req.views || ['chart', 'table', 'card']) {
        const args = ['render', '--view', view, '-o', '/view.json'];
        if (req.cycle) args.push('--cycle', String(req.cycle));
        args.push(path);
        const r = run(mod, args);
        if (r.err) messages += (messages ? '\n' : '') + r.err;
        views[view] = r.status === 0 ? readOps(mod, '/view.json') : null;
      }
    }
    return { panel, views, messages };
  } finally {
    removeTree(mod, '/in');
  }
}

function exportTests(mod, req) {
  const paths = req.files.map((f, i) => put(mod, '/ex', i, f.name, f.bytes));
  try {
    const r = run(mod, ['export', '-o', '/exchange.txt', ...paths]);
    let bytes = new Uint8Array(0);
    try {
      bytes = mod.FS.readFile('/exchange.txt');
      mod.FS.unlink('/exchange.txt');
    } catch (e) { /* nothing written */ }
    return { status: r.status, bytes: bytes.buffer, messages: r.err };
  } finally {
    removeTree(mod, '/ex');
  }
}

ready.then((mod) => {
  self.onmessage = (e) => {
    const req = e.data;
    try {
      if (req.type === 'analyse') {
        self.postMessage({ id: req.id, ...analyse(mod, req) });
      } else if (req.type === 'export') {
        const r = exportTests(mod, req);
        self.postMessage({ id: req.id, ...r }, [r.bytes]);
      }
    } catch (err) {
      self.postMessage({ id: req.id, failed: String(err && err.message ? err.message : err) });
    }
  };
  self.postMessage({ ready: true });
});
