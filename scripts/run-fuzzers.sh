#!/usr/bin/env bash
# Runs every *_fuzz executable in BUILD_DIR/fuzz for SECONDS seconds each, with its seed corpus.
set -euo pipefail
if [[ "${1:-}" == "--help" || "${1:-}" == "-h" || $# -lt 2 ]]; then
  echo "usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS"
  echo "Runs every libFuzzer target under BUILD_DIR/fuzz for SECONDS seconds; fails on a finding."
  exit 0
fi
build=$1 seconds=$2
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for fuzzer in "$build"/fuzz/*_fuzz; do
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds=()
  [[ -d "$root/fuzz/corpus/$name" ]] && seeds=("$root/fuzz/corpus/$name")
  echo "== $name for ${seconds}s"
  if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=10 \
      -artifact_prefix="$build/" "$corpus" "${seeds[@]}" 2>"$build/$name.log"; then
    tail -40 "$build/$name.log"
    status=1
  else
    grep -E '^Done|#[0-9]+.*DONE' "$build/$name.log" | tail -1 || true
  fi
done
exit $status
