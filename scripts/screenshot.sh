#!/usr/bin/env bash
# Shows the album editor's main window with three pictures added under a virtual X server and
# saves a PNG of it: screenshot.sh [--about] [out.png] (default build/qbk-main-window.png, with
# --about the about box in front of the window, default build/qbk-about-box.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
about=()
default_out=build/qbk-main-window.png
if [ "${1:-}" = "--about" ]; then
  about=(--about)
  default_out=build/qbk-about-box.png
  shift
fi
out=${1:-$default_out}
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk-screenshot
mkdir -p "$(dirname "$out")"
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bin/qbk-screenshot "${about[@]}" "$out"
