// Speed of the browser edition in headless chromium: the time from a click on Analyse (no
// permutations) and on Bootstrap (1000 replicates) to the page saying the step is done, timed in
// the page, the best and the median of RUNS runs each; and the size of the four files the page
// is made of, gzip-compressed as a static host would serve them.
// Usage: NODE_PATH=web/node_modules node bench/web_speed.js CHROMIUM WEB_DIR G1B1 G1B2 G2B1 G2B2 [RUNS]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const puppeteer = require('puppeteer-core');

const [chromium, webDir, ...rest] = process.argv.slice(2);
const files = rest.slice(0, 4).map((f) => path.resolve(f));
const runs = Number(rest[4] || 7);
const loads = ['LoadG1B1', 'LoadG1B2', 'LoadG2B1', 'LoadG2B2'];

// Clicks the step's button and resolves with the milliseconds until the page marks the step done
// (its status line's data-step).
function timeStep(page, action) {
  return page.evaluate((action) => new Promise((resolve, reject) => {
    const status = document.querySelector('#status');
    const observer = new MutationObserver(() => {
      const outcome = status.dataset.step || '';
      if (outcome.endsWith('…')) return;  // still running
      observer.disconnect();
      if (outcome === action + ' done.') resolve(performance.now() - start);
      else reject(new Error(status.textContent + ' ' + document.querySelector('#messages').textContent));
    });
    observer.observe(status, {attributes: true, attributeFilter: ['data-step']});
    const start = performance.now();
    document.querySelector(`button[data-action="${action}"]`).click();
  }), action);
}

function summary(ms) {
  const sorted = [...ms].sort((a, b) => a - b);
  return `best ${sorted[0].toFixed(1)} ms, median ${sorted[Math.floor(sorted.length / 2)].toFixed(1)} ms`;
}

async function main() {
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
  try {
    const page = await browser.newPage();
    await page.goto('file://' + path.resolve(webDir, 'index.html'));
    await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('Ready'),
                               {timeout: 120000});
    for (let i = 0; i < 4; ++i) {
      await (await page.$(`.slot[data-action="${loads[i]}"] input[type=file]`)).uploadFile(files[i]);
      await page.waitForFunction((a) => document.querySelector('#status').dataset.step === a + ' done.',
                                 {timeout: 60000}, loads[i]);
    }
    await page.$eval('[data-tag="PermuteButton"]', (e) => { e.checked = false; });
    await page.$eval('[data-tag="BootBox"]', (e) => { e.value = '1000'; });
    const analyse = [];
    const bootstrap = [];
    for (let r = 0; r < runs; ++r) {
      analyse.push(await timeStep(page, 'DoSVD2'));
      bootstrap.push(await timeStep(page, 'BootSVD2Angle'));
    }
    console.log(`Analyse (DoSVD2), click to done: ${summary(analyse)}`);
    console.log(`Bootstrap, 1000 replicates, click to done: ${summary(bootstrap)}`);
  } finally {
    await browser.close();
  }
  let total = 0;
  for (const name of ['index.html', 'tesvane.css', 'tesvane_page.js', 'tesvane_worker_bundle.js']) {
    const bytes = fs.readFileSync(path.join(webDir, name));
    const gz = zlib.gzipSync(bytes, {level: 9}).length;
    total += gz;
    console.log(`${name}: ${bytes.length} bytes, ${gz} gzip-compressed`);
  }
  console.log(`the page's files: ${(total / 1048576).toFixed(2)} MB gzip-compressed`);
}

main().catch((e) => {
  console.error('web_speed: ' + (e.stack || e));
  process.exit(1);
});
