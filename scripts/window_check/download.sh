# Download Album as a user meets it, on a private virtual bus: with the simulated device (the
# download succeeds), again (the system is still idle), and with no device at all. Each time
# the result box is closed with Enter, and a screenshot taken during the close pause that
# follows (2.5 s) must show the main window painted again where the box was. Screenshots stay
# in build/window-check/download/.
out=build/window-check/download
rm -rf "$out"
mkdir -p "$out"
export CANAPI_CHANNEL=vbus:wcheck-$$
build/bin/qbk-devsim --node 1:0x1035:5 >"$out/devsim.log" 2>&1 & devsim=$!
trap 'kill "$devsim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q "devsim ready" "$out/devsim.log" && break; sleep 0.1; done
grep -q "devsim ready" "$out/devsim.log" || fail "the simulator did not join the bus"
start_qbk
xdotool windowfocus --sync "$main"
sleep 0.5
locate_client
xdotool mousemove --sync 1020 760
sleep 0.3
shot "$out/before.png"

download() {  # download <case name> <expected text in the box's title or nothing>
  local name=$1
  xdotool mousemove --sync $((client_x + 7 + 46)) $((client_y + 202 + 12)) click 1
  xdotool mousemove --sync 1020 760
  box=$(wait_for_box) || fail "$name: Download Album showed no box"
  sleep 0.5
  placed "$box"
  local bx=$X by=$Y bw=$WIDTH bh=$HEIGHT
  echo "$name: box \"$(xdotool getwindowname "$box")\" at $bx,$by ${bw}x$bh"
  shot "$out/$name-box.png"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  sleep 0.8
  shot "$out/$name-pause.png"
  kill -0 "$qbk" 2>/dev/null || fail "$name: the program ended"
  local gone still
  gone=$(changed_pixels "$out/$name-box.png" "$out/$name-pause.png" "$bx" "$by" "$bw" "$bh")
  still=$(changed_pixels "$out/before.png" "$out/$name-pause.png" "$bx" "$by" "$bw" "$bh")
  [ "$gone" -gt 0 ] || fail "$name: the box still shows during the close pause ($out/$name-pause.png)"
  # The window as it was before the command, but for a few pixels of focus and button looks.
  [ "$still" -lt $((bw * bh / 50)) ] ||
    fail "$name: $still pixels where the box was differ from the window before the command ($out/$name-pause.png)"
  echo "$name: during the close pause the window shows itself where the box was ($still pixels differ)"
  sleep 2.5
}

download success
download still-idle
kill "$devsim" 2>/dev/null || true
wait "$devsim" 2>/dev/null || true
download no-device
exit_by_menu
