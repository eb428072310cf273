#!/usr/bin/env bash
# Runs the whole test suite: the normal build, the address/undefined-sanitizer build, the
# thread-sanitizer build of the library stack, and each fuzz target for a minute. The build
# kinds are the presets of CMakePresets.json.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

for kind in normal asan tsan; do
  bash scripts/build.sh "$kind"
  echo "== tests: $kind"
  ctest --preset "$kind" -j "$(nproc)"
done

bash scripts/build.sh fuzz
bash scripts/fuzz.sh build-fuzz "${QBK_FUZZ_SECONDS:-60}"
