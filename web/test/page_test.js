// The page in headless Chromium (the system's browser, driven through
// puppeteer-core): opened from a file URL, sample files picked, each view
// compared with the desktop's picture of it, a damaged file, and the export
// compared byte for byte with tavo-cli's; prints the speed figures (figures
// only: speed is no pass or fail here).
// Usage: node page_test.js PAGE_DIR NATIVE_BUILD SAMPLES_DIR OUT_DIR [CORPUS_COUNT]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');
const puppeteer = require('puppeteer-core');

const [pageDir, nativeDir, samplesDir, outDir, corpusArg] = process.argv.slice(2);
const corpusCount = Number(corpusArg || 1000);
const cli = path.join(nativeDir, 'tavo-cli');
// Pixels of the views that may differ: the text's glyphs, rasterised by
// another engine (the lines and the grid must agree).
const MAX_DIFFERENT = 0.025;

let passed = 0, failed = 0;
function check(ok, what) {
  if (ok) passed++; else failed++;
  console.log((ok ? 'ok      ' : 'FAILED  ') + what);
}

function chromium() {
  for (const p of ['/usr/bin/chromium', '/usr/bin/chromium-browser']) if (fs.existsSync(p)) return p;
  throw new Error('no chromium: run scripts/setup.sh');
}

async function waitFor(page, expr, timeout = 20000) {
  await page.waitForFunction(expr, { timeout, polling: 10 });
}

// The share of pixels whose colour differs by more than a little, the two
// pictures decoded by the browser itself.
async function difference(page, pngA, pngB) {
  return page.evaluate(async (a, b) => {
    const load = (src) => new Promise((resolve, reject) => {
      const img = new Image();
      img.onload = () => resolve(img);
      img.onerror = reject;
      img.src = src;
    });
    const [ia, ib] = await Promise.all([load(a), load(b)]);
    if (ia.width !== ib.width || ia.height !== ib.height) return 1;
    const data = (img) => {
      const c = document.createElement('canvas');
      c.width = img.width;
      c.height = img.height;
      const x = c.getContext('2d');
      x.drawImage(img, 0, 0);
      return x.getImageData(0, 0, img.width, img.height).data;
    };
    const da = data(ia), db = data(ib);
    let differ = 0;
    for (let i = 0; i < da.length; i += 4) {
      const d = Math.max(Math.abs(da[i] - db[i]), Math.abs(da[i + 1] - db[i + 1]), Math.abs(da[i + 2] - db[i + 2]));
      if (d > 96) differ++;
    }
    return differ / (da.length / 4);
  }, 'data:image/png;base64,' + pngA.toString('base64'), 'data:image/png;base64,' + pngB.toString('base64'));
}

function sortedAsWindow(names) {
  return names.filter((n) => /\.o/i.test(n)).sort((a, b) => {
    const x = a.toLowerCase(), y = b.toLowerCase();
    return x < y ? -1 : x > y ? 1 : 0;
  });
}

