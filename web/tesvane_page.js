// The page: the main window's five steps. Every step goes to the worker as the desktop's button
// would run it (the controls the user set, the files for its dialogs, the action string); the
// worker's answer brings back the report, the controls, the figure and any messages.
'use strict';
(function () {
  const $ = (sel, root) => (root || document).querySelector(sel);
  const $$ = (sel, root) => Array.from((root || document).querySelectorAll(sel));

  const TEMPLATE_TITLES = [
    'Template, group 1', 'Correspondence list, group 1 block 1',
    'Correspondence list, group 1 block 2', 'Template, group 2',
    'Correspondence list, group 2 block 1', 'Correspondence list, group 2 block 2',
  ];

  let worker = null;
  let nextId = 1;
  const pending = new Map();
  let busy = false;
  let cancelling = false;       // a cancelled step's worker is being replaced
  let iface = null;             // the controls, plot types and buttons of the main window
  const files = new Map();      // name in /data -> bytes, to rebuild a session after a cancel
  const fileOwner = new Map();  // name in /data -> name, size and date of the file it holds
  const templateFiles = new Array(TEMPLATE_TITLES.length).fill(null);
  let script = '';              // the session so far, as the worker recorded it
  let report = '';
  let figureSvg = '';
  let figureCount = 0;

  // ---- the worker ----

  function startWorker() {
    const source = '(' + tesvaneWorkerMain.toString() + ')();';
    const url = URL.createObjectURL(new Blob([source], {type: 'text/javascript'}));
    worker = new Worker(url);
    URL.revokeObjectURL(url);
    return new Promise((resolve, reject) => {
      worker.onerror = (e) => reject(new Error(e.message || 'the worker did not start'));
      worker.onmessage = (event) => {
        const m = event.data;
        if (m.type === 'ready') {
          worker.onmessage = onWorkerMessage;
          resolve();
        }
      };
    });
  }

  function onWorkerMessage(event) {
    const m = event.data;
    if (m.type === 'progress') {
      $('#busy-progress').value = m.fraction;
      $('#busy-what').textContent = m.what + ': ' + Math.floor(m.fraction * 100) + '%';
      return;
    }
    const p = pending.get(m.id);
    if (!p) return;
    pending.delete(m.id);
    if (m.type === 'answer') p.resolve(m.text);
    else p.reject(new Error(m.error));
  }

  function call(fn, ...args) {
    const id = nextId++;
    return new Promise((resolve, reject) => {
      pending.set(id, {resolve, reject});
      worker.postMessage({type: 'call', id, fn, args: args.map(String)});
    });
  }

  function read(name) {
    const id = nextId++;
    return new Promise((resolve, reject) => {
      pending.set(id, {resolve, reject});
      worker.postMessage({type: 'read', id, name});
    });
  }

  async function callJson(fn, ...args) {
    return JSON.parse(await call(fn, ...args));
  }

  function sendFile(name, bytes) {
    worker.postMessage({type: 'file', name, data: bytes.slice(0)});
  }

  // ---- status and messages ----

  function setStatus(text) { $('#status').textContent = text; }

  function showMessages(list, cls) {
    const ul = $('#messages');
    for (const text of list) {
      const li = document.createElement('li');
      li.textContent = userWords(text);
      if (cls) li.className = cls;
      ul.appendChild(li);
    }
  }

  // The session's folder is the page's own: the user knows a file by its name alone.
  function userWords(text) { return String(text).replace(/(^|[\s"'(])\/data\//g, '$1'); }

  function clearMessages() { $('#messages').textContent = ''; }

  function setBusy(on, what) {
    busy = on;
    $('#busy').hidden = !on;
    $('#busy-what').textContent = what || 'Working…';
    $('#busy-progress').removeAttribute('value');
    for (const el of $$('button[data-action], .slot input, .template-slot input')) el.disabled = on;
    document.body.setAttribute('aria-busy', on ? 'true' : 'false');
  }

  // ---- controls ----

  function controlOf(tag) { return iface.controls.find((c) => c.tag === tag); }

  function buildControls() {
    for (const span of $$('[data-label]')) {
      const control = controlOf(span.dataset.label);
      if (!control) continue;
      span.textContent = control.label;
      // The desktop's tooltips, on the label and its field alike.
      if (control.tooltip) span.closest('label').title = control.tooltip;
    }
    for (const b of $$('button[data-action]')) {
      const button = iface.buttons.find((x) => x.action === b.dataset.action);
      if (button && button.tooltip) b.title = button.tooltip;
    }
    for (const select of $$('select[data-tag]')) {
      const control = controlOf(select.dataset.tag);
      control.entries.forEach((name, i) => {
        const o = document.createElement('option');
        o.value = String(i + 1);
        o.textContent = select.dataset.tag === 'ScaleBox' ? name : (i + 1) + ' ' + name;
        select.appendChild(o);
      });
    }
  }

  // The values of the page's controls, as the step's "controls".
  function collectControls() {
    const out = {};
    for (const el of $$('[data-tag]')) {
      const tag = el.dataset.tag;
      if (el.type === 'checkbox') out[tag] = {Value: el.checked ? 1 : 0};
      else if (el.tagName === 'SELECT') out[tag] = {Value: Number(el.value)};
      else out[tag] = {String: el.value};
    }
    return out;
  }

  function applyState(s) {
    for (const el of $$('[data-tag]')) {
      const c = s.controls[el.dataset.tag];
      if (!c) continue;
      if (el.type === 'checkbox') el.checked = c.Value !== 0;
      else if (el.tagName === 'SELECT') el.value = String(c.Value);
      else el.value = c.String;
    }
    for (const slot of $$('.slot')) {
      const c = s.controls[slot.dataset.box];
      const summary = c ? c.String.trim() : '';
      $('pre', slot).textContent = summary;
      // An empty summary (a fresh session, Clear and reset) has no file loaded.
      if (!summary) {
        $('.file-name', slot).textContent = '';
        $('input', slot).value = '';
      }
    }
    report = s.report;
    $('#report').textContent = report;
    if (s.figure !== undefined) showFigure(s.figure);
    if (s.figure_error) {
      // The old picture is not the step's: none is shown.
      figureSvg = '';
      const img = $('#figure-img');
      if (img.src) URL.revokeObjectURL(img.src);
      img.removeAttribute('src');
      showMessages([s.figure_error], 'error');
    }
  }

  function showFigure(svg) {
    figureSvg = svg;
    const img = $('#figure-img');
    if (img.src) URL.revokeObjectURL(img.src);
    img.src = URL.createObjectURL(new Blob([svg], {type: 'image/svg+xml'}));
  }

  function showConsole(answer) {
    const lines = answer.console || [];
    const skipped = (answer.console_count || 0) - lines.length;
    $('#console').textContent = (skipped > 0 ? '… ' + skipped + ' earlier lines\n' : '') + lines.join('\n');
  }

  // ---- steps ----

  const STEP_NAMES = {
    DoSVD2: 'Analysing', BootSVD2Angle: 'Bootstrapping', ShowAxis: 'Drawing',
    LoadTemplate: 'Loading templates',
  };

  // The step as its button names it, for the status line and the messages.
  function stepTitle(action) {
    const b = iface.buttons.find((x) => x.action === action);
    if (!b) return action === 'ExportReport' ? 'Save the report' : action;
    return b.group === 'save' ? 'Save ' + b.label : b.label;
  }

  // The status line in the user's words; data-step keeps the action's outcome for the tests.
  function setOutcome(action, ok) {
    setStatus(stepTitle(action) + (ok ? ': done.' : ': failed.'));
    $('#status').dataset.step = action + (ok ? ' done.' : ' failed.');
  }

  async function runStep(action, stepFiles) {
    if (busy) return null;
    clearMessages();
    const doing = (STEP_NAMES[action] || stepTitle(action)) + '…';
    setBusy(true, doing);
    setStatus(doing);
    $('#status').dataset.step = action + '…';
    try {
      const answer = await callJson('step', JSON.stringify({
        controls: collectControls(), files: (stepFiles || []).map((n) => '/data/' + n), action,
      }));
      if (answer.controls) applyState(answer);
      showConsole(answer);
      // A failure's reason is shown once, as the step's error, not also as a plain message.
      showMessages(answer.messages.filter((m) => answer.ok || m !== answer.error));
      if (answer.declined.length) {
        showMessages(answer.declined.map((t) => 'Not available in the page: ' + t), 'error');
      }
      if (!answer.ok) showMessages([stepTitle(action) + ' failed: ' + answer.error], 'error');
      setOutcome(action, answer.ok);
      const s = await callJson('script');
      if (s.ok) script = s.script;
      return answer;
    } catch (e) {
      // A cancelled step: cancel() says so, and keeps the page busy until the session is back.
      if (cancelling) return null;
      showMessages([String(e.message || e)], 'error');
      setStatus('The step stopped: ' + (e.message || e));
      return null;
    } finally {
      if (!cancelling) setBusy(false);
    }
  }

  function fileKey(file) { return file.name + '|' + file.size + '|' + file.lastModified; }

  // A file's name as a script line can hold it.
  function safeName(file) { return file.name.replace(/[\\/\r\n"]/g, '_') || 'data.txt'; }

  // The name a file gets in the session's folder: its own, unless another file has it.
  function fileName(file) {
    const base = safeName(file);
    let name = base;
    for (let i = 2; fileOwner.has(name) && fileOwner.get(name) !== fileKey(file); ++i) {
      name = base.replace(/(\.[^.]*)?$/, '-' + i + '$1');
    }
    return name;
  }

  async function addFile(file) {
    const bytes = await file.arrayBuffer();
    const name = fileName(file);
    fileOwner.set(name, fileKey(file));
    files.set(name, bytes);
    sendFile(name, bytes);
    return name;
  }

  // The file's bytes in the session's folder, or nothing (with the reason shown) when the
  // browser cannot read it.
  async function addFileOrSay(file) {
    try {
      return await addFile(file);
    } catch (e) {
      clearMessages();
      showMessages(['The browser could not read ' + file.name + ': ' + (e.message || e)], 'error');
      setStatus('A file could not be read.');
      return null;
    }
  }

  async function loadInto(slot, file, ignored) {
    if (busy || !file) return;
    const claims = !fileOwner.has(fileName(file));
    // A large file takes a while to read: no other step may start meanwhile, or the load
    // would find the page busy and be dropped without a word.
    setBusy(true, 'Reading ' + file.name + '…');
    $('#cancel').disabled = true;
    const name = await addFileOrSay(file);
    $('#cancel').disabled = false;
    setBusy(false);
    if (!name) return;
    const shown = $('.file-name', slot);
    const before = shown.textContent;
    shown.textContent = name;
    const answer = await runStep(slot.dataset.action, [name]);
    if (!answer || !answer.ok) {
      // The block keeps the file it had: the box must not name the one refused.
      shown.textContent = before;
      $('input', slot).value = '';
      // Nor does the refused file keep its name from the file chosen next (often the same
      // file, corrected): that one would be renamed, and the script would need a copy of it.
      if (answer && claims) fileOwner.delete(name);
    } else if (name !== safeName(file)) {
      showMessages([`Another file named ${safeName(file)} is already in this session, so this one is ` +
                    `kept as ${name}. The session script names it so: to replay the script, ` +
                    `save a copy of the file under that name beside it.`]);
    }
    if (answer && ignored) {
      showMessages([`Only ${file.name} was loaded: each box takes one file, and ${ignored} more ` +
                    `${ignored === 1 ? 'was' : 'were'} dropped with it.`], 'error');
    }
  }

  function dropZone(el, onFile) {
    el.addEventListener('dragover', (e) => { e.preventDefault(); el.classList.add('drag'); });
    el.addEventListener('dragleave', () => el.classList.remove('drag'));
    el.addEventListener('drop', (e) => {
      e.preventDefault();
      el.classList.remove('drag');
      const dropped = e.dataTransfer.files;
      if (dropped.length) onFile(dropped[0], dropped.length - 1);
    });
  }

  function buildSlots() {
    for (const slot of $$('.slot')) {
      const control = controlOf(slot.dataset.box);
      slot.innerHTML = '<span class="title"></span><input type="file">' +
                       '<span class="file-name hint"></span><pre></pre>';
      $('.title', slot).textContent = control.label;
      $('input', slot).setAttribute('aria-label', control.label);
      $('input', slot).addEventListener('change', (e) => loadInto(slot, e.target.files[0]));
      dropZone(slot, (f, ignored) => loadInto(slot, f, ignored));
    }
    const box = $('.template-files');
    TEMPLATE_TITLES.forEach((title, i) => {
      const div = document.createElement('div');
      div.className = 'template-slot';
      div.innerHTML = '<span class="title"></span><input type="file"><span class="file-name hint"></span>';
      $('.title', div).textContent = title;
      $('input', div).setAttribute('aria-label', title);
      const take = async (f) => {
        if (!f || busy) return;
        const name = await addFileOrSay(f);
        if (!name) return;
        templateFiles[i] = name;
        $('.file-name', div).textContent = name;
      };
      $('input', div).addEventListener('change', (e) => take(e.target.files[0]));
      dropZone(div, take);
      box.appendChild(div);
    });
  }

  // ---- cancel: the worker is stopped, and a new one replays the session up to the step ----

  async function cancel() {
    if (!busy) return;
    cancelling = true;
    worker.terminate();
    for (const p of pending.values()) p.reject(new Error('cancelled'));
    pending.clear();
    setBusy(true, 'Cancelled; restoring the session…');
    setStatus('Cancelling: restoring the session…');
    $('#cancel').disabled = true;
    try {
      await startWorker();
      for (const [name, bytes] of files) sendFile(name, bytes);
      const answer = await callJson('replay', script);
      applyState(answer);
      clearMessages();
      showMessages(['The step was cancelled; nothing was reported.']);
      setStatus('Cancelled.');
    } catch (e) {
      showMessages(['The session could not be restored: ' + (e.message || e)], 'error');
    } finally {
      cancelling = false;
      $('#cancel').disabled = false;
      setBusy(false);
    }
  }

  // ---- downloads ----

  function download(name, blob) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }

  // The Save buttons of the main window: the action writes the file its save dialog is
  // answered with, and the page hands it on as a download.
  const savedNames = new Set();
  async function saveByAction(action, base, extension, type) {
    if (busy) return;
    let name = base + extension;
    for (let i = 2; savedNames.has(name); ++i) name = base + '-' + i + extension;
    const answer = await runStep(action, [name]);
    if (!answer || !answer.ok) return;
    let text;
    try {
      text = await read(name);
    } catch (e) {
      return;  // the action declined (its message is shown)
    }
    savedNames.add(name);
    download(name, new Blob([text], {type: type}));
  }

  function saveAxisFile() {
    const select = $('#save-which');
    const button = iface.buttons.find((b) => b.action === select.value);
    const base = button.label.toLowerCase().replace(/[^a-z0-9]+/g, '-').replace(/^-|-$/g, '');
    return saveByAction(button.action, base, '.txt', 'text/plain');
  }

  function buildSaveList() {
    const select = $('#save-which');
    // The scores table has a button of its own (a CSV file, not an axis).
    for (const b of iface.buttons.filter((x) => x.group === 'save' && x.action !== 'SaveScores')) {
      const o = document.createElement('option');
      o.value = b.action;
      o.textContent = b.label;
      select.appendChild(o);
    }
  }

  async function downloadFigure(kind) {
    if (busy || !figureSvg) return;
    const name = 'figure-' + (++figureCount) + '.' + kind;
    if (kind === 'svg') {
      download(name, new Blob([figureSvg], {type: 'image/svg+xml'}));
    } else {
      const png = await svgToPng(figureSvg, 2);
      download(name, png);
    }
    await call('note_saved_figure', name);
    const s = await callJson('script');
    if (s.ok) script = s.script;
  }

  // Draws the SVG on a canvas `scale` times its size in points and returns the PNG.
  function svgToPng(svg, scale) {
    return new Promise((resolve, reject) => {
      const img = new Image();
      img.onload = () => {
        const canvas = document.createElement('canvas');
        canvas.width = Math.round(img.naturalWidth * scale);
        canvas.height = Math.round(img.naturalHeight * scale);
        const g = canvas.getContext('2d');
        g.fillStyle = '#fff';
        g.fillRect(0, 0, canvas.width, canvas.height);
        g.drawImage(img, 0, 0, canvas.width, canvas.height);
        canvas.toBlob((b) => (b ? resolve(b) : reject(new Error('no PNG'))), 'image/png');
      };
      img.onerror = () => reject(new Error('the figure could not be drawn'));
      img.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(svg);
    });
  }

  function wireButtons() {
    for (const b of $$('button[data-action]')) {
      if (b.id === 'load-templates') continue;
      b.addEventListener('click', () => {
        // As on the desktop, a session with data in it is cleared only when the user agrees.
        const loaded = $$('.slot pre').some((p) => p.textContent !== '');
        if (b.dataset.action === 'Clear&reset' && loaded && !busy &&
            !window.confirm('Forget the loaded blocks and the analysis, and clear the plot and the results?')) {
          return;
        }
        runStep(b.dataset.action);
      });
    }
    $('#load-templates').addEventListener('click', () => {
      if (templateFiles.some((f) => !f)) {
        clearMessages();
        showMessages(['Choose all six template files first.'], 'error');
        return;
      }
      runStep('LoadTemplate', templateFiles);
    });
    $('#cancel').addEventListener('click', cancel);
    $('#dl-axis').addEventListener('click', saveAxisFile);
    $('#dl-svg').addEventListener('click', () => downloadFigure('svg'));
    $('#dl-png').addEventListener('click', () => downloadFigure('png'));
    $('#dl-report').addEventListener('click', () => {
      if (busy) return;
      clearMessages();
      if (!report.trim()) showMessages(['There is no report yet: run the analysis first.'], 'error');
      else download('tesvane-report.txt', new Blob([report], {type: 'text/plain'}));
    });
    $('#dl-html').addEventListener('click', () =>
      saveByAction('ExportReport', 'tesvane-report', '.html', 'text/html'));
    $('#dl-scores').addEventListener('click', () =>
      saveByAction('SaveScores', 'tesvane-scores', '.csv', 'text/csv'));
    $('#dl-json').addEventListener('click', async () => {
      if (busy) return;
      const r = await callJson('results_json');
      clearMessages();
      if (!r.ok) showMessages([r.error], 'error');
      else download('tesvane-results.json', new Blob([r.json], {type: 'application/json'}));
    });
    $('#dl-script').addEventListener('click', async () => {
      if (busy) return;
      const s = await callJson('script');
      if (!s.ok) {
        clearMessages();
        showMessages([s.error], 'error');
        return;
      }
      script = s.script;
      download('session.tvs', new Blob([script], {type: 'text/plain'}));
    });
  }

  // A file dropped beside the boxes would make the browser open it in place of the page.
  function guardDrops() {
    window.addEventListener('dragover', (e) => e.preventDefault());
    window.addEventListener('drop', (e) => e.preventDefault());
  }

  async function start() {
    guardDrops();
    try {
      await startWorker();
      iface = await callJson('interface');
      buildControls();
      buildSlots();
      buildSaveList();
      wireButtons();
      applyState(await callJson('state'));
      setStatus('Ready. Random streams use the seed ' + iface.seed + ', as on the desktop.');
    } catch (e) {
      setStatus('The page could not start: ' + (e.message || e));
    }
  }

  start();
})();
