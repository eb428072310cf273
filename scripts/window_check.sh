#!/usr/bin/env bash
# Drives the real album editor under a virtual X server with xdotool, as a user would: the main
# window's title as the window system shows it must be the form's caption alone, and the about
# box, opened from the Help menu by keyboard and closed with Enter, must give the input back
# (it is opened a second time; a program still locked by the first box would not open it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk
export XDG_CONFIG_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
set -euo pipefail
fail() { echo "window check: $*" >&2; kill "$qbk" 2>/dev/null || true; exit 1; }
build/bin/qbk & qbk=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name "Ostrel 50 Quillbook" | head -1) || fail "no main window"
title=$(xdotool getwindowname "$main")
[ "$title" = "Ostrel 50 Quillbook" ] || fail "the main window is titled \"$title\""
echo "main window title: \"$title\""
for round in 1 2; do
  xdotool windowfocus --sync "$main"
  xdotool key --window "$main" alt+h
  sleep 0.5
  xdotool key a
  box=$(timeout 10 xdotool search --sync --onlyvisible --name "^About$" | head -1) || fail "round $round: Help > About opened no box"
  echo "round $round: about box \"$(xdotool getwindowname "$box")\" shown"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "^About$" >/dev/null 2>&1 || break
    sleep 0.2
  done
  ! xdotool search --onlyvisible --name "^About$" >/dev/null 2>&1 || fail "round $round: Enter did not close the about box"
  echo "round $round: Enter closed it"
done
xdotool windowfocus --sync "$main"
xdotool key alt+f
sleep 0.5
xdotool key x
for _ in $(seq 50); do
  kill -0 "$qbk" 2>/dev/null || break
  sleep 0.2
done
! kill -0 "$qbk" 2>/dev/null || fail "File > Exit did not end the program"
wait "$qbk" || true
echo "window check passed"
'
