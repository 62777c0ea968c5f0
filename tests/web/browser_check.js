// Loads the page from its folder (file://, as a user opening it would) in headless chromium,
// runs the analysis through the page's own controls (group 1's files chosen in the file
// pickers, group 2's dropped on their boxes) and prints the report texts after the analysis and
// the bootstrap, as `tesvane run` prints them. Then draws an axis (on the templates when the
// data's folder has them), takes a screenshot (OUT_DIR/page.png), downloads the HTML report and
// the scores table, and checks that Cancel stops a long bootstrap and restores the session (the
// page busy meanwhile), that the page asked for nothing but its own files, and that results
// asked for too early and a refused file are said in words, the loaded block kept.
// Usage: node browser_check.js CHROMIUM INDEX_HTML OUT_DIR G1B1 G1B2 G2B1 G2B2
// (INDEX_HTML may also be an http:// address of the page on a static server.)
'use strict';
const fs = require('fs');
const path = require('path');
const puppeteer = require('puppeteer-core');

const [chromium, indexHtml, outDir, ...given] = process.argv.slice(2);
// Chromium reads an uploaded file only by a plain path (no "..").
const files = given.map((f) => path.resolve(f));
const loads = ['LoadG1B1', 'LoadG1B2', 'LoadG2B1', 'LoadG2B2'];

function fail(why) {
  throw new Error(why);
}

