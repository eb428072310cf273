#!/usr/bin/env bash
# Shows a panel group of three panels, the middle one collapsed, under a virtual X server and
# saves a PNG of it: panel-group-screenshot.sh [out.png] (default build/qbk-panel-group.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-build/qbk-panel-group.png}
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk-panel-group-screenshot
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bin/qbk-panel-group-screenshot "$out"
