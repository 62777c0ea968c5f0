#!/usr/bin/env bash
# Prints md5 sums of the reports (standard output) and JSON files of headless runs on the real
# datasets: the plain analysis, with permutation tests, and with a seeded bootstrap. Run it
# before and after a change that must leave every report byte-identical, and compare.
# Usage: scripts/report-checksums.sh [TESVANE_BINARY] [DATA_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build/app/tesvane}"
data="${2:-${TESVANE_DATA_DIR:-../shared/data}}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

for dir in "$data"/*/; do
  [ -f "$dir/MANIFEST" ] || continue
  name="$(basename "$dir")"
  g1="$(sed -n 's/^group1=//p' "$dir/MANIFEST")"
  g2="$(sed -n 's/^group2=//p' "$dir/MANIFEST")"
  block2="$(sed -n 's/^block2=//p' "$dir/MANIFEST")"
  files=(--g1b1 "$dir/${g1}_b1.txt" --g1b2 "$dir/${g1}_b2.txt"
         --g2b1 "$dir/${g2}_b1.txt" --g2b2 "$dir/${g2}_b2.txt" --block2 "$block2")
  for run in plain "permute 999" "boot 1000 seed 7" "homology off"; do
    case "$run" in
      plain) extra=() ;;
      permute*) extra=(--permute 999) ;;
      boot*) extra=(--boot 1000 --seed 7) ;;
      homology*) extra=(--homology off --permute 99 --boot 200 --seed 7) ;;
    esac
    "$bin" run "${files[@]}" "${extra[@]}" --json "$tmp/out.json" >"$tmp/out.txt" 2>"$tmp/err.txt"
    # The echo on standard error is diagnostic; its sum is shown last, for information.
    printf '%-15s %-17s report %s  json %s  echo %s\n' "$name" "$run" \
      "$(md5sum <"$tmp/out.txt" | cut -d' ' -f1)" "$(md5sum <"$tmp/out.json" | cut -d' ' -f1)" \
      "$(md5sum <"$tmp/err.txt" | cut -d' ' -f1)"
  done
done
