// The page: the file list, the drawing area replaying the views' recorded
// operations, the analysis panel and the export; the analysis runs in a
// worker (tavo-app.js).
'use strict';
(function () {
  const BASE_W = 401, BASE_H = 241;            // the window's drawing area, pixels
  const PX_PER_PT = 96 / 72, PX_PER_MM = 96 / 25.4;
  const PALETTE = ['#000000', '#000080', '#008000', '#008080', '#800000', '#800080', '#808000', '#c0c0c0',
                   '#808080', '#0000ff', '#00ff00', '#00ffff', '#ff0000', '#ff00ff', '#ffff00', '#ffffff'];
  const SONG = 'SimSun, "宋体", "NSimSun", "AR PL UMing CN", "AR PL UMing TW", serif';
  const VIEWS = ['chart', 'table', 'card'];
  const TIMEOUT_MS = 15000;

  const $ = (id) => document.getElementById(id);
  const canvas = $('picture');
  const ctx = canvas.getContext('2d');
  let files = [];          // {name, file}, in the list's order
  let current = -1;        // index of the current entry
  let result = null;       // the current test's analysis
  let view = 'chart';
  let selected = new Set();  // the files selected in the list
  let comparison = null;     // the comparison shown: {ops, w, h, names}
  let worker = null, ready = null, nextId = 1;
  const pending = new Map();

  // ---- the worker -------------------------------------------------------
  // The module's code, compiled once (off the page's thread) for every
  // worker the page starts; its bytes kept for a browser that cannot pass a
  // compiled module to a worker.
  let wasmBytes = null, wasmCompiled = null;
  function base64Bytes(text) {
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const raw = atob(text), bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }
  function compiledWasm() {
    if (!wasmCompiled) {
      wasmBytes = base64Bytes(tavoWasmBase64);
      wasmCompiled = WebAssembly.compile(wasmBytes);
      wasmCompiled.then(() => { window.tavoCompiledMs = window.tavoCompiledMs || performance.now(); });
    }
    return wasmCompiled;
  }

  function startWorker() {
    const source = '(' + tavoWorkerMain.toString() + ')()';
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const w = worker = new Worker(url);
    ready = new Promise((resolve) => {
      w.onmessage = (e) => {
        if (e.data.ready) { URL.revokeObjectURL(url); resolve(); return; }
        if (e.data.broken) { message('分析模块无法启动：' + e.data.broken, true); return; }
        const p = pending.get(e.data.id);
        if (p) { pending.delete(e.data.id); clearTimeout(p.timer); p.resolve(e.data); }
      };
    });
    w.onerror = (e) => {
      for (const p of pending.values()) { clearTimeout(p.timer); p.resolve({ failed: String(e.message || e) }); }
      pending.clear();
    };
    // The worker starts while the code compiles.
    compiledWasm().then((code) => {
      try {
        w.postMessage({ wasm: code });
      } catch (e) {
        w.postMessage({ wasm: wasmBytes.slice(0) });
      }
    }, (e) => message('分析模块无法编译：' + e, true));
    return ready;
  }

  // A request to the worker; one that takes too long ends the worker (a
  // hostile file) and a new one is started.
  function ask(req, transfer) {
    return ready.then(() => new Promise((resolve) => {
      const id = nextId++;
      const timer = setTimeout(() => {
        pending.delete(id);
        worker.terminate();
        startWorker();
        resolve({ timedOut: true });
      }, TIMEOUT_MS);
      pending.set(id, { resolve, timer });
      worker.postMessage({ ...req, id }, transfer || []);
    }));
  }

  // ---- the file list ----------------------------------------------------
  // As the window lists a folder: names matching *.o* (any case), sorted by
  // name without regard to case.
  function listed(name) { return /\.o/i.test(name); }
  function byName(a, b) {
    const x = a.name.toLowerCase(), y = b.name.toLowerCase();
    return x < y ? -1 : x > y ? 1 : 0;
  }

  // A file's bytes: those read ahead while the list is shown, else read now.
  // Each use gets its own copy (the worker is handed it).
  async function bytesOf(f) {
    const kept = f.bytes || (f.reading && await f.reading);
    return kept ? kept.slice(0) : f.file.arrayBuffer();
  }
  function keep(f) {
    f.reading = f.reading || f.file.arrayBuffer().then((b) => (f.bytes = b), () => null);
    return f.reading;
  }

  // The files of the list are read ahead in its order while it is shown (up
  // to a bound), so that a click finds its file in memory: reading a picked
  // file takes the browser several milliseconds, the first one tens.
  // It reads while nothing else runs: on two cores, reading beside the
  // worker slows the worker (an export of 1000 tests by half).
  const READ_AHEAD_BYTES = 64 << 20;
  let exporting = false;  // while an export reads the files
  async function readAhead(list) {
    let total = 0;
    for (const f of list) {
      while (exporting || pending.size > 0) await new Promise((resolve) => setTimeout(resolve, 20));
      if (files !== list || total + f.file.size > READ_AHEAD_BYTES) return;
      total += f.file.size;
      await keep(f);
    }
  }

  function setFiles(list) {
    files = list.filter((f) => listed(f.name)).sort(byName);
    current = -1;
    result = null;
    const box = $('list');
    box.textContent = '';
    selected = new Set();
    comparison = null;
    files.forEach((f, i) => {
      const d = document.createElement('div');
      d.textContent = f.name;
      d.setAttribute('role', 'option');
      // As the window's list: Ctrl adds or removes one file, Shift a range,
      // for the comparison; a plain click analyses.
      d.addEventListener('click', (e) => {
        if ((e.ctrlKey || e.metaKey) && current >= 0) {
          if (selected.has(i) && i !== current) selected.delete(i); else selected.add(i);
        } else if (e.shiftKey && current >= 0) {
          selected = new Set();
          for (let k = Math.min(current, i); k <= Math.max(current, i); k++) selected.add(k);
        } else {
          return choose(i);
        }
        markSelected();
      });
      box.appendChild(d);
    });
    $('status').textContent = files.length ? '共 ' + files.length + ' 个测试文件' : '没有测试文件（*.o*）';
    warmUp().then(() => readAhead(files));
    clearPicture();
    $('panel').textContent = '';
    message('');
  }

  function markSelected() {
    [...$('list').children].forEach((d, k) => d.classList.toggle('sel', selected.has(k)));
  }

  // The first analyses after the page opens run while the browser still
  // compiles the module's code to its faster tier (several times slower,
  // and a function moves up only after it has run a while): the first
  // tests of the list are analysed unseen, twice over, as soon as the list
  // is shown, so that the first clicks find the code compiled; a click
  // stops this (it waits for one analysis at most). Their views are
  // replayed unseen too, on the drawing area itself while it shows nothing
  // (cleared in the same task, before the browser paints): the first text a
  // canvas draws in the Song face loads its glyphs, and the first drawing
  // on a canvas sets it up, which cost the first click's chart tens of
  // milliseconds.
  let warmed = false;
  async function warmUp() {
    if (warmed || !files.length) return;
    warmed = true;
    const list = files;
    const first = list.slice(0, 4);
    for (const f of [...first, ...first]) {
      if (current >= 0 || files !== list) break;
      try {
        keep(f);
        const bytes = await bytesOf(f);
        const r = await ask({ type: 'analyse', name: f.name, bytes, views: VIEWS, wells: wellsText }, [bytes]);
        for (const ops of Object.values(unpackViews(r.views || {}))) {
          if (!ops) continue;
          if (current < 0 && files === list) {
            replay(ops);
            clearPicture();
          } else {
            picture(ops, BASE_W, BASE_H, canvas.width, canvas.height);
          }
        }
      } catch (e) { /* only a head start */ }
    }
    window.tavoWarmedMs = performance.now();
  }

  // The Song face loaded before the first chart needs it.
  function loadFont() {
    const c = document.createElement('canvas').getContext('2d');
    c.font = '12px ' + SONG;
    c.fillText('国 0', 0, 10);
  }

  function choose(i) {
    current = i;
    selected = new Set([i]);
    markSelected();
    $('cycle').value = '';
    analyse();
  }

  // ---- analysis ---------------------------------------------------------
  async function analyse(cycle) {
    const entry = files[current];
    if (!entry) return;
    const started = performance.now();
    result = null;
    clearPicture();
    $('panel').textContent = '';
    message('正在分析 ' + entry.name + ' …');
    $('status').textContent = entry.name;
    let bytes;
    try {
      bytes = await bytesOf(entry);
    } catch (e) {
      return message('无法读取文件 ' + entry.name, true);
    }
    if (files[current] !== entry) return;  // another file was chosen meanwhile
    // The chart and the panel first; the table and the card right after,
    // while the chart is looked at.
    const copy = bytes.slice(0);
    const posted = performance.now();
    const r = await ask({ type: 'analyse', name: entry.name, bytes, cycle, views: ['chart'], wells: wellsText },
                        [bytes]);
    if (files[current] !== entry) return;  // another file was chosen meanwhile
    if (r.timedOut) return message(entry.name + '：分析超时，文件可能已损坏，已停止分析', true);
    if (r.failed) return message(entry.name + '：分析失败（' + r.failed + '）', true);
    if (!r.panel || !r.panel.readable) {
      return message(entry.name + '：' + ((r.panel && r.panel.problem) || '文件无法读取'), true);
    }
    const back = performance.now();
    unpackViews(r.views);
    result = r;
    result.cycle = cycle;
    comparison = null;
    view = 'chart';
    draw();
    const drawn = performance.now();
    showPanel(r.panel);
    const ms = performance.now() - started;
    // Where the time of the click went (the test prints it).
    const abs = (t) => performance.timeOrigin + t;
    const steps = { 'file read': posted - started, 'to the worker': r.timing.received - abs(posted) };
    for (const [k, v] of Object.entries(r.timing)) if (k !== 'received' && k !== 'sent') steps[k] = v;
    Object.assign(steps, { 'back from the worker': abs(back) - r.timing.sent, 'chart replayed': drawn - back,
                           'panel shown': performance.now() - drawn });
    window.tavoClickSteps = steps;
    window.tavoLastAnalysisMs = ms;
    message(r.panel.problem ? entry.name + '：' + r.panel.problem : '', !!r.panel.problem);
    $('status').textContent = entry.name + '（' + ms.toFixed(0) + ' 毫秒）';
    const rest = await ask({ type: 'analyse', name: entry.name, bytes: copy, cycle, views: ['table', 'card'],
                             panel: false }, [copy]);
    if (result !== r) return;
    if (rest.views) Object.assign(r.views, unpackViews(rest.views));
    r.complete = true;
    window.tavoViewsReadyMs = performance.now() - started;
    if (view !== 'chart') draw();
  }

  // ---- the drawing area -------------------------------------------------
  // A view as the worker sends it (ten numbers an operation, see
  // web/panel.cpp) as the operations the replay draws.
  const KINDS = ['line', 'line_to', 'point', 'rect', 'text'];
  function unpack(packed) {
    if (!packed) return null;
    const n = packed.nums, ops = [];
    for (let j = 0; j + 10 <= n.length; j += 10) {
      const op = { op: KINDS[n[j]], unit: n[j + 1] ? 'pt' : 'mm', x1: n[j + 2], y1: n[j + 3], x2: n[j + 4],
                   y2: n[j + 5], x: n[j + 2], y: n[j + 3], color: n[j + 6], width: n[j + 7],
                   style: n[j + 8] ? 'dotted' : 'solid' };
      if (n[j + 9] >= 0) Object.assign(op, packed.texts[n[j + 9]]);
      ops.push(op);
    }
    return ops;
  }
  function unpackViews(views) {
    for (const v of Object.keys(views || {})) views[v] = unpack(views[v]);
    return views;
  }

  function clearPicture() {
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#e0e0e0';
    ctx.fillRect(0, 0, canvas.width, canvas.height);
  }

  function toPx(v, unit) { return v * (unit === 'mm' ? PX_PER_MM : PX_PER_PT); }

  // The ascent of the Song face at a size: the font's, whatever the text,
  // so measured once a size, on a context of its own.
  const ascents = new Map();
  let measuring = null;
  function ascentOf(px) {
    let a = ascents.get(px);
    if (a === undefined) {
      measuring = measuring || document.createElement('canvas').getContext('2d');
      measuring.font = px + 'px ' + SONG;
      const m = measuring.measureText('国');
      a = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : px * 0.86;
      ascents.set(px, a);
    }
    return a;
  }

  // The recorded operations on a 2D context, `k` canvas pixels a pixel of
  // the drawing. Texts are drawn at the canvas's own pixel size, as the
  // window's painter sets its font for the device: glyphs rasterised at the
  // drawing's size and then scaled would round their advances at that size
  // (a half-width glyph of an 11-pixel face takes 6 pixels, not 5.5).
  function drawOps(c, ops, k) {
    c.save();
    const base = c.getTransform();
    const scaled = base.scale(k, k);
    c.setTransform(scaled);
    c.lineCap = 'butt';
    c.lineJoin = 'miter';
    c.textBaseline = 'alphabetic';
    let font = '';
    for (const op of ops) {
      const color = PALETTE[op.color] || '#000000';
      if (op.op === 'text') {
        if (!op.text) continue;
        const px = Math.max(0.5, op.size) * PX_PER_PT;
        const want = px * k + 'px ' + SONG;
        if (want !== font) c.font = font = want;
        c.fillStyle = color;
        c.setTransform(base);
        c.fillText(op.text, toPx(op.x, op.unit) * k, (toPx(op.y, op.unit) + ascentOf(px)) * k);
        c.setTransform(scaled);
        continue;
      }
      if (op.op === 'point') {
        const w = op.width < 1 ? 1 : op.width;
        c.fillStyle = color;
        c.fillRect(toPx(op.x, op.unit) - w / 2, toPx(op.y, op.unit) - w / 2, w, w);
        continue;
      }
      const x1 = toPx(op.x1, op.unit), y1 = toPx(op.y1, op.unit);
      const x2 = toPx(op.x2, op.unit), y2 = toPx(op.y2, op.unit);
      c.strokeStyle = color;
      c.lineWidth = op.width < 1 ? 1 : op.width;
      c.setLineDash(op.style === 'dotted' && op.width <= 1 ? [1, 2] : []);
      c.beginPath();
      if (op.op === 'rect') {
        c.rect(Math.min(x1, x2), Math.min(y1, y2), Math.abs(x2 - x1), Math.abs(y2 - y1));
      } else {
        c.moveTo(x1, y1);
        c.lineTo(x2, y2);
      }
      c.stroke();
    }
    c.restore();
  }

  // The drawing area shows a view of the window's size, or the comparison
  // scaled to fit.
  function replay(ops, baseW = BASE_W, baseH = BASE_H) {
    clearPicture();
    drawOps(ctx, ops, Math.min(canvas.width / baseW, canvas.height / baseH));
  }

  // A drawing as a picture of its own (printing, the test): `width` pixels
  // wide, on the drawing area's grey.
  function picture(ops, baseW, baseH, width, height) {
    const c = document.createElement('canvas');
    c.width = width;
    c.height = height || Math.round(width * baseH / baseW);
    const x = c.getContext('2d');
    x.fillStyle = '#e0e0e0';
    x.fillRect(0, 0, c.width, c.height);
    drawOps(x, ops, width / baseW);
    return c;
  }

  function draw() {
    [...document.querySelectorAll('#views button[data-view]')].forEach(
      (b) => b.classList.toggle('on', b.dataset.view === view));
    if (view === 'compare' && comparison) return replay(comparison.ops, comparison.w, comparison.h);
    if (!result) return clearPicture();
    const ops = result.views[view];
    if (!ops && !result.complete) {
      clearPicture();
      return message('正在绘制…');
    }
    if (!ops) {
      clearPicture();
      return message(view === 'card' ? '示功图无法绘制' : '该视图无法绘制', true);
    }
    if ($('message').textContent === '正在绘制…') message('');
    replay(ops);
  }

  // ---- the analysis panel -----------------------------------------------
  function showPanel(p) {
    const panel = $('panel');
    panel.textContent = '';
    const h = document.createElement('h2');
    h.textContent = '井号：' + (p.well || '');
    panel.appendChild(h);
    if (!p.has_record) {
      const none = document.createElement('p');
      none.textContent = '没有该井的井数据：导入井数据后显示泵功图';
      panel.appendChild(none);
    }
    if (p.wells_problem) {
      const bad = document.createElement('p');
      bad.textContent = '保存的井数据无法读取：' + p.wells_problem;
      panel.appendChild(bad);
    }
    for (const s of p.sections || []) {
      const t = document.createElement('h2');
      t.textContent = s.title;
      panel.appendChild(t);
      const table = document.createElement('table');
      for (const f of s.figures) {
        const tr = table.insertRow();
        tr.title = f.how;
        tr.insertCell().textContent = f.label;
        tr.insertCell().textContent = f.value;
      }
      panel.appendChild(table);
      if (s.note) {
        const note = document.createElement('p');
        note.textContent = s.note;
        panel.appendChild(note);
      }
      for (const e of s.evidence || []) {
        const li = document.createElement('p');
        li.textContent = '· ' + e;
        panel.appendChild(li);
      }
    }
  }

  function message(text, bad) {
    const m = $('message');
    m.textContent = text;
    m.classList.toggle('bad', !!bad);
  }

  // ---- well records -----------------------------------------------------
  // Kept in the browser's storage as the text of a well file (JSON), the
  // same as `tavo-cli well export` writes; the module reads and writes it.
  const WELLS_KEY = 'tavo.wells';
  let wellsText = '';
  let wellsKept = true;     // false: the browser keeps nothing for this page
  try { wellsText = localStorage.getItem(WELLS_KEY) || ''; } catch (e) { wellsKept = false; }

  function keepWells(text) {
    wellsText = text || '';
    try {
      if (wellsText) localStorage.setItem(WELLS_KEY, wellsText); else localStorage.removeItem(WELLS_KEY);
      wellsKept = true;
    } catch (e) {
      wellsKept = false;
    }
  }

  function showWells(names) {
    const select = $('well-names');
    select.textContent = '';
    for (const n of names) {
      const o = document.createElement('option');
      o.value = o.textContent = n;
      select.appendChild(o);
    }
    $('well-count').textContent = names.length ? names.length + ' 口井' : '无';
    window.tavoWellNames = names;
  }

  // The panel of the test shown follows the records (its pump card).
  function refreshShown() {
    if (result && files[current]) analyse(result.cycle);
  }

  async function importWells(file) {
    let bytes;
    try { bytes = await file.arrayBuffer(); } catch (e) { return message('无法读取文件 ' + file.name, true); }
    const r = await ask({ type: 'wells', action: 'import', name: file.name, bytes, wells: wellsText }, [bytes]);
    if (r.timedOut || r.failed) return message('导入井数据失败' + (r.failed ? '（' + r.failed + '）' : ''), true);
    if (!r.ok) return message('导入井数据失败：\n' + r.problems.join('\n'), true);
    keepWells(r.store);
    showWells(r.names);
    message('已导入井数据：' + file.name + (r.problems.length ? '\n' + r.problems.join('\n') : '') +
            (wellsKept ? '' : '\n浏览器不允许本页保存数据：井数据只在本页关闭前有效'), !wellsKept);
    window.tavoWellsDone = true;
    refreshShown();
  }

  async function removeWell() {
    const name = $('well-names').value;
    if (!name) return message('没有已保存的井数据', true);
    if (!window.confirm('删除井“' + name + '”的数据？')) return;
    const r = await ask({ type: 'wells', action: 'remove', well: name, wells: wellsText });
    if (!r.ok) return message((r.problems || []).join('\n') || '删除失败', true);
    keepWells(r.store);
    showWells(r.names);
    message('已删除井“' + name + '”的数据');
    window.tavoWellsDone = true;
    refreshShown();
  }

  function download(bytes, name) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 60000);
  }

  function exportWells() {
    if (!wellsText) return message('没有已保存的井数据', true);
    download(new TextEncoder().encode(wellsText), 'wells.json');
    message('已导出井数据（' + $('well-count').textContent + '）');
  }

  // ---- export -----------------------------------------------------------
  async function exportAll() {
    if (!files.length) return message('没有可导出的测试文件', true);
    const started = performance.now();
    message('正在导出 ' + files.length + ' 个测试…');
    // The read-ahead waits meanwhile: it would read the same files again.
    exporting = true;
    let list;
    try {
      list = await Promise.all(files.map(async (f) => ({ name: f.name, bytes: await bytesOf(f) })));
    } finally {
      exporting = false;
    }
    const r = await ask({ type: 'export', files: list }, list.map((f) => f.bytes));
    if (r.timedOut) return message('导出超时，已停止', true);
    if (r.failed) return message('导出失败（' + r.failed + '）', true);
    download(r.bytes, 'exchange.txt');
    window.tavoLastExportMs = performance.now() - started;
    message(r.status === 0 ? '已导出 ' + files.length + ' 个测试（代码页 936）'
                           : '已导出，有文件无法读取，已跳过', r.status !== 0);
  }

  // ---- the comparison ---------------------------------------------------
  const COMPARE_MAX = 8;
  async function compareSelected() {
    const chosen = [...selected].sort((a, b) => a - b).map((k) => files[k]);
    if (chosen.length < 2) {
      return message('对比需要在文件列表中按住 Ctrl 或 Shift 选中两个或更多测试文件', true);
    }
    const used = chosen.slice(0, COMPARE_MAX);
    message('正在对比 ' + used.length + ' 个测试…');
    const list = await Promise.all(used.map(async (f) => ({ name: f.name, bytes: await bytesOf(f) })));
    const r = await ask({ type: 'compare', files: list, wells: wellsText }, list.map((f) => f.bytes));
    if (r.timedOut) return message('对比超时，已停止', true);
    if (r.failed) return message('无法对比：' + r.failed, true);
    const mmToPx = 96 / 25.4;
    comparison = { ops: r.ops, w: r.size.width_mm * mmToPx, h: r.size.height_mm * mmToPx,
                   names: used.map((f) => f.name) };
    view = 'compare';
    draw();
    message(chosen.length > COMPARE_MAX ? '最多对比 ' + COMPARE_MAX + ' 个测试，其余未列入：' +
            chosen.slice(COMPARE_MAX).map((f) => f.name).join('、') : '', chosen.length > COMPARE_MAX);
    window.tavoCompared = comparison.names;
  }

  // ---- the printed report -----------------------------------------------
  // The test shown as the desktop's report page lays it out: the chart, the
  // table and the card, the main parameters and the panel's sections, all
  // from the module; the comparison, when one is shown, on a page of its own.
  function figuresTable(figures) {
    const table = document.createElement('table');
    for (const f of figures) {
      const tr = table.insertRow();
      tr.insertCell().textContent = f.label;
      tr.insertCell().textContent = f.value;
    }
    return table;
  }

  function preparePrint() {
    const out = $('print');
    out.textContent = '';
    if (!result || !result.complete) return false;
    const p = result.panel;
    const page = document.createElement('section');
    page.className = 'page';
    const h = document.createElement('h1');
    h.textContent = '抽油机井测试报告　井号：' + (p.well || '') + '　文件：' + files[current].name;
    page.appendChild(h);
    const views = document.createElement('div');
    views.className = 'views';
    for (const v of VIEWS) {
      if (!result.views[v]) continue;
      const img = document.createElement('img');
      img.src = picture(result.views[v], BASE_W, BASE_H, BASE_W * 3).toDataURL('image/png');
      img.alt = v;
      views.appendChild(img);
    }
    const main = document.createElement('div');
    const t = document.createElement('h2');
    t.textContent = '主要参数';
    main.appendChild(t);
    main.appendChild(figuresTable(p.table || []));
    views.appendChild(main);
    page.appendChild(views);
    for (const s of p.sections || []) {
      const st = document.createElement('h2');
      st.textContent = s.title;
      page.appendChild(st);
      page.appendChild(figuresTable(s.figures));
      for (const line of [s.note, ...(s.evidence || []).map((e) => '· ' + e)]) {
        if (!line) continue;
        const para = document.createElement('p');
        para.textContent = line;
        page.appendChild(para);
      }
    }
    out.appendChild(page);
    if (comparison) {
      const cp = document.createElement('section');
      cp.className = 'page';
      const ch = document.createElement('h1');
      ch.textContent = '对比：' + comparison.names.join('、');
      cp.appendChild(ch);
      const img = document.createElement('img');
      img.src = picture(comparison.ops, comparison.w, comparison.h, Math.round(comparison.w * 3)).toDataURL('image/png');
      img.className = 'compare';
      cp.appendChild(img);
      out.appendChild(cp);
    }
    return true;
  }

  function printReport() {
    if (!preparePrint()) return message('请先选择测试文件，待三个视图都画好后再打印', true);
    window.print();
  }

  // ---- rebuild ----------------------------------------------------------
  // Tester files from an exchange text, one zip to download, named after
  // the text as the window names the folder it writes them into.
  async function rebuildFrom(file) {
    let bytes;
    try { bytes = await file.arrayBuffer(); } catch (e) { return message('无法读取文件 ' + file.name, true); }
    message('正在由 ' + file.name + ' 重建测试文件…');
    const r = await ask({ type: 'rebuild', name: file.name, bytes }, [bytes]);
    window.tavoRebuilt = r.names || [];
    if (r.timedOut) return message('转换超时，已停止', true);
    if (r.failed) return message('转换失败（' + r.failed + '）', true);
    const stem = file.name.replace(/\.[^.]*$/, '') || 'rebuilt';
    if (r.names.length) download(r.zip, stem + '.zip');
    window.tavoRebuilt = r.names;
    const zipped = r.names.length ? '（' + stem + '.zip）' : '';
    if (r.status === 0) return message('由 ' + file.name + ' 已重建 ' + r.names.length + ' 个测试文件' + zipped);
    if (r.status === 3) {
      return message('转换不完整：由文件 ' + file.name + ' 已重建 ' + r.names.length + ' 个测试文件' + zipped +
                     '，但最后一段不完整，没有重建：' + r.messages, true);
    }
    message('转换失败：由文件 ' + file.name + ' 重建测试文件时出错：' + r.messages +
            (r.names.length ? '\n此前的 ' + r.names.length + ' 个测试文件已重建' + zipped : ''), true);
  }

  // ---- picking and dropping ---------------------------------------------
  function fromInput(input) {
    setFiles([...input.files].map((f) => ({ name: f.name, file: f })));
  }

  async function entriesOf(entry, out) {
    if (entry.isFile) {
      out.push(await new Promise((resolve, reject) => entry.file(
        (f) => resolve({ name: f.name, file: f }), reject)));
    } else if (entry.isDirectory) {
      const reader = entry.createReader();
      for (;;) {
        const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (!batch.length) break;
        for (const e of batch) if (e.isFile) await entriesOf(e, out);  // one folder, as the window lists it
      }
    }
  }

  $('pick-files').addEventListener('click', () => $('files').click());
  $('pick-folder').addEventListener('click', () => $('folder').click());
  $('files').addEventListener('change', (e) => fromInput(e.target));
  $('folder').addEventListener('change', (e) => fromInput(e.target));
  const drop = $('drop');
  for (const t of [drop, canvas, $('list')]) {
    t.addEventListener('dragover', (e) => { e.preventDefault(); drop.classList.add('over'); });
    t.addEventListener('dragleave', () => drop.classList.remove('over'));
    t.addEventListener('drop', async (e) => {
      e.preventDefault();
      drop.classList.remove('over');
      const out = [];
      for (const item of [...e.dataTransfer.items]) {
        const entry = item.webkitGetAsEntry && item.webkitGetAsEntry();
        if (entry) await entriesOf(entry, out);
        else if (item.getAsFile()) out.push({ name: item.getAsFile().name, file: item.getAsFile() });
      }
      setFiles(out);
    });
  }

  canvas.addEventListener('click', () => {
    if (!result) return;
    view = view === 'compare' ? 'chart' : VIEWS[(VIEWS.indexOf(view) + 1) % VIEWS.length];
    draw();
  });
  for (const b of document.querySelectorAll('#views button[data-view]')) {
    b.addEventListener('click', () => { view = b.dataset.view; draw(); });
  }
  // A typed stroke length: the views and the panel recalculated with it, as
  // Enter in the window's cycle box.
  function recalculate() {
    if (!files[current]) return message('请先选择测试文件', true);
    const v = Number($('cycle').value);
    if (!(v >= 1 && v <= 3000)) return message('周期点数应在 1 到 3000 之间', true);
    analyse(v);
  }
  $('recalc').addEventListener('click', recalculate);
  $('cycle').addEventListener('keydown', (e) => { if (e.key === 'Enter') recalculate(); });
  // A button that picks one file for `use`; the input is emptied so that
  // the same file may be picked again.
  function picksOne(button, input, use) {
    $(button).addEventListener('click', () => $(input).click());
    $(input).addEventListener('change', (e) => {
      const f = e.target.files[0];
      e.target.value = '';
      if (f) use(f);
    });
  }
  picksOne('wells-import', 'wells-file', importWells);
  picksOne('rebuild', 'exchange-file', rebuildFrom);
  $('wells-export').addEventListener('click', exportWells);
  $('compare').addEventListener('click', compareSelected);
  $('print-report').addEventListener('click', printReport);
  $('well-remove').addEventListener('click', removeWell);
  $('export').addEventListener('click', exportAll);

  // Whether the page is usable: the test and the speed figures read these.
  window.tavoPage = {
    setFiles, choose, exportAll, preparePrint, get view() { return view; },
    // The sizes of the texts of a view of the test shown, in points.
    textSizes: (v) => (result && result.views[v] || []).filter((op) => op.op === 'text').map((op) => op.size),
    // The comparison at the size of a picture of it (the test's reference).
    compareImage: (width, height) =>
      picture(comparison.ops, comparison.w, comparison.h, width, height).toDataURL('image/png'),
  };
  const started = startWorker();
  loadFont();
  started.then(async () => {
    window.tavoReadyMs = performance.now();
    $('status').textContent = '就绪：请选择测试文件';
    const r = await ask({ type: 'wells', action: 'list', wells: wellsText });
    if (r.ok) showWells(r.names);
    else message((r.problems || []).join('\n'), true);
  });
  clearPicture();
})();
