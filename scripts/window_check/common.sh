# Helpers for the window checks, sourced inside the virtual X session. Each check starts the real
# editor with start_qbk, drives it with xdotool and calls fail with a reason when it misbehaves.
fail() { echo "window check: $*" >&2; kill "${qbk:-}" 2>/dev/null || true; exit 1; }

# Starts openbox, as a user's desktop has a window manager, and waits until it manages the
# screen; it ends with the virtual X session.
start_window_manager() {
  openbox >/dev/null 2>&1 &
  for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    sleep 0.1
  done
  fail "openbox did not start"
}

# Empties the folder where the check keeps its screenshots, build/window-check/<name>: sets $out.
# screenshot_folder <name>.
screenshot_folder() {
  out=build/window-check/$1
  rm -rf "$out"
  mkdir -p "$out"
}

# Writes a file named as an album that holds a few bytes of text: not_an_album <path>.
not_an_album() { printf 'this is no album, only a few bytes of text' >"$1"; }

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

# Waits up to ten seconds until no visible window's name matches the pattern: window_gone <pattern>.
window_gone() {
  for _ in $(seq 50); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}

# The first visible window whose name matches the pattern, waited for up to ten seconds:
# window_named <pattern> prints its id. Polled rather than waited for with xdotool's --sync: a
# search that meets a menu's window as it closes fails with an X error.
window_named() {
  local w
  for _ in $(seq 50); do
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.2
  done
  return 1
}

# Chooses a main menu item from the keyboard, as a user does: Alt with the menu's letter, then
# the item's letter. menu_keys <menu letter> <item letter>.
menu_keys() {
  xdotool windowfocus --sync "$main"
  xdotool key "alt+$1"
  sleep 0.5
  xdotool key "$2"
}

# Ends the program through File > Exit and checks that it ended.
exit_by_menu() {
  menu_keys f x
  wait_for_exit || fail "File > Exit did not end the program"
  wait "$qbk" || true
}

# Saves a picture of the whole screen: shot <file.png>.
shot() { import -window root "$1"; }

# A window's place on the screen as the X server has it, inside the window manager's frame:
# placed <window> sets X, Y, WIDTH and HEIGHT. (Under openbox, xdotool's getwindowgeometry gives
# a Y that is off by the frame's title bar.)
placed() {
  eval "$(xwininfo -id "$1" | sed -nE 's/^ *Absolute upper-left X: *(-?[0-9]+)/X=\1/p; s/^ *Absolute upper-left Y: *(-?[0-9]+)/Y=\1/p; s/^ *Width: *([0-9]+)/WIDTH=\1/p; s/^ *Height: *([0-9]+)/HEIGHT=\1/p')"
}

# The main window's client area on the screen, below its menu bar: $client_x, $client_y (the
# form definition's client area is 801 x 495; what the window has above it is the menu bar).
locate_client() {
  placed "$main"
  client_x=$X
  client_y=$((Y + HEIGHT - 495))
}

# The number of pixels that differ between two screenshots inside a rectangle of the screen:
# changed_pixels <a.png> <b.png> <x> <y> <width> <height>.
changed_pixels() {
  compare -metric AE -crop "$5x$6+$3+$4" "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true
}

# The bounding box of every pixel that differs between two screenshots, as "x y width height",
# or nothing when they are equal: changed_box <a.png> <b.png>.
changed_box() {
  [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != 0 ] || return 0
  convert "$1" "$2" -compose difference -composite -threshold 0 -format '%@' info: |
    sed -E 's/^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$/\3 \4 \1 \2/'
}

# Types into the name box of a file dialog, as a user does, and presses Enter:
# type_into_dialog <dialog window> <what to type>.
type_into_dialog() {
  xdotool windowfocus --sync "$1"
  sleep 0.5
  xdotool type --delay 10 "$2"
  # The name box's completion follows the typing a moment later; Enter before it has would
  # meet a half-made completion on a busy machine.
  sleep 0.5
  xdotool key Return
}

