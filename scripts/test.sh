#!/usr/bin/env bash
# Builds everything and runs all tests. Usage: scripts/test.sh [--sanitize]
# --sanitize builds into build-asan with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build-asan
  export TESVANE_SANITIZE=ON
  export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
scripts/setup.sh "$build_dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)"
