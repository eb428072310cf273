#!/usr/bin/env bash
# Drives the real album editor under a virtual X server with xdotool, as a user would:
# window_check.sh [--MODE]. Each mode is a check of its own in scripts/window_check/MODE.sh;
# without one the basic check runs (title, about box by keyboard twice, File > Exit). A window
# manager (openbox) runs in the virtual X session, as on a user's desktop.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=basic
case "${1:-}" in
  --*) mode=${1#--}; shift ;;
esac
[ -f "scripts/window_check/$mode.sh" ] || { echo "window_check.sh: no check named $mode" >&2; exit 2; }
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk qbk-devsim
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
export WINDOW_CHECK_MODE=$mode
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
set -euo pipefail
source scripts/window_check/common.sh
start_window_manager
source "scripts/window_check/$WINDOW_CHECK_MODE.sh"
echo "window check $WINDOW_CHECK_MODE passed"
' 
