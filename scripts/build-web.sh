#!/usr/bin/env bash
# Builds the browser edition: the WebAssembly module and its page, in BUILD_DIR/web (default
# build-web/web). Needs Debian's emscripten (TESVANE_WEB=ON scripts/setup.sh installs it).
# Usage: scripts/build-web.sh [BUILD_DIR]; TESVANE_JOBS sets the parallel jobs (default: cores).
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v em++ >/dev/null || ! command -v emcmake >/dev/null; then
  echo "build-web: em++ (emscripten) is not installed; run TESVANE_WEB=ON scripts/setup.sh" >&2
  exit 3
fi
# Emscripten's JavaScript optimiser needs Debian's node modules (node-acorn), which a node from
# another source does not look for by itself.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
build_dir="${1:-build-web}"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
if [ ! -f "$build_dir/build.ninja" ]; then
  emcmake cmake -S . -B "$build_dir" -G Ninja -DTESVANE_WEB=ON -DCMAKE_BUILD_TYPE=Release \
    -DTESVANE_WERROR="${TESVANE_WERROR:-OFF}" "${launcher[@]}"
fi
cmake --build "$build_dir" --parallel "${TESVANE_JOBS:-$(nproc)}"
echo "build-web: open $build_dir/web/index.html in a browser, or serve $build_dir/web from any static host"