async function main() {
  fs.mkdirSync(outDir, { recursive: true });
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tavo-page-'));
  const picked = path.join(work, 'picked');
  fs.mkdirSync(picked);
  const samples = fs.readdirSync(samplesDir).filter((n) => n !== 'README.md');
  for (const n of samples) fs.copyFileSync(path.join(samplesDir, n), path.join(picked, n));
  // A damaged test (cut inside its header) and a file the list leaves out.
  fs.writeFileSync(path.join(picked, '坏文件.O00'), fs.readFileSync(path.join(samplesDir, samples[0])).subarray(0, 700));
  fs.writeFileSync(path.join(picked, 'notes.txt'), 'not a test');

  const browser = await puppeteer.launch({
    executablePath: chromium(),
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--lang=zh-CN', '--window-size=1366,768'],
  });
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1366, height: 768 });
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    const url = 'file://' + path.resolve(pageDir, 'tavo.html');
    const t0 = Date.now();
    await page.goto(url);
    await waitFor(page, 'window.tavoReadyMs !== undefined');
    const readyMs = await page.evaluate(() => window.tavoReadyMs);
    console.log(`figure  page interactive after ${readyMs.toFixed(0)} ms (module compiled, worker ready; ${Date.now() - t0} ms with the launch of the tab)`);

    // Picking: the list as the window lists the folder.
    const input = await page.$('#files');
    const all = fs.readdirSync(picked);
    await input.uploadFile(...all.map((n) => path.join(picked, n)));
    await waitFor(page, `document.querySelectorAll('#list div').length > 0`);
    const listedNames = await page.$$eval('#list div', (ds) => ds.map((d) => d.textContent));
    check(JSON.stringify(listedNames) === JSON.stringify(sortedAsWindow(all)), 'the file list has the window\'s order and pattern');
    await page.screenshot({ path: path.join(outDir, 'page-list.png') });

    // Each of a few tests: click, then the three views, each against the
    // desktop's picture of it.
    const clickMs = [], viewsMs = [];
    for (const name of listedNames.filter((n) => n !== '坏文件.O00').slice(0, 4)) {
      const index = listedNames.indexOf(name);
      await page.evaluate(() => { window.tavoLastAnalysisMs = undefined; window.tavoViewsReadyMs = undefined; });
      await page.click(`#list div:nth-child(${index + 1})`);
      await waitFor(page, 'window.tavoLastAnalysisMs !== undefined');
      clickMs.push(await page.evaluate(() => window.tavoLastAnalysisMs));
      await waitFor(page, 'window.tavoViewsReadyMs !== undefined');
      viewsMs.push(await page.evaluate(() => window.tavoViewsReadyMs));
      for (const view of ['chart', 'table', 'card']) {
        const viewNow = await page.evaluate(() => window.tavoPage.view);
        check(viewNow === view, `${name}: the clicks step to the ${view}`);
        const canvas = await page.$('#picture');
        // The drawing area's own pixels (the element's screenshot has its border).
        const shot = Buffer.from((await page.$eval('#picture', (c) => c.toDataURL('image/png'))).split(',')[1], 'base64');
        const safe = name.replace(/[^\w.-]/g, '_');
        fs.writeFileSync(path.join(outDir, `${safe}-${view}-page.png`), shot);
        const desktop = path.join(outDir, `${safe}-${view}-desktop.png`);
        const r = spawnSync(cli, ['render', '--view', view, '--scale', '2', '-o', desktop, path.join(picked, name)],
                            { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' } });
        if (r.status !== 0 || !fs.existsSync(desktop)) {
          check(view === 'card', `${name}: the desktop draws the ${view} (${String(r.stderr).trim()})`);
        } else {
          const d = await difference(page, shot, fs.readFileSync(desktop));
          check(d <= MAX_DIFFERENT, `${name}: the ${view} as on the desktop (${(d * 100).toFixed(2)} % of the pixels differ)`);
        }
        if (view === 'chart') await page.screenshot({ path: path.join(outDir, `${safe}-page-whole.png`) });
        await canvas.click();
      }
    }
    console.log(`figure  click to chart: ${clickMs.map((m) => m.toFixed(0)).join(', ')} ms; ` +
                `to the table and the card too: ${viewsMs.map((m) => m.toFixed(0)).join(', ')} ms`);

    // A damaged file: a Chinese message, nothing of the test before.
    const bad = listedNames.indexOf('坏文件.O00');
    await page.click(`#list div:nth-child(${bad + 1})`);
    await waitFor(page, `document.querySelector('#message').classList.contains('bad')`);
    const msg = await page.$eval('#message', (m) => m.textContent);
    const panelText = await page.$eval('#panel', (p) => p.textContent);
    check(/文件短于/.test(msg) && panelText === '', `a damaged file gets a clear message and no other test's data: ${msg}`);
    await page.screenshot({ path: path.join(outDir, 'page-damaged.png') });

    // Export: the download against tavo-cli export of the same list.
    const downloads = path.join(work, 'downloads');
    fs.mkdirSync(downloads);
    const session = await page.target().createCDPSession();
    await session.send('Page.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
    const exportOnce = async (names, dir) => {
      for (const f of fs.readdirSync(downloads)) fs.unlinkSync(path.join(downloads, f));
      await page.evaluate(() => { window.tavoLastExportMs = undefined; });
      await page.click('#export');
      await waitFor(page, 'window.tavoLastExportMs !== undefined', 120000);
      const file = path.join(downloads, 'exchange.txt');
      for (let i = 0; i < 200 && !fs.existsSync(file); i++) await new Promise((r) => setTimeout(r, 50));
      const want = path.join(work, 'want.txt');
      if (fs.existsSync(want)) fs.unlinkSync(want);
      spawnSync(cli, ['export', '-o', want, ...names.map((n) => path.join(dir, n))]);
      const ms = await page.evaluate(() => window.tavoLastExportMs);
      return { same: fs.existsSync(file) && Buffer.compare(fs.readFileSync(file), fs.readFileSync(want)) === 0, ms };
    };
    const small = await exportOnce(listedNames, picked);
    check(small.same, 'the exported exchange text has the desktop\'s bytes (code page 936)');

    // 1000 tests exported.
    const corpus = path.join(work, 'corpus');
    fs.mkdirSync(corpus);
    execFileSync(path.join(nativeDir, 'make_samples'), ['--corpus', String(corpusCount), corpus]);
    const many = fs.readdirSync(corpus);
    const input2 = await page.$('#files');
    await input2.uploadFile(...many.map((n) => path.join(corpus, n)));
    await waitFor(page, `document.querySelectorAll('#list div').length === ${sortedAsWindow(many).length}`);
    const big = await exportOnce(sortedAsWindow(many), corpus);
    console.log(`figure  ${many.length} tests exported in ${big.ms.toFixed(0)} ms (files read, analysed, written and downloaded)`);
    check(big.same, `${many.length} tests exported with the desktop's bytes`);
    check(errors.length === 0, 'no script error on the page' + (errors.length ? ': ' + errors.join('; ') : ''));
  } finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(`${passed} passed, ${failed} failed`);
  process.exit(failed ? 1 : 0);
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