async function main() {
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    // Files never leave the computer: every request must be for the page's own files.
    const own = /^https?:/.test(indexHtml) ? new URL(indexHtml).origin
                                           : 'file://' + path.dirname(path.resolve(indexHtml)) + '/';
    const elsewhere = [];
    page.on('request', (r) => {
      const u = r.url();
      if (!u.startsWith(own) && !u.startsWith('data:') && !u.startsWith('blob:')) elsewhere.push(u);
    });
    await page.setViewport({width: 1400, height: 1000});
    await page.goto(/^https?:/.test(indexHtml) ? indexHtml : 'file://' + path.resolve(indexHtml));
    const status = () => page.$eval('#status', (e) => e.textContent);
    const waitStatus = async (text, timeout) => {
      try {
        await page.waitForFunction((t) => document.querySelector('#status').textContent.startsWith(t),
                                   {timeout: timeout || 600000}, text);
      } catch (e) {
        fail('waiting for "' + text + '", the page says "' + (await status()) + '"; ' + errors.join('; '));
      }
    };
    // The outcome of the last step, as the page keeps it beside the status line.
    const step = () => page.$eval('#status', (e) => e.dataset.step || '');
    const waitStep = async (action) => {
      try {
        await page.waitForFunction((a) => (document.querySelector('#status').dataset.step || '')
                                              .match(new RegExp('^' + a + ' (done|failed)')),
                                   {timeout: 600000}, action);
      } catch (e) {
        fail('waiting for ' + action + ', the page says "' + (await status()) + '"; ' + errors.join('; '));
      }
      return step();
    };
    const setText = (tag, value) => page.$eval(`[data-tag="${tag}"]`, (e, v) => { e.value = v; }, value);
    const run = async (action) => {
      await page.click(`button[data-action="${action}"]`);
      if ((await waitStep(action)) !== action + ' done.') {
        const s = await status();
        const msgs = await page.$eval('#messages', (e) => e.textContent);
        fail(action + ': ' + s + ' ' + msgs);
      }
      return page.$eval('#report', (e) => e.textContent);
    };

    // A file dropped on a block's box, as from a file manager.
    const drop = (selector, file) => page.$eval(selector, (el, name, base64) => {
      const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const dt = new DataTransfer();
      dt.items.add(new File([bytes], name, {type: 'text/plain'}));
      el.dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}));
    }, path.basename(file), fs.readFileSync(file).toString('base64'));

    await waitStatus('Ready');
    const messages = () => page.$$eval('#messages li', (l) => l.map((e) => e.textContent));
    // Results asked for before there are any: said in words, not an error on the page.
    await page.click('#dl-json');
    await page.waitForFunction(() => document.querySelector('#messages').textContent !== '', {timeout: 60000});
    if (!(await messages()).join().includes('no results yet')) fail('JSON before the analysis: ' + (await messages()));
    for (let i = 0; i < 4; ++i) {
      const slot = `.slot[data-action="${loads[i]}"]`;
      if (i < 2) {
        await (await page.$(slot + ' input[type=file]')).uploadFile(files[i]);
      } else {
        await drop(slot, files[i]);
      }
      if ((await waitStep(loads[i])) !== loads[i] + ' done.') fail(loads[i] + ': ' + (await status()));
    }
    // A file that is not data, dropped on a loaded block: one message naming it, and the box
    // still names the file the block holds.
    const slot0 = `.slot[data-action="${loads[0]}"]`;
    await page.$eval(slot0, (el) => {
      const dt = new DataTransfer();
      dt.items.add(new File([new Uint8Array([0x89, 0x50, 0x4e, 0x47, 0, 1, 2])], 'picture.png'));
      el.dispatchEvent(new DragEvent('drop', {dataTransfer: dt, bubbles: true, cancelable: true}));
    });
    if ((await waitStep(loads[0])) !== loads[0] + ' failed.') fail('a PNG was loaded as data');
    const said = await messages();
    const named = await page.$eval(slot0 + ' .file-name', (e) => e.textContent);
    if (said.length !== 1 || !said[0].includes('picture.png') || named !== path.basename(files[0])) {
      fail('after a refused file the page says ' + JSON.stringify(said) + ' and names ' + named);
    }
    if (!(await page.$eval('[data-tag="PermuteButton"]', (e) => e.checked))) {
      await page.click('[data-tag="PermuteButton"]');
    }
    await setText('PermBox', '999');
    const analysis = await run('DoSVD2');
    await setText('BootBox', '1000');
    await setText('AlphaBox', '0.05');
    const bootstrap = await run('BootSVD2Angle');
    process.stdout.write(analysis + '\n' + bootstrap + '\n');

    // The templates (six files, one chosen twice per group), then an axis as a deformed grid
    // with vectors on the template, drawn by the page.
    const dir = path.dirname(files[0]);
    const templates = ['template_outline.txt', 'clist_outline_block1.txt', 'clist_outline_block2.txt']
                          .map((t) => path.join(dir, t));
    if (templates.every((t) => fs.existsSync(t))) {
      await page.click('#templates summary');
      const inputs = await page.$$('.template-slot input[type=file]');
      for (let i = 0; i < 6; ++i) await inputs[i].uploadFile(templates[i % 3]);
      await page.waitForFunction(() => Array.from(document.querySelectorAll('.template-slot .file-name'))
                                         .every((e) => e.textContent !== ''), {timeout: 60000});
      await run('LoadTemplate');
      await page.click('[data-tag="TemplateButton"]');
    }
    await page.select('[data-tag="ReqAxisBox"]', '3');
    await page.select('[data-tag="DeFormat"]', '4');
    await setText('ExagerationBox', '0.15');
    await run('ShowAxis');
    const width = await page.$eval('#figure-img', (e) => e.naturalWidth);
    if (!(width > 0)) fail('the figure was not drawn');
    await page.screenshot({path: path.join(outDir, 'page.png'), fullPage: true});

    // The report file and the scores table, downloaded as the user would.
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: path.resolve(outDir)});
    const downloads = [['#dl-html', 'tesvane-report.html', '<!DOCTYPE html>'],
                       ['#dl-scores', 'tesvane-scores.csv', '"group","specimen","block1_axis1"']];
    for (const [button, name, start] of downloads) {
      const file = path.join(outDir, name);
      await page.click(button);
      for (let waited = 0; !fs.existsSync(file) && waited < 60000; waited += 100) {
        await new Promise((r) => setTimeout(r, 100));
      }
      if (!fs.existsSync(file)) fail(name + ' was not downloaded; the page says "' + (await status()) + '"');
      const text = fs.readFileSync(file, 'utf8');
      if (!text.startsWith(start)) fail(name + ' begins ' + JSON.stringify(text.slice(0, 60)));
      if (name.endsWith('.html') && !text.includes('<svg')) fail(name + ' has no figure');
    }

    // Cancel: a long bootstrap is stopped while the page stays responsive, and the session is
    // rebuilt as it was before it.
    await setText('BootBox', '1000000');
    await page.click('button[data-action="BootSVD2Angle"]');
    await page.waitForFunction(() => document.querySelector('#busy-progress').value > 0.001,
                               {timeout: 120000});
    await page.click('#cancel');
    // The page stays busy until the session is restored.
    if (!(await page.$eval('button[data-action="DoSVD2"]', (e) => e.disabled)) &&
        !(await status()).startsWith('Cancelled')) {
      fail('the buttons were free again before the session was restored');
    }
    await waitStatus('Cancelled', 300000);
    const restored = await page.$eval('#report', (e) => e.textContent);
    if (restored !== bootstrap) fail('the report after Cancel is not the one before the step');
    if (errors.length) fail('errors on the page: ' + errors.join('; '));
    if (elsewhere.length) fail('the page asked for files not its own: ' + elsewhere.join(', '));
  } finally {
    await browser.close();
  }
}

main().catch((e) => {
  console.error('browser_check: ' + (e.stack || e));
  process.exit(1);
});
