#!/usr/bin/env bash
# Runs the whole test suite: the normal build, the address/undefined-sanitizer build, the
# thread-sanitizer build of the library stack, and each fuzz target for a minute.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh

jobs=$(nproc)
run_ctest() {
  echo "== tests: $1"
  ctest --test-dir "$1" -j "$jobs" --output-on-failure --no-tests=error
}

bash scripts/build.sh build -DQBK_WERROR=ON
run_ctest build

bash scripts/build.sh build-asan -DQBK_WERROR=ON -DQBK_SANITIZE=ON -DQBK_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_ctest build-asan

bash scripts/build.sh build-tsan -DQBK_WERROR=ON -DQBK_TSAN=ON -DQBK_BENCH=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan

CC=clang CXX=clang++ bash scripts/build.sh build-fuzz -DQBK_FUZZ=ON -DQBK_BENCH=OFF
bash scripts/fuzz.sh build-fuzz "${QBK_FUZZ_SECONDS:-60}"
