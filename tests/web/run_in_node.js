// Runs an analysis in the WebAssembly module under node, through the entry points the page's
// worker calls, and prints the text of the results window after each report (as `tesvane run`
// does); writes the recorded session to OUT_DIR/session.tvs, the last report to
// OUT_DIR/last_report.txt and the results JSON to OUT_DIR/web.json.
// Usage: node run_in_node.js MODULE_JS OUT_DIR G1B1 G1B2 G2B1 G2B2 PERMUTATIONS BOOTS
'use strict';
const fs = require('fs');
const path = require('path');

async function main() {
  const [moduleJs, outDir, ...rest] = process.argv.slice(2);
  const files = rest.slice(0, 4);
  const [permutations, boots] = rest.slice(4).map(Number);
  const createTesvane = require(path.resolve(moduleJs));
  const t = await createTesvane({print: () => {}, printErr: () => {}});
  t.FS.mkdir('/data');
  const call = (fn, ...args) => t.ccall('tv_' + fn, 'string', args.map(() => 'string'), args);
  const step = (action, controls, stepFiles) => {
    const answer = JSON.parse(call('step', JSON.stringify({action, controls, files: stepFiles || []})));
    if (!answer.ok) throw new Error(action + ' failed: ' + answer.error);
    return answer;
  };

  const loads = ['LoadG1B1', 'LoadG1B2', 'LoadG2B1', 'LoadG2B2'];
  files.forEach((f, i) => {
    const name = path.basename(f);
    t.FS.writeFile('/data/' + name, fs.readFileSync(f));
    step(loads[i], {}, ['/data/' + name]);
  });
  let out = step('DoSVD2', {PermuteButton: {Value: 1}, PermBox: {String: String(permutations)}}).report + '\n';
  const last = step('BootSVD2Angle', {BootBox: {String: String(boots)}, AlphaBox: {String: '0.05'}}).report + '\n';
  process.stdout.write(out + last);
  fs.writeFileSync(path.join(outDir, 'last_report.txt'), last);
  const r = JSON.parse(call('results_json'));
  if (!r.ok) throw new Error(r.error);
  fs.writeFileSync(path.join(outDir, 'web.json'), r.json);
  const s = JSON.parse(call('script'));
  if (!s.ok) throw new Error(s.error);
  fs.writeFileSync(path.join(outDir, 'session.tvs'), s.script);
}

main().catch((e) => {
  console.error('run_in_node: ' + (e.stack || e));
  process.exit(1);
});
