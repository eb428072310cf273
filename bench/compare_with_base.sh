#!/usr/bin/env bash
# Runs one benchmark built from an older commit and from the working tree, one after the other
# in this one run, and prints both times and their ratio. The older tree gets this tree's copy of
# the benchmark and of the headers the benchmarks share, so both measure the same thing through the
# same public interface.
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
find "$root/bench" -maxdepth 1 -name '*.h' -exec cp -t "$work/src/bench/" {} +

echo "building $bench at $base_ref and in the working tree" >&2
cmake -S "$work/src" -B "$work/build" -G Ninja -DQBK_WERROR=OFF >/dev/null
cmake --build "$work/build" -j"$(nproc)" --target "$bench" >/dev/null
cmake --preset normal -S "$root" >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target "$bench" >/dev/null

# Rounds alternate between the two, so that a machine busy with other work slows both alike.
rounds=5
for i in $(seq "$rounds"); do
  for side in before after; do
    [ "$side" = before ] && binary="$work/build/bin/$bench" || binary="$root/build/bin/$bench"
    "$binary" --benchmark_format=json --benchmark_min_time=1 2>/dev/null >"$work/$side-$i.json"
  done
done

python3 - "$base_ref" "$work" "$rounds" <<'PY'
import json, statistics, sys
ref, work, rounds = sys.argv[1], sys.argv[2], int(sys.argv[3])
def times(side):
    runs = {}
    for i in range(1, rounds + 1):
        for row in json.load(open(f"{work}/{side}-{i}.json"))["benchmarks"]:
            runs.setdefault(row["run_name"], []).append((row["real_time"], row["time_unit"]))
    return {name: (statistics.median(t for t, _ in rows), rows[0][1]) for name, rows in runs.items()}
before, after = times("before"), times("after")
for name, (b, unit) in before.items():
    a, _ = after[name]
    print(f"{name} (median of {rounds} alternating rounds): before ({ref}) {b:.2f} {unit}, after {a:.2f} {unit}, "
          f"before/after {b / a:.2f}x")
PY
