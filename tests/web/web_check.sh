#!/usr/bin/env bash
# The browser edition gives the desktop's results: the same analysis of the plethodon dataset
# (999 permutations, 1000 bootstraps, the default seed) natively with `tesvane run` and in the
# WebAssembly module, report texts compared byte for byte. Without the dataset, the bundled
# example data stand in for it (no templates there, so the page draws the axis without one).
#   same:    the module under node (and its results JSON, equal up to rounding); its recorded
#            session replayed by `tesvane script`
#   browser: the page in headless chromium, driven by puppeteer-core (web/node_modules)
# Usage: web_check.sh same|browser TESVANE WEB_BUILD_DIR DATA_DIR OUT_DIR
# Exits 77 (skipped) with the reason when a tool is missing.
set -euo pipefail
mode=$1 tesvane=$2 web_build=$3 data_dir=${TESVANE_DATA_DIR:-$4} out=$5
src=$(cd "$(dirname "$0")/../.." && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }

command -v em++ >/dev/null || skip "em++ (emscripten) is not installed; TESVANE_WEB=ON scripts/setup.sh installs it"
command -v node >/dev/null || skip "node is not installed"
data="$data_dir/plethodon"
if [ -d "$data" ]; then
  files=("$data/Jord_b1.txt" "$data/Jord_b2.txt" "$data/Teyah_b1.txt" "$data/Teyah_b2.txt")
else
  echo "the plethodon dataset is not in $data_dir: using the bundled example data"
  data="$src/examples/data"
  files=("$data/groupA_b1.txt" "$data/groupA_b2.txt" "$data/groupB_b1.txt" "$data/groupB_b2.txt")
fi
if [ "$mode" = browser ]; then
  chromium=$(command -v chromium || command -v chromium-browser || true)
  [ -n "$chromium" ] || skip "chromium is not installed"
  [ -d "$src/web/node_modules/puppeteer-core" ] ||
    skip "puppeteer-core is not installed; TESVANE_WEB=ON scripts/setup.sh runs npm ci in web/"
fi

rm -rf "$out" && mkdir -p "$out"
if ! TESVANE_JOBS=${TESVANE_JOBS:-1} "$src/scripts/build-web.sh" "$web_build" >"$out/build.log" 2>&1; then
  tail -50 "$out/build.log"
  echo "FAILED: the browser edition did not build (log: $out/build.log)"
  exit 1
fi
"$tesvane" run --g1b1 "${files[0]}" --g1b2 "${files[1]}" --g2b1 "${files[2]}" --g2b2 "${files[3]}" \
  --permute 999 --boot 1000 --seed 5489 --json "$out/native.json" >"$out/native.txt" 2>"$out/native.err"

compare() {  # compare NAME EXPECTED ACTUAL
  if cmp -s "$2" "$3"; then
    echo "$1: the same $(wc -c <"$2") bytes"
  else
    echo "FAILED: $1 differs from the desktop's"
    diff "$2" "$3" | head -40
    exit 1
  fi
}

if [ "$mode" = same ]; then
  node "$src/tests/web/run_in_node.js" "$web_build/web/tesvane.js" "$out" "${files[@]}" 999 1000 \
    >"$out/web.txt"
  compare "report texts of the WebAssembly module" "$out/native.txt" "$out/web.txt"
  node "$src/tests/web/compare_json.js" "$out/native.json" "$out/web.json"
  # The session recorded in the module, kept beside copies of its files, replayed on the desktop.
  cp "${files[@]}" "$out/"
  { cat "$out/session.tvs"; echo "print AuxResults"; } >"$out/replay.tvs"
  "$tesvane" script "$out/replay.tvs" >"$out/replayed.txt" 2>"$out/replay.err"
  compare "report of the recorded session replayed by tesvane script" "$out/last_report.txt" \
    "$out/replayed.txt"
else
  NODE_PATH="$src/web/node_modules" node "$src/tests/web/browser_check.js" "$chromium" \
    "$web_build/web/index.html" "$out" "${files[@]}" >"$out/browser.txt"
  compare "report texts of the page in chromium" "$out/native.txt" "$out/browser.txt"
  echo "screenshot: $out/page.png"
fi
