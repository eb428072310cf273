#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build side by side for the given number of seconds:
#   fuzz.sh <fuzz build folder> <seconds>
# Each target starts from its committed seed corpus (fuzz/corpus/<target>, written by the build's
# make_seed_corpus), copied into a scratch folder of the build so that the run never changes it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=$(cd "$1" && pwd); seconds=$2
shopt -s nullglob
targets=("$dir"/bin/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets built"; exit 0; }
pids=()
for t in "${targets[@]}"; do
  name=$(basename "$t")
  corpus="$dir/corpus/$name"; rm -rf "$corpus"; mkdir -p "$corpus"
  seeds=("$root/fuzz/corpus/$name"/*)
  [ ${#seeds[@]} -gt 0 ] && cp "${seeds[@]}" "$corpus"/
  echo "== fuzz: $name for ${seconds}s from ${#seeds[@]} seeds"
  ( cd "$dir" && "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" \
      >"$dir/$name.log" 2>&1 ) &
  pids+=($!)
done
failed=0
for i in "${!pids[@]}"; do
  name=$(basename "${targets[$i]}")
  if ! wait "${pids[$i]}"; then
    echo "fuzz target $name failed:"; tail -40 "$dir/$name.log"; failed=1
  else
    # The last status line: executions, coverage (cov: edges, ft: features) and the rate.
    echo "$name: $(grep -E '^#[0-9]+' "$dir/$name.log" | tail -1)"
  fi
done
exit $failed
