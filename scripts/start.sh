#!/usr/bin/env bash
# Sets up a fresh machine, builds the product, starts the simulated bus with one display node
# in the background and starts the album editor on it. Closing the editor stops the simulator.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh normal

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "start.sh: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "The album editor is a desktop program: run this from a graphical session," >&2
  echo "or see scripts/screenshot.sh for a run under a virtual X server." >&2
  exit 1
fi

export CANAPI_CHANNEL=${CANAPI_CHANNEL:-vbus:default}
# One display node of the family the editor selects at its first start ("Rurerovirez",
# profile 0x1035, hardware version 5); what it receives is kept in build/devsim-album.bin.
build/bin/qbk-devsim --node 1:0x1035:5 --store-image build/devsim-album.bin &
devsim=$!
trap 'kill "$devsim" 2>/dev/null || true' EXIT
build/bin/qbk
