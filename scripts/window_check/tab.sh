# Tab through the main window from its first radio button: each press must land on the next
# control of the form's tab orders (the four radio buttons, then the visible tool buttons) and
# show its focus there. Between two screenshots the picture must change inside the control
# that took the focus and nowhere but there and in the control that lost it: a press that
# lands on something showing no focus, or on the wrong control, fails. A click that focuses the
# card list must not make it a stop of its own: Tab from it goes on to the first radio button.
# Screenshots of every stop stay in build/window-check/tab/.
out=build/window-check/tab
rm -rf "$out"
mkdir -p "$out"
start_qbk
xdotool windowfocus --sync "$main"
sleep 0.5
locate_client

# Client rectangles ("x y width height") of the tab stops: radio buttons in the group box at
# (7, 2) of the device panel, tool buttons in the tool panel at (0, 49).
declare -A rect=(
  [EDRadioButton]="167 20 137 17" [HCRadioButton]="18 20 113 17"
  [V2HCRadioButton]="347 20 130 17" [V2EDRadioButton]="483 20 141 17"
  [AddPicButton]="7 62 93 25" [InsertPicButton]="7 93 93 25"
  [RemovePicButton]="7 124 93 25" [DownloadPicsButton]="7 202 93 25"
  [PicCardList]="106 49 695 446"
)
# Screen rectangle of a control, grown by a few pixels for a focus frame drawn around it.
screen_rect() {
  read -r x y w h <<<"${rect[$1]}"
  echo "$((client_x + x - 3)) $((client_y + y - 3)) $((w + 6)) $((h + 6))"
}
click_on() {
  read -r x y w h <<<"${rect[$1]}"
  xdotool mousemove --sync $((client_x + x + w / 2)) $((client_y + y + h / 2)) click 1
  # Away from the window, so that no hover look changes between the screenshots.
  xdotool mousemove --sync 1020 760
  sleep 0.5
}
# The tab stop whose rectangle holds the middle of a changed box, so that a failure says where
# the focus went instead: control_at "<x y w h>".
control_at() {
  [ -n "$1" ] || { echo "nothing changed"; return; }
  local bx by bw bh n x y w h
  read -r bx by bw bh <<<"$1"
  local cx=$((bx + bw / 2)) cy=$((by + bh / 2))
  for n in "${!rect[@]}"; do
    [ "$n" = PicCardList ] && continue
    read -r x y w h <<<"$(screen_rect "$n")"
    if [ "$cx" -ge "$x" ] && [ "$cx" -lt $((x + w)) ] && [ "$cy" -ge "$y" ] && [ "$cy" -lt $((y + h)) ]; then
      echo "$n"
      return
    fi
  done
  echo "outside every tab stop"
}
inside() {  # inside <x y w h> <X Y W H>: the first rectangle lies inside the second
  read -r ax ay aw ah <<<"$1"
  read -r bx by bw bh <<<"$2"
  [ "$ax" -ge "$bx" ] && [ "$ay" -ge "$by" ] && [ $((ax + aw)) -le $((bx + bw)) ] && [ $((ay + ah)) -le $((by + bh)) ]
}
# Presses Tab once for each named control in turn and checks where the focus showed up.
walk() {
  local from=$1; shift
  local step=0 name before after box
  before="$out/$WALK-start-$from.png"
  shot "$before"
  for name in "$@"; do
    step=$((step + 1))
    xdotool key --window "$main" Tab
    sleep 0.4
    after="$out/$WALK-$step-$name.png"
    shot "$after"
    read -r x y w h <<<"$(screen_rect "$name")"
    box=$(changed_box "$before" "$after")
    [ "$(changed_pixels "$before" "$after" "$x" "$y" "$w" "$h")" -gt 0 ] ||
      fail "$WALK: Tab $step should focus $name, which shows no change; the screen changed at ${box:-no place} ($(control_at "$box")) ($after)"
    read -r fx fy fw fh <<<"$(screen_rect "$from")"
    # The union of the control that lost the focus and the one that took it.
    local ux=$((fx < x ? fx : x)) uy=$((fy < y ? fy : y))
    local ur=$((fx + fw > x + w ? fx + fw : x + w)) ub=$((fy + fh > y + h ? fy + fh : y + h))
    inside "$box" "$ux $uy $((ur - ux)) $((ub - uy))" ||
      fail "$WALK: Tab $step from $from to $name changed the screen at $box, outside both ($after)"
    echo "$WALK: Tab $step: $name shows the focus"
    before=$after
    from=$name
  done
}

click_on HCRadioButton
WALK=radios walk HCRadioButton V2HCRadioButton V2EDRadioButton AddPicButton RemovePicButton \
  DownloadPicsButton InsertPicButton EDRadioButton HCRadioButton
click_on PicCardList
WALK=list walk PicCardList EDRadioButton HCRadioButton V2HCRadioButton
exit_by_menu
