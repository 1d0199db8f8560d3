// The page's worker: the program's module runs here, off the page's thread,
// so that a hostile file can hang nothing but this worker (the page then
// ends it and starts another). Each request gets its files written into the
// module's memory, the commands run on them as on the command line, and the
// files removed again.
'use strict';
let printed = [];
let complained = [];

// Where a request's time goes, by step (the page's speed figures).
let timing = {};
function timed(what, f) {
  const t = performance.now();
  try { return f(); } finally { timing[what] = (timing[what] || 0) + performance.now() - t; }
}

function run(mod, args) {
  printed = [];
  complained = [];
  const status = timed(args[0] + (args[0] === 'render' ? ' ' + args[2] : ''), () => mod.callMain(args));
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
  return timed('operations read', () => {
    const text = mod.FS.readFile(path, { encoding: 'utf8' });
    mod.FS.unlink(path);
    return text.split('\n').filter((l) => l.length > 0).map((l) => JSON.parse(l));
  });
}

// A view's operations as the panel command packs them: its numbers as
// they are (moved to the page, not copied) and its texts.
function readPacked(mod, prefix) {
  return timed('operations read', () => {
    const nums = new Float64Array(mod.FS.readFile(prefix + '.bin').buffer);
    const texts = JSON.parse(mod.FS.readFile(prefix + '.txt.json', { encoding: 'utf8' }));
    mod.FS.unlink(prefix + '.bin');
    mod.FS.unlink(prefix + '.txt.json');
    return { nums, texts };
  });
}

// The page's well records, as the text of a well file, where the commands
// read them.
const WELLS = '/wells.json';
function putWells(mod, text) {
  if (text) mod.FS.writeFile(WELLS, text);
  else try { mod.FS.unlink(WELLS); } catch (e) { /* none kept */ }
}

// One reading of the file gives the panel (unless the request says no) and
// the views asked for.
function analyse(mod, req) {
  const path = put(mod, '/in', 0, req.name, req.bytes);
  try {
    putWells(mod, req.wells);
    const views = req.views || ['chart', 'table', 'card'];
    const args = ['panel', '--wells', WELLS];
    if (req.cycle) args.push('--cycle', String(req.cycle));
    for (const v of views) args.push('--view', v);
    if (req.panel === false) args.push('--no-panel');
    const r = run(mod, [...args, path]);
    const panel = JSON.parse(r.out || '{}');
    const drawn = {};
    if (panel.readable) {
      for (const v of views) drawn[v] = panel.drawn && panel.drawn[v] ? readPacked(mod, '/view-' + v) : null;
    }
    delete panel.drawn;
    return { panel: req.panel === false ? null : panel, views: drawn, messages: r.err };
  } finally {
    removeTree(mod, '/in');
  }
}

// The exchange text of the files, as tavo-cli export writes it.
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

// The comparison view of several tests, with the kept well records.
function compare(mod, req) {
  const paths = req.files.map((f, i) => put(mod, '/cmp', i, f.name, f.bytes));
  try {
    putWells(mod, req.wells);
    const r = run(mod, ['compare', '--wells', WELLS, '-o', '/compare.json', ...paths]);
    if (r.status !== 0) return { failed: r.err.replace(/tavo-cli render: /g, '') };
    return { ops: readOps(mod, '/compare.json'), size: JSON.parse(r.out) };
  } finally {
    removeTree(mod, '/cmp');
  }
}

// Well records: a picked file imported into the kept ones, one well
// removed, or the list; the answer carries the new text to keep.
function wells(mod, req) {
  putWells(mod, req.wells);
  const args = ['wells', req.action, '--store', WELLS];
  if (req.action === 'import') {
    args.push('--shown', req.name, put(mod, '/wi', 0, req.name, req.bytes));
  } else if (req.action === 'remove') {
    args.push(req.well);
  }
  try {
    return JSON.parse(run(mod, args).out || '{}');
  } finally {
    removeTree(mod, '/wi');
  }
}

// ---- a zip of stored (uncompressed) files --------------------------------
// Tester files hardly compress, and a stored zip opens everywhere (Windows'
// own Explorer included); names in UTF-8, flagged as such.
const CRC_TABLE = (() => {
  const t = new Uint32Array(256);
  for (let n = 0; n < 256; n++) {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    t[n] = c >>> 0;
  }
  return t;
})();

