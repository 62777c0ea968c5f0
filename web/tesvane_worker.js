// The page's worker: holds the WebAssembly module (createTesvane, defined just above in the same
// function) and runs the page's requests one at a time, so that the page stays responsive while
// an analysis or a bootstrap runs. Messages in:
//   {type: "file", name, data}        writes the user's file to /data/name
//   {type: "read", id, name}          answers with the text of /data/name (a saved axis)
//   {type: "call", id, fn, args}      calls an entry point tv_<fn> with text arguments
// Messages out: {type: "ready"}, {type: "progress", fraction, what}, {type: "answer", id, text}
// and {type: "failed", id, error}.
'use strict';
let tesvane = null;
const waiting = [];
let lastProgress = -1;

function handle(m) {
  if (m.type === 'file') {
    tesvane.FS.writeFile('/data/' + m.name, new Uint8Array(m.data));
    return;
  }
  if (m.type === 'read') {
    try {
      postMessage({type: 'answer', id: m.id, text: tesvane.FS.readFile('/data/' + m.name, {encoding: 'utf8'})});
    } catch (e) {
      postMessage({type: 'failed', id: m.id, error: 'no file ' + m.name + ' was written'});
    }
    return;
  }
  try {
    const types = m.args.map(() => 'string');
    const text = tesvane.ccall('tv_' + m.fn, 'string', types, m.args);
    lastProgress = -1;
    postMessage({type: 'answer', id: m.id, text: text});
  } catch (e) {
    postMessage({type: 'failed', id: m.id, error: String(e && e.message ? e.message : e)});
  }
}

onmessage = (event) => {
  if (tesvane) handle(event.data);
  else waiting.push(event.data);
};

createTesvane({
  // Progress arrives thousands of times; the page needs a new value only every percent.
  onProgress: (fraction, what) => {
    const percent = Math.floor(fraction * 100);
    if (percent === lastProgress) return;
    lastProgress = percent;
    postMessage({type: 'progress', fraction: fraction, what: what});
  },
  print: () => {},
  printErr: () => {},
}).then((module) => {
  tesvane = module;
  tesvane.FS.mkdir('/data');
  postMessage({type: 'ready'});
  while (waiting.length) handle(waiting.shift());
});
