#!/usr/bin/env bash
# Configures and builds one build kind of CMakePresets.json: build.sh <normal|asan|tsan|fuzz>
# [targets...]. Each kind has its own folder (build, build-asan, build-tsan, build-fuzz).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
kind=$1; shift
cmake --preset "$kind" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build --preset "$kind" -j "$(nproc)" "${targets[@]}"
