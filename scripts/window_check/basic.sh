# The default check: the main window's title as the window system shows it must be the form's
# caption alone, and the about box, opened from the Help menu by keyboard and closed with Enter,
# must give the input back (it is opened a second time; a program still locked by the first box
# would not open it); File > Exit ends the program.
start_qbk
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
  window_gone "^About$" || fail "round $round: Enter did not close the about box"
  echo "round $round: Enter closed it"
done
exit_by_menu
