#!/usr/bin/env bash
# Sets up a fresh machine, builds the product and starts it.
# Until the editor exists this runs a short smoke run of the library stack on the virtual bus.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh build
export CANAPI_CHANNEL=${CANAPI_CHANNEL:-vbus:default}
exec build/bin/qbk-stack-smoke
