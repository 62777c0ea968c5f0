#!/usr/bin/env bash
# Builds everything and runs all tests. Usage: scripts/test.sh [--sanitize]
# --sanitize builds into build-asan with AddressSanitizer (leak checks included) and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
ctest_args=()
if [ "${1:-}" = "--sanitize" ]; then
  # The browser edition's checks (label web) build WebAssembly, where the sanitizers do not reach.
  ctest_args=(--label-exclude web)
  build_dir=build-asan
  export TESVANE_SANITIZE=ON
  # Leaks are errors too; only the system libraries' own caches are suppressed.
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi
scripts/setup.sh "$build_dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" "${ctest_args[@]}"
