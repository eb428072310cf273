#!/usr/bin/env bash
# Shows a form with three panels in three styler looks under a virtual X server and saves a
# PNG of it: panel-screenshot.sh [out.png] (default build/qbk-panels.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-build/qbk-panels.png}
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk-panel-showcase
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bin/qbk-panel-showcase "$out"
