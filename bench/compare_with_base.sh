#!/usr/bin/env bash
# Runs one benchmark built from an older commit and from the working tree, one after the other
# in this one run, and prints both times and their ratio. The older tree gets this tree's copy of
# the benchmark, so both measure the same thing through the same public interface.
#   bench/compare_with_base.sh <base-commit> [benchmark]   (default: bench_panel_hover)
set -euo pipefail

base_ref=${1:?usage: bench/compare_with_base.sh <base-commit> [benchmark]}
bench=${2:-bench_panel_hover}
root=$(git rev-parse --show-toplevel)
work=$root/build-bench-base
export QT_QPA_PLATFORM=offscreen

rm -rf "$work/src"
mkdir -p "$work/src"
git -C "$root" archive "$base_ref" | tar -x -C "$work/src"
cp "$root/bench/$bench.cpp" "$root/bench/$bench.cmake" "$work/src/bench/"

echo "building $bench at $base_ref and in the working tree" >&2
cmake -S "$work/src" -B "$work/build" -G Ninja -DQBK_WERROR=OFF >/dev/null
cmake --build "$work/build" -j"$(nproc)" --target "$bench" >/dev/null
cmake --preset normal -S "$root" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target "$bench" >/dev/null

run() { "$1" --benchmark_format=json --benchmark_min_time=2 --benchmark_repetitions=3 2>/dev/null; }
run "$work/build/bin/$bench" >"$work/before.json"
run "$root/build/bin/$bench" >"$work/after.json"

python3 - "$base_ref" "$work/before.json" "$work/after.json" <<'PY'
import json, sys
ref, before_path, after_path = sys.argv[1:]
def medians(path):
    rows = json.load(open(path))["benchmarks"]
    return {r["run_name"]: (r["real_time"], r["time_unit"]) for r in rows if r.get("aggregate_name") == "median"}
before, after = medians(before_path), medians(after_path)
for name, (b, unit) in before.items():
    a, _ = after[name]
    print(f"{name}: before ({ref}) {b:.2f} {unit}, after {a:.2f} {unit}, before/after {b / a:.1f}x")
PY
