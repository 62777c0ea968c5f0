#!/usr/bin/env bash
# Builds the program and runs the main analysis with a bootstrap, headless, on the bundled example
# data.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
d=examples/data
build/app/tesvane run --g1b1 $d/groupA_b1.txt --g1b2 $d/groupA_b2.txt \
                      --g2b1 $d/groupB_b1.txt --g2b2 $d/groupB_b2.txt --boot 100
