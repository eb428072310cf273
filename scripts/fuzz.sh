#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build side by side for the given number of seconds.
set -euo pipefail
dir=$(cd "$1" && pwd); seconds=$2
shopt -s nullglob
targets=("$dir"/bin/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets built"; exit 0; }
pids=()
for t in "${targets[@]}"; do
  name=$(basename "$t")
  corpus="$dir/corpus/$name"; mkdir -p "$corpus"
  # Seeds committed beside the target are read too; new inputs go to the build's corpus.
  seeds="$(dirname "$0")/../fuzz/corpus/$name"; [ -d "$seeds" ] && seeds=$(cd "$seeds" && pwd) || seeds=""
  echo "== fuzz: $name for ${seconds}s"
  ( cd "$dir" && "$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "$corpus" ${seeds:+"$seeds"} \
      >"$dir/$name.log" 2>&1 ) &
  pids+=($!)
done
failed=0
for i in "${!pids[@]}"; do
  if ! wait "${pids[$i]}"; then
    echo "fuzz target $(basename "${targets[$i]}") failed:"; tail -40 "$dir/$(basename "${targets[$i]}").log"; failed=1
  fi
done
exit $failed
