# Dialog windows as the window manager sees them. The about box and a message box (the error a
# damaged album gives) ask for a fixed size and no minimise or maximise, belong to the main
# window (so that minimising one takes the main window down with it and restoring brings both
# back), keep their size when a maximise is asked for, and answer the keyboard: Esc closes the
# about box, Tab to a button and Enter presses it, in the boxes and in the main window. The file
# dialogs (Open Album..., Save Album As..., Add Photo's) belong to the main window the same way.
# Screenshots stay in build/window-check/dialogs/.
screenshot_folder dialogs
albums=$(mktemp -d)
trap 'rm -rf "$albums"' EXIT
not_an_album "$albums/damaged.ZRB"

# What a dialog asks of the window manager and what the manager then allows it:
# dialog_hints <name> <window> <width> <height>.
dialog_hints() {
  local name=$1 w=$2 width=$3 height=$4 flags functions decorations actions normal owner
  IFS=', ' read -r flags functions decorations _ <<<"$(xprop -id "$w" _MOTIF_WM_HINTS | sed -n 's/.*= //p')"
  [ -n "$flags" ] || fail "$name: no _MOTIF_WM_HINTS"
  # Functions 0x8 minimise, 0x10 maximise (0x1: all); decorations 0x20, 0x40 (0x1: all).
  if (( flags & 1 )); then
    (( (functions & 0x19) == 0 )) || fail "$name: the window asks for minimise or maximise (functions $functions)"
  fi
  (( flags & 2 )) || fail "$name: the window leaves its decorations to the window manager"
  (( (decorations & 0x61) == 0 )) || fail "$name: the window asks for minimise or maximise buttons (decorations $decorations)"
  echo "$name: _MOTIF_WM_HINTS flags $flags functions $functions decorations $decorations: no minimise, no maximise"
  normal=$(xprop -id "$w" WM_NORMAL_HINTS)
  grep -q "program specified minimum size: $width by $height" <<<"$normal" &&
    grep -q "program specified maximum size: $width by $height" <<<"$normal" ||
    fail "$name: not fixed at $width x $height: $normal"
  echo "$name: WM_NORMAL_HINTS minimum and maximum size $width x $height"
  actions=$(xprop -id "$w" _NET_WM_ALLOWED_ACTIONS | sed -n 's/.*= //; s/_NET_WM_ACTION_//g; p')
  for refused in RESIZE MAXIMIZE_HORZ MAXIMIZE_VERT; do
    grep -qw "$refused" <<<"$actions" && fail "$name: the window manager allows $refused ($actions)"
  done
  echo "$name: the window manager allows $actions"
  owned_by_main "$name" "$w"
}

# The window belongs to the main window: owned_by_main <name> <window>.
owned_by_main() {
  local owner
  owner=$(xprop -id "$2" WM_TRANSIENT_FOR | sed -n 's/.*# //p')
  [ -n "$owner" ] && [ "$((owner))" = "$main" ] || fail "$1: belongs to window ${owner:-none}, not to the main window $(printf 0x%x "$main")"
  echo "$1: WM_TRANSIENT_FOR the main window"
}

wm_state() { xprop -id "$1" WM_STATE | sed -n 's/.*window state: //p'; }

# A maximise asked of the window manager leaves the window's size as it was; minimising it takes
# the main window down too, and activating the main window brings both back:
# maximise_and_minimise <name> <window>.
maximise_and_minimise() {
  local name=$1 w=$2 before after
  before=$(xdotool getwindowgeometry "$w" | grep Geometry)
  /usr/bin/python3 scripts/window_check/maximize_request.py "$w"
  sleep 0.5
  after=$(xdotool getwindowgeometry "$w" | grep Geometry)
  shot "$out/$name-maximise-asked.png"
  [ "$before" = "$after" ] || fail "$name: a maximise request changed it from $before to $after"
  echo "$name: a maximise request leaves it at$after"
  # openbox draws its three buttons on every frame; the maximise button, the middle one, is
  # inert where maximising is not allowed. A click on it as a user's:
  local X Y WIDTH HEIGHT top
  eval "$(xdotool getwindowgeometry --shell "$w")"
  top=$(xprop -id "$w" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | cut -d, -f3)
  xdotool mousemove --sync $((X + WIDTH - 26)) $((Y - top / 2)) click 1
  xdotool mousemove --sync 1020 760
  sleep 0.5
  after=$(xdotool getwindowgeometry "$w" | grep Geometry)
  shot "$out/$name-maximise-clicked.png"
  [ "$before" = "$after" ] || fail "$name: a click on the frame's maximise button changed it to $after"
  echo "$name: a click on the frame's maximise button leaves it at$after"
  minimise_together "$name" "$w"
}

