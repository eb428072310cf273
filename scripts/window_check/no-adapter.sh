# Download Album as a user with an adapter that is not plugged in meets it: CANAPI_CHANNEL names a
# SocketCAN interface that does not exist. Two boxes come, each closed with Enter: the interface
# library's ("USB CAN Adapter: unable to reset USB adapter"), then the editor's driver message;
# the debug output says which channel was asked for and why it could not open. Screenshots and
# the debug output stay in build/window-check/no-adapter/.
out=build/window-check/no-adapter
rm -rf "$out"
mkdir -p "$out"
export CANAPI_CHANNEL=socketcan:qbkcan9
export QBK_DEBUG_OUTPUT=$PWD/$out/debug.txt
start_qbk
xdotool windowfocus --sync "$main"
sleep 0.5
locate_client
xdotool mousemove --sync $((client_x + 7 + 46)) $((client_y + 202 + 12)) click 1
xdotool mousemove --sync 1020 760
for box_name in library editor; do
  box=$(wait_for_box) || fail "Download Album showed no $box_name box"
  sleep 0.5
  shot "$out/$box_name-box.png"
  echo "$box_name box: \"$(xdotool getwindowname "$box")\""
  xdotool windowfocus --sync "$box"
  xdotool key Return
  for _ in $(seq 50); do xdotool search --onlyvisible --pid "$qbk" 2>/dev/null | grep -qx "$box" || break; sleep 0.2; done
done
sleep 0.5
[ -z "$(xdotool search --onlyvisible --pid "$qbk" 2>/dev/null | grep -vx "$main")" ] || fail "a third box came"
# "no such interface", or on a kernel without CAN "cannot create a CAN socket: ...".
grep -qE 'canapi: SocketCAN interface "qbkcan9": (no such interface|cannot create a CAN socket)' "$out/debug.txt" ||
  fail "the debug output does not say why the interface could not be opened"
echo "debug output: $(cat "$out/debug.txt")"
exit_by_menu
