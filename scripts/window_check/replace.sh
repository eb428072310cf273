# Save Album As over an existing album: an album of seven pictures is saved, then a new album of
# one picture saved under the same name. The save dialog asks before it replaces the file; No
# (the question's default, pressed with Enter) keeps the seven pictures and the dialog open,
# Yes (Tab to it, Enter) writes the one. The album's card count is read back from the file
# after each step. Screenshots stay in build/window-check/replace/.
screenshot_folder replace
pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
for i in 1 2 3 4 5 6 7; do convert -size 176x220 "gradient:red-rgb(0,0,$((i * 30)))" "$pictures/p$i.png"; done
album="$pictures/album.ZRB"
cards_in_album() { od -An -tu2 -j4 -N2 "$album" | tr -d ' '; }

# File > Save Album As... with the name typed; leaves the dialog's window in $dialog.
save_as() {
  menu_keys f a
  dialog=$(window_named "^Save As$") || { shot "$out/no-dialog.png"; fail "Save Album As... opened no dialog"; }
  type_into_dialog "$dialog" "$pictures/album"
}
# The question the dialog asks: a second window titled like the dialog, belonging to it, waited
# for up to ten seconds.
question() { window_besides "$dialog" 50 --name "^Save As$"; }

# A picture is added after its dialog has closed, and input that comes while the program is
# busy with it is dropped: each add is given time to end before the next step.
add_and_settle() {
  add_photo "$1"
  sleep 1
}

start_qbk
for i in 1 2 3 4 5 6 7; do add_and_settle "$pictures/p$i.png"; done
save_as
window_gone "^Save As$" || fail "the first save left the dialog open"
[ "$(cards_in_album)" = 7 ] || fail "the first save wrote $(cards_in_album) cards"
echo "album of 7 pictures saved"

xdotool windowfocus --sync "$main"
xdotool key --window "$main" ctrl+n
add_and_settle "$pictures/p1.png"
save_as
ask=$(question) || fail "saving over the album asked nothing"
sleep 0.5
shot "$out/question.png"
echo "asked: \"$(xdotool getwindowname "$ask")\" over the dialog"
xdotool windowfocus --sync "$ask"
xdotool key Return
sleep 1
xdotool search --onlyvisible --name "^Save As$" | grep -qx "$ask" && fail "Enter did not answer the question"
xdotool search --onlyvisible --name "^Save As$" | grep -qx "$dialog" || fail "No closed the save dialog"
[ "$(cards_in_album)" = 7 ] || fail "No left $(cards_in_album) cards in the album"
shot "$out/answered-no.png"
echo "No: the dialog stays open and the album keeps its 7 pictures"

xdotool windowfocus --sync "$dialog"
xdotool key Return
ask=$(question) || fail "the second save asked nothing"
sleep 0.5
xdotool windowfocus --sync "$ask"
xdotool key Tab
sleep 0.3
shot "$out/yes-focused.png"
xdotool key Return
window_gone "^Save As$" || fail "Yes left the dialog open"
sleep 0.5
[ "$(cards_in_album)" = 1 ] || fail "Yes left $(cards_in_album) cards in the album"
shot "$out/answered-yes.png"
echo "Yes: the album now holds the 1 picture"
exit_by_menu