function crc32(bytes) {
  let c = 0xffffffff;
  for (let i = 0; i < bytes.length; i++) c = CRC_TABLE[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}

function storedZip(entries, when) {
  const time = (when.getHours() << 11) | (when.getMinutes() << 5) | (when.getSeconds() >> 1);
  const date = ((Math.max(1980, when.getFullYear()) - 1980) << 9) | ((when.getMonth() + 1) << 5) | when.getDate();
  const utf8 = new TextEncoder();
  const parts = [], central = [];
  let offset = 0;
  for (const e of entries) {
    const name = utf8.encode(e.name);
    const crc = crc32(e.bytes);
    // The fields both headers share: version, flags (UTF-8 names), stored,
    // time, date, CRC, sizes, name length.
    const common = (v, at) => {
      v.setUint16(at, 20, true); v.setUint16(at + 2, 0x0800, true); v.setUint16(at + 4, 0, true);
      v.setUint16(at + 6, time, true); v.setUint16(at + 8, date, true); v.setUint32(at + 10, crc, true);
      v.setUint32(at + 14, e.bytes.length, true); v.setUint32(at + 18, e.bytes.length, true);
      v.setUint16(at + 22, name.length, true);
    };
    const local = new Uint8Array(30 + name.length);
    const lv = new DataView(local.buffer);
    lv.setUint32(0, 0x04034b50, true);
    common(lv, 4);
    local.set(name, 30);
    const dir = new Uint8Array(46 + name.length);
    const dv = new DataView(dir.buffer);
    dv.setUint32(0, 0x02014b50, true);
    dv.setUint16(4, 20, true);
    common(dv, 6);
    dv.setUint32(42, offset, true);
    dir.set(name, 46);
    parts.push(local, e.bytes);
    central.push(dir);
    offset += local.length + e.bytes.length;
  }
  const dirSize = central.reduce((n, d) => n + d.length, 0);
  const end = new Uint8Array(22);
  const ev = new DataView(end.buffer);
  ev.setUint32(0, 0x06054b50, true);
  ev.setUint16(8, entries.length, true);
  ev.setUint16(10, entries.length, true);
  ev.setUint32(12, dirSize, true);
  ev.setUint32(16, offset, true);
  const all = new Uint8Array(offset + dirSize + 22);
  let at = 0;
  for (const part of [...parts, ...central, end]) { all.set(part, at); at += part.length; }
  return all;
}

// Tester files rebuilt from an exchange text: every file the command wrote,
// in one zip, and what it said.
function rebuild(mod, req) {
  const path = put(mod, '/rb', 0, req.name, req.bytes);
  try {
    const r = run(mod, ['rebuild-files', '--shown', req.name, path]);
    // The files come out of the memory's file system without permissions
    // (it has no umask to give them); the page reads them all the same.
    const entries = r.out.split('\n').filter((l) => l.length > 0).map((p) => {
      mod.FS.chmod(p, 0o644);
      return { name: p.slice(p.lastIndexOf('/') + 1), bytes: mod.FS.readFile(p) };
    });
    const zip = entries.length ? storedZip(entries, new Date()) : new Uint8Array(0);
    return { status: r.status, names: entries.map((e) => e.name), zip: zip.buffer, messages: r.err };
  } finally {
    removeTree(mod, '/rb');
  }
}

function serve(mod) {
  self.onmessage = (e) => {
    const req = e.data;
    timing = { received: performance.timeOrigin + performance.now() };
    try {
      if (req.type === 'analyse') {
        const r = analyse(mod, req);
        timing.sent = performance.timeOrigin + performance.now();
        const moved = Object.values(r.views).filter((v) => v).map((v) => v.nums.buffer);
        self.postMessage({ id: req.id, ...r, timing }, moved);
      } else if (req.type === 'wells') {
        self.postMessage({ id: req.id, ...wells(mod, req) });
      } else if (req.type === 'compare') {
        self.postMessage({ id: req.id, ...compare(mod, req) });
      } else if (req.type === 'rebuild') {
        const r = rebuild(mod, req);
        self.postMessage({ id: req.id, ...r }, [r.zip]);
      } else if (req.type === 'export') {
        const r = exportTests(mod, req);
        self.postMessage({ id: req.id, ...r }, [r.bytes]);
      }
    } catch (err) {
      self.postMessage({ id: req.id, failed: String(err && err.message ? err.message : err) });
    }
  };
  self.postMessage({ ready: true });
}

// Tells the page that the module could not start, and why.
function broken(err) {
  self.postMessage({ broken: String(err && err.message ? err.message : err) });
}

// The page sends the module's code first, compiled (or as its bytes where
// the browser cannot pass a compiled module to a worker).
self.onmessage = (e) => {
  const code = e.data.wasm;
  if (!code) return;
  self.onmessage = null;
  TavoModule({
    print: (s) => printed.push(s),
    printErr: (s) => complained.push(s),
    instantiateWasm: (imports, receive) => {
      WebAssembly.instantiate(code, imports).then(
        (r) => receive(r instanceof WebAssembly.Instance ? r : r.instance), broken);
      return {};
    },
  }).then(serve, broken);
};