# Minimising the window takes the main window down too, and activating the main window brings
# both back: minimise_together <name> <window>.
minimise_together() {
  local name=$1 w=$2
  xdotool windowminimize "$w"
  sleep 0.8
  [ "$(wm_state "$w")" = Iconic ] || fail "$name: minimising did nothing"
  [ "$(wm_state "$main")" = Iconic ] || fail "$name: minimised alone, the blocked main window stays on the screen"
  shot "$out/$name-minimised.png"
  echo "$name: minimised together with the main window"
  xdotool windowactivate "$main" 2>/dev/null || true
  sleep 0.8
  [ "$(wm_state "$main")" = Normal ] && [ "$(wm_state "$w")" = Normal ] ||
    fail "$name: activating the main window did not bring both back"
  shot "$out/$name-restored.png"
  echo "$name: activating the main window brings both back"
}

open_about() {
  menu_keys h a
  about=$(window_named "^About$") || fail "Help > About opened no box"
  sleep 0.5
}

start_qbk

open_about
shot "$out/about.png"
dialog_hints "about box" "$about" 298 213
maximise_and_minimise about "$about"
xdotool windowfocus --sync "$about"
xdotool key Escape
window_gone "^About$" || fail "Esc did not close the about box"
echo "about box: Esc closed it"
open_about
xdotool windowfocus --sync "$about"
xdotool key Tab
sleep 0.3
shot "$out/about-tab.png"
xdotool key Return
window_gone "^About$" || fail "Tab and Enter did not close the about box"
echo "about box: Tab to OK and Enter closed it"

open_album_dialog_by_key
sleep 0.5
shot "$out/open-dialog.png"
owned_by_main "Open dialog" "$dialog"
minimise_together open-dialog "$dialog"
type_into_dialog "$dialog" "$albums/damaged.ZRB"
box=$(window_named "^Ostrel Quillbook$") || fail "the damaged album gave no message box"
sleep 0.5
shot "$out/message-box.png"
eval "$(xdotool getwindowgeometry --shell "$box")"
dialog_hints "message box" "$box" "$WIDTH" "$HEIGHT"
maximise_and_minimise message-box "$box"
xdotool windowfocus --sync "$box"
xdotool key Tab Return
window_gone "^Ostrel Quillbook$" || fail "Tab and Enter did not close the message box"
echo "message box: Tab to OK and Enter closed it"

# Save Album As... from the menu: its dialog belongs to the main window too; Esc cancels it.
window_gone "^Open$" || fail "the Open dialog came back"
menu_keys f a
saver=$(window_named "^Save As$") || fail "File > Save Album As... opened no dialog"
sleep 0.5
shot "$out/save-dialog.png"
owned_by_main "Save As dialog" "$saver"
minimise_together save-dialog "$saver"
xdotool windowfocus --sync "$saver"
xdotool key Escape
window_gone "^Save As$" || fail "Esc did not close the Save As dialog"

# The main window has no default button: Enter presses the focused one. From the checked radio
# button (the first of the window) Tab goes through the radio buttons after it in the tab order
# to Add Photo, whose file dialog opens; it belongs to the main window as well.
xdotool windowfocus --sync "$main"
locate_client
xdotool mousemove --sync $((client_x + 18 + 50)) $((client_y + 20 + 8)) click 1
xdotool mousemove --sync 1020 760
for _ in 1 2 3; do xdotool key --window "$main" Tab; sleep 0.2; done
shot "$out/main-tab.png"
xdotool key --window "$main" Return
picker=$(window_named "^Select Bitmap$") ||
  fail "Enter on the focused Add Photo button did nothing ($out/main-tab.png)"
echo "main window: Tab to Add Photo and Enter opened its dialog"
sleep 0.5
shot "$out/picture-dialog.png"
owned_by_main "picture dialog" "$picker"
minimise_together picture-dialog "$picker"
xdotool windowfocus --sync "$picker"
xdotool key Escape
window_gone "^Select Bitmap$" || fail "Esc did not close the picture dialog"
exit_by_menu
