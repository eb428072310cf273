#!/usr/bin/env bash
# Shows the album editor's main window with three pictures added under a virtual X server and
# saves a PNG of it: screenshot.sh [--about|--file-menu] [out.png]. Without an option the main
# window (default build/qbk-main-window.png); --about the about box in front of it (default
# build/qbk-about-box.png); --file-menu the window with its File menu open (default
# build/qbk-file-menu.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=()
default_out=build/qbk-main-window.png
case "${1:-}" in
  --about) mode=(--about); default_out=build/qbk-about-box.png; shift ;;
  --file-menu) mode=(--file-menu); default_out=build/qbk-file-menu.png; shift ;;
esac
out=${1:-$default_out}
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk-screenshot
mkdir -p "$(dirname "$out")"
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" build/bin/qbk-screenshot "${mode[@]}" "$out"
