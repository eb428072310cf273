# File > Open Album... by Ctrl+O, the dialog cancelled with Esc, then a damaged album picked:
# each time the dialog shows once, and after the damaged album's message box is closed it does
# not come back. Screenshots stay in build/window-check/reopen/.
screenshot_folder reopen
albums=$(mktemp -d)
trap 'rm -rf "$albums"' EXIT
not_an_album "$albums/damaged.ZRB"

# Fails when the Open dialog shows again within three seconds: no_second_dialog <case>.
no_second_dialog() {
  for _ in $(seq 15); do
    xdotool search --onlyvisible --name "^Open$" >/dev/null 2>&1 && { shot "$out/$1-again.png"; fail "$1: the Open dialog came back"; }
    sleep 0.2
  done
  shot "$out/$1-after.png"
  echo "$1: the Open dialog did not come back"
}

start_qbk
open_album_dialog_by_key
xdotool windowfocus --sync "$dialog"
sleep 0.5
shot "$out/cancel-dialog.png"
xdotool key Escape
window_gone "^Open$" || fail "Esc did not close the Open dialog"
no_second_dialog cancelled

open_album_dialog_by_key
type_into_dialog "$dialog" "$albums/damaged.ZRB"
box=$(window_named "^Ostrel Quillbook$") || fail "the damaged album gave no message box"
sleep 0.5
shot "$out/damaged-box.png"
echo "damaged album: the box says so"
xdotool windowfocus --sync "$box"
xdotool key Return
window_gone "^Ostrel Quillbook$" || fail "Enter did not close the message box"
no_second_dialog damaged
xdotool search --onlyvisible --name "^Ostrel Quillbook$" >/dev/null 2>&1 && fail "a second message box showed"
exit_by_menu
