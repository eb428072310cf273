#!/usr/bin/env bash
# Shows the album editor's main window with three pictures added under a virtual X server and
# saves a PNG of it: screenshot.sh [out.png] [--file-menu] (default build/qbk-main-window.png);
# with --file-menu the File menu is open in the picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=${1:-build/qbk-main-window.png}
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk-screenshot
mkdir -p "$(dirname "$out")"
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bin/qbk-screenshot "$out" ${2:-}