# Picks a file in the dialog $dialog titled <title>: its path typed, Enter, and the dialog must
# close (a screenshot of it in $out when it stays). pick_file <title> <path, or paths in quotes>.
pick_file() {
  type_into_dialog "$dialog" "$2"
  window_gone "^$1$" || { [ -z "${out:-}" ] || shot "$out/dialog-stayed.png"; fail "the dialog \"$1\" stayed open for $2"; }
}

# Clicks Add Photo (93 x 25 at 7, 13 of the tool panel, which starts 49 below the client area's
# top) and waits for its file dialog: $dialog.
open_photo_dialog() {
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool windowfocus --sync "$main"
  xdotool mousemove --window "$main" 53 $((HEIGHT - 495 + 49 + 13 + 12)) click 1
  dialog=$(window_named "^Select Bitmap$") || fail "Add Photo opened no file dialog"
}

# File > Open Album... from the keyboard (Alt+F, O), and its file dialog: $dialog.
open_album_dialog() {
  menu_keys f o
  dialog=$(window_named "^Open$") || fail "File > Open Album... opened no file dialog"
}

# File > Open Album... by its shortcut, Ctrl+O, and its file dialog: $dialog.
open_album_dialog_by_key() {
  xdotool windowfocus --sync "$main"
  xdotool key --window "$main" ctrl+o
  dialog=$(window_named "^Open$") || fail "Ctrl+O opened no dialog"
}

# Adds a picture as a user does: Add Photo, its path typed into the real file dialog, Enter.
# add_photo <path, or paths in quotes>.
add_photo() {
  local dialog
  open_photo_dialog
  pick_file "Select Bitmap" "$1"
}

# Opens an album as a user does: File > Open Album... from the keyboard, the path typed into the
# real file dialog, Enter. open_album <path>.
open_album() {
  local dialog
  open_album_dialog
  pick_file Open "$1"
}

# The first visible window an xdotool search finds other than <window>, looked for <tries> times
# 0.2 s apart: window_besides <window> <tries> <search options...> prints its id.
window_besides() {
  local except=$1 tries=$2 w
  shift 2
  for _ in $(seq "$tries"); do
    for w in $(xdotool search --onlyvisible "$@" 2>/dev/null); do
      [ "$w" != "$except" ] && { echo "$w"; return 0; }
    done
    sleep 0.2
  done
  return 1
}

# The first shown window of the program other than the main window (a message box), waited for up
# to 20 s: wait_for_box prints its id.
wait_for_box() { window_besides "$main" 100 --pid "$qbk"; }

# Opens a file over the album on screen that the program must refuse with a box titled <title>:
# the window is shot before, with the box and after the box is closed with Enter, and the card
# list must show the album as before. refused_open <case name> <file> <title> <screenshot folder>.
refused_open() {
  local name=$1 file=$2 title=$3 out=$4 box
  locate_client
  xdotool mousemove --sync 1020 760
  sleep 0.3
  shot "$out/$name-before.png"
  open_album "$file"
  box=$(wait_for_box) || fail "$name: opening $file showed no box"
  sleep 0.5
  [ "$(xdotool getwindowname "$box")" = "$title" ] ||
    fail "$name: the box is titled \"$(xdotool getwindowname "$box")\", not \"$title\""
  shot "$out/$name-box.png"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  for _ in $(seq 50); do
    xdotool search --onlyvisible --pid "$qbk" 2>/dev/null | grep -qx "$box" || break
    sleep 0.2
  done
  sleep 0.5
  shot "$out/$name-after.png"
  # The card list (695 x 446 at 106, 49 of the client area) as it was.
  local changed
  changed=$(changed_pixels "$out/$name-before.png" "$out/$name-after.png" $((client_x + 106)) $((client_y + 49)) 695 446)
  [ "$changed" -eq 0 ] || fail "$name: $changed pixels of the card list changed ($out/$name-after.png)"
  echo "$name: refused with a box titled \"$title\"; the album on screen is as it was"
}
