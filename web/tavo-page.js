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
  let worker = null, ready = null, nextId = 1;
  const pending = new Map();

  // ---- the worker -------------------------------------------------------
  function startWorker() {
    const source = '(' + tavoWorkerMain.toString() + ')()';
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    worker = new Worker(url);
    ready = new Promise((resolve) => {
      worker.onmessage = (e) => {
        if (e.data.ready) { URL.revokeObjectURL(url); resolve(); return; }
        const p = pending.get(e.data.id);
        if (p) { pending.delete(e.data.id); clearTimeout(p.timer); p.resolve(e.data); }
      };
    });
    worker.onerror = (e) => {
      for (const p of pending.values()) { clearTimeout(p.timer); p.resolve({ failed: String(e.message || e) }); }
      pending.clear();
    };
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

  function setFiles(list) {
    files = list.filter((f) => listed(f.name)).sort(byName);
    current = -1;
    result = null;
    const box = $('list');
    box.textContent = '';
    files.forEach((f, i) => {
      const d = document.createElement('div');
      d.textContent = f.name;
      d.setAttribute('role', 'option');
      d.addEventListener('click', () => choose(i));
      box.appendChild(d);
    });
    $('status').textContent = files.length ? '共 ' + files.length + ' 个测试文件' : '没有测试文件（*.o*）';
    clearPicture();
    $('panel').textContent = '';
    message('');
  }

  function choose(i) {
    current = i;
    [...$('list').children].forEach((d, k) => d.classList.toggle('sel', k === i));
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
      bytes = await entry.file.arrayBuffer();
    } catch (e) {
      return message('无法读取文件 ' + entry.name, true);
    }
    // The chart and the panel first; the table and the card right after,
    // while the chart is looked at.
    const copy = bytes.slice(0);
    const r = await ask({ type: 'analyse', name: entry.name, bytes, cycle, views: ['chart'] }, [bytes]);
    if (files[current] !== entry) return;  // another file was chosen meanwhile
    if (r.timedOut) return message(entry.name + '：分析超时，文件可能已损坏，已停止分析', true);
    if (r.failed) return message(entry.name + '：分析失败（' + r.failed + '）', true);
    if (!r.panel || !r.panel.readable) {
      return message(entry.name + '：' + ((r.panel && r.panel.problem) || '文件无法读取'), true);
    }
    result = r;
    view = 'chart';
    draw();
    showPanel(r.panel);
    const ms = performance.now() - started;
    window.tavoLastAnalysisMs = ms;
    message(r.panel.problem ? entry.name + '：' + r.panel.problem : '', !!r.panel.problem);
    $('status').textContent = entry.name + '（' + ms.toFixed(0) + ' 毫秒）';
    const rest = await ask({ type: 'analyse', name: entry.name, bytes: copy, cycle, views: ['table', 'card'],
                             panel: false }, [copy]);
    if (result !== r) return;
    if (rest.views) Object.assign(r.views, rest.views);
    r.complete = true;
    window.tavoViewsReadyMs = performance.now() - started;
    if (view !== 'chart') draw();
  }

  // ---- the drawing area -------------------------------------------------
  function clearPicture() {
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.fillStyle = '#e0e0e0';
    ctx.fillRect(0, 0, canvas.width, canvas.height);
  }

  function toPx(v, unit) { return v * (unit === 'mm' ? PX_PER_MM : PX_PER_PT); }

  function replay(ops) {
    clearPicture();
    const k = Math.min(canvas.width / BASE_W, canvas.height / BASE_H);
    ctx.save();
    ctx.scale(k, k);
    ctx.lineCap = 'butt';
    ctx.lineJoin = 'miter';
    for (const op of ops) {
      const color = PALETTE[op.color] || '#000000';
      if (op.op === 'text') {
        if (!op.text) continue;
        const px = Math.max(0.5, op.size) * PX_PER_PT;
        ctx.font = px + 'px ' + SONG;
        ctx.fillStyle = color;
        ctx.textBaseline = 'alphabetic';
        const m = ctx.measureText(op.text);
        const ascent = m.fontBoundingBoxAscent !== undefined ? m.fontBoundingBoxAscent : px * 0.86;
        ctx.fillText(op.text, toPx(op.x, op.unit), toPx(op.y, op.unit) + ascent);
        continue;
      }
      if (op.op === 'point') {
        const w = op.width < 1 ? 1 : op.width;
        ctx.fillStyle = color;
        ctx.fillRect(toPx(op.x, op.unit) - w / 2, toPx(op.y, op.unit) - w / 2, w, w);
        continue;
      }
      const x1 = toPx(op.x1, op.unit), y1 = toPx(op.y1, op.unit);
      const x2 = toPx(op.x2, op.unit), y2 = toPx(op.y2, op.unit);
      ctx.strokeStyle = color;
      ctx.lineWidth = op.width < 1 ? 1 : op.width;
      ctx.setLineDash(op.style === 'dotted' && op.width <= 1 ? [1, 2] : []);
      ctx.beginPath();
      if (op.op === 'rect') {
        ctx.rect(Math.min(x1, x2), Math.min(y1, y2), Math.abs(x2 - x1), Math.abs(y2 - y1));
      } else {
        ctx.moveTo(x1, y1);
        ctx.lineTo(x2, y2);
      }
      ctx.stroke();
    }
    ctx.restore();
  }

  function draw() {
    [...document.querySelectorAll('#views button[data-view]')].forEach(
      (b) => b.classList.toggle('on', b.dataset.view === view));
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

  // ---- export -----------------------------------------------------------
  async function exportAll() {
    if (!files.length) return message('没有可导出的测试文件', true);
    const started = performance.now();
    message('正在导出 ' + files.length + ' 个测试…');
    const list = await Promise.all(files.map(async (f) => ({ name: f.name, bytes: await f.file.arrayBuffer() })));
    const r = await ask({ type: 'export', files: list }, list.map((f) => f.bytes));
    if (r.timedOut) return message('导出超时，已停止', true);
    if (r.failed) return message('导出失败（' + r.failed + '）', true);
    const blob = new Blob([r.bytes], { type: 'application/octet-stream' });
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = 'exchange.txt';
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 60000);
    window.tavoLastExportMs = performance.now() - started;
    message(r.status === 0 ? '已导出 ' + files.length + ' 个测试（代码页 936）'
                           : '已导出，有文件无法读取，已跳过', r.status !== 0);
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
    view = VIEWS[(VIEWS.indexOf(view) + 1) % VIEWS.length];
    draw();
  });
  for (const b of document.querySelectorAll('#views button[data-view]')) {
    b.addEventListener('click', () => { view = b.dataset.view; draw(); });
  }
  $('recalc').addEventListener('click', () => {
    const v = Number($('cycle').value);
    if (!(v >= 1 && v <= 3000)) return message('周期点数应在 1 到 3000 之间', true);
    analyse(v);
  });
  $('export').addEventListener('click', exportAll);

  // Whether the page is usable: the test and the speed figures read these.
  window.tavoPage = { setFiles, choose, exportAll, get view() { return view; } };
  startWorker().then(() => {
    window.tavoReadyMs = performance.now();
    $('status').textContent = '就绪：请选择测试文件';
  });
  clearPicture();
})();
