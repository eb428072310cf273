#!/usr/bin/env bash
# Shows the album editor's main window with three pictures added under a virtual X server and
# saves a PNG of it: screenshot.sh [--about|--file-menu|--card-drag|--panels|--panel-group] [out.png]. Without an option the main
# window (default build/qbk-main-window.png); --about the about box in front of it (default
# build/qbk-about-box.png); --file-menu the window with its File menu open (default
# build/qbk-file-menu.png); --card-drag a card list of its own with a card being dragged over
# another, its drag image and insertion arrow showing (default build/qbk-card-drag.png);
# --panels three panels in three styler looks (default build/qbk-panels.png); --panel-group a
# panel group of three panels, the middle one collapsed (default build/qbk-panel-group.png).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=()
tool=qbk-screenshot
default_out=build/qbk-main-window.png
case "${1:-}" in
  --card-drag) tool=qbk-card-drag-screenshot; default_out=build/qbk-card-drag.png; shift ;;
  --panels) tool=qbk-panel-showcase; default_out=build/qbk-panels.png; shift ;;
  --panel-group) tool=qbk-panel-group-screenshot; default_out=build/qbk-panel-group.png; shift ;;
  --about) mode=(--about); default_out=build/qbk-about-box.png; shift ;;
  --file-menu) mode=(--file-menu); default_out=build/qbk-file-menu.png; shift ;;
esac
out=${1:-$default_out}
bash scripts/install-deps.sh
bash scripts/build.sh normal "$tool"
mkdir -p "$(dirname "$out")"
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" "build/bin/$tool" "${mode[@]}" "$out"
