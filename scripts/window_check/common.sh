# Helpers for the window checks, sourced inside the virtual X session. Each check starts the real
# editor with start_qbk, drives it with xdotool and calls fail with a reason when it misbehaves.
fail() { echo "window check: $*" >&2; kill "${qbk:-}" 2>/dev/null || true; exit 1; }

# Starts build/bin/qbk (extra arguments go to it) and waits for its main window: $qbk, $main.
start_qbk() {
  build/bin/qbk "$@" & qbk=$!
  main=$(timeout 20 xdotool search --sync --onlyvisible --name "Ostrel 50 Quillbook" | head -1) || fail "no main window"
}

# Waits up to ten seconds for the program to end.
wait_for_exit() {
  for _ in $(seq 50); do
    kill -0 "$qbk" 2>/dev/null || break
    sleep 0.2
  done
  ! kill -0 "$qbk" 2>/dev/null
}

# Waits up to ten seconds for the windows titled like the pattern to go: window_gone <regex>.
window_gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

# Ends the program through File > Exit and checks that it ended.
exit_by_menu() {
  xdotool windowfocus --sync "$main"
  xdotool key alt+f
  sleep 0.5
  xdotool key x
  wait_for_exit || fail "File > Exit did not end the program"
  wait "$qbk" || true
}

# Saves a picture of the whole screen: shot <file.png>.
shot() { import -window root "$1"; }
