// Compares two results JSON files (`tesvane run --json`) value by value: the same variables, the
// same shapes, texts equal, and numbers equal up to rounding: 1e-6 of the largest magnitude in
// their variable. Two builds round differently (the decompositions agree to about 1e-11; the
// Box-Cox fit, an iterative minimisation, to about 1e-7), but no value may differ in sign or size.
// Usage: node compare_json.js EXPECTED ACTUAL
'use strict';
const fs = require('fs');

const [expected, actual] = process.argv.slice(2).map((f) => JSON.parse(fs.readFileSync(f, 'utf8')));
const problems = [];
// Where and how each run was made (its moment, its file paths, its threads) rightly differs.
const IGNORED = new Set(['provenance', 'threads']);

function largest(x) {
  if (Array.isArray(x)) return x.reduce((m, y) => Math.max(m, largest(y)), 0);
  return typeof x === 'number' ? Math.abs(x) : 0;
}

function compare(a, b, where, scale) {
  if (Array.isArray(a) || Array.isArray(b)) {
    if (!Array.isArray(a) || !Array.isArray(b) || a.length !== b.length) {
      problems.push(where + ': shapes differ');
      return;
    }
    a.forEach((x, i) => compare(x, b[i], where + '[' + i + ']', scale));
  } else if (typeof a === 'number' && typeof b === 'number') {
    if (Math.abs(a - b) > 1e-6 * scale) problems.push(where + ': ' + a + ' against ' + b);
  } else if (a !== null && typeof a === 'object' && b !== null && typeof b === 'object') {
    const keys = new Set([...Object.keys(a), ...Object.keys(b)]);
    for (const k of keys) {
      if (IGNORED.has(k)) continue;
      compare(a[k], b[k], where + '.' + k, Math.max(largest(a[k]), 1e-300));
    }
  } else if (a !== b) {
    problems.push(where + ': ' + JSON.stringify(a) + ' against ' + JSON.stringify(b));
  }
}

compare(expected, actual, '', 1);
if (problems.length) {
  console.log(problems.length + ' values differ; the first:\n' + problems.slice(0, 20).join('\n'));
  process.exit(1);
}
console.log('results JSON: every value the same up to rounding');
