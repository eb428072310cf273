# A close request (the title bar's close button) made while Download Album runs: the command
# goes on to its result box, and the program ends once the box is closed with Enter. Without a
# device the command is short, so the request is sent right after the click, while the click's
# handler still runs. Screenshots stay in build/window-check/close/.
screenshot_folder close
export CANAPI_CHANNEL=vbus:wcheck-$$
start_qbk
xdotool windowfocus --sync "$main"
sleep 0.5
locate_client
xdotool mousemove --sync $((client_x + 7 + 46)) $((client_y + 202 + 12)) click 1
# The system interpreter: the Debian package python3-xlib is installed for it.
/usr/bin/python3 scripts/window_check/close_request.py "$main"
box=$(wait_for_box) || fail "Download Album showed no box"
sleep 0.5
shot "$out/box.png"
kill -0 "$qbk" 2>/dev/null || fail "the program ended before the box was answered"
echo "box \"$(xdotool getwindowname "$box")\" shows; the program still runs"
xdotool windowfocus --sync "$box"
xdotool key Return
wait_for_exit || fail "the close request made during the command was lost: the program still runs"
wait "$qbk" || true
echo "the program ended after the box was closed"
