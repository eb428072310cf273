#!/usr/bin/env bash
# Runs bench_real_can_transfer inside Debian's kernel booted in QEMU (tools/guest_kernel): an
# album transfer through the kernel's CAN stack behind its default 10-frame transmit queue and
# behind a 1000-frame one, on a modelled 250 kbit/s bus. Extra arguments go to the benchmark.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh normal bench_real_can_transfer qbk-devsim klp_lib_usb canapi
guest_script=$(mktemp)
trap 'rm -f "$guest_script"' EXIT
printf './bench_real_can_transfer' >"$guest_script"
for argument in "$@"; do printf " '%s'" "$argument" >>"$guest_script"; done
bin=build/bin
bash tools/guest_kernel/run_guest.sh build/guest-kernel "$guest_script" "$bin/bench_real_can_transfer" \
  "$bin/qbk-devsim" "$bin/libklp_lib_usb.so" "$bin/libcanapi.so" "$bin/libqbk_platform.so"
