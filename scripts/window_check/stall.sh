# Download Album against a device that stops confirming the album's blocks, on a private virtual
# bus: while the editor waits for the device (the transfer's time-outs run for minutes), another
# window is dragged by its title bar over the editor's window and away again, and the editor's
# window must show itself again where that window was, still inside the same transfer. The
# screenshots stay in build/window-check/stall/: before.png (the editor before the command),
# covering.png (the other window over it), uncovered.png (after it was dragged away).
out=build/window-check/stall
rm -rf "$out"
mkdir -p "$out"
export CANAPI_CHANNEL=vbus:wcheck-$$
build/bin/qbk-devsim --node 1:0x1035:5 --withhold-confirm --log >"$out/devsim.log" 2>&1 & devsim=$!
cover=
trap 'kill "$devsim" ${cover:+"$cover"} 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q "devsim ready" "$out/devsim.log" && break; sleep 0.1; done
grep -q "devsim ready" "$out/devsim.log" || fail "the simulator did not join the bus"

# One picture in the album, so that the album goes out in blocks.
convert -size 320x240 gradient:navy-orange "$out/picture.bmp"
start_qbk
add_photo "$PWD/$out/picture.bmp"
xdotool windowfocus --sync "$main"
sleep 0.5
placed "$main"
main_x=$X main_y=$Y main_w=$WIDTH main_h=$HEIGHT
echo "the editor's window: $main_x,$main_y ${main_w}x$main_h"
xdotool mousemove --sync 1020 760
sleep 0.3
shot "$out/before.png"

# Download Album: 93 x 25 at 7, 153 of the tool panel, which starts 49 below the client area.
xdotool mousemove --window "$main" 53 $((main_h - 495 + 49 + 153 + 12)) click 1
xdotool mousemove --sync 1020 760
# The album write has begun (its block initiation on object 0x1019 reached the device, which takes
# it and then never confirms a block).
for _ in $(seq 150); do grep -q "^rx 7A1#C21910" "$out/devsim.log" && break; sleep 0.2; done
grep -q "^rx 7A1#C21910" "$out/devsim.log" || fail "Download Album did not begin writing the album"
sleep 1
echo "the album write has begun; the device confirms nothing"

# The other window, placed below the editor, is dragged by its title bar up over the editor's
# middle, and back down off the editor again.
xmessage -name cover -geometry 240x100+$((main_w / 3))+$((main_y + main_h + 40)) "a window dragged over the editor" &
cover=$!
win=$(timeout 10 xdotool search --sync --onlyvisible --classname cover | head -1) || fail "no window to drag"
sleep 0.5
placed "$win"
grab_x=$((X + 60)) grab_y=$((Y - 10))
rise=$((main_h / 2 + 40))
drag() {  # drag <steps...>: the title bar to rise * step / 10 above where it started, step by step
  local step
  for step in "$@"; do
    xdotool mousemove --sync "$grab_x" $((grab_y - rise * step / 10))
    sleep 0.05
  done
}
xdotool mousemove --sync "$grab_x" "$grab_y" mousedown 1
drag $(seq 1 10)
sleep 0.5
shot "$out/covering.png"
placed "$win"
covered_x=$((X - 10)) covered_y=$((Y - 30)) covered_w=$((WIDTH + 20)) covered_h=$((HEIGHT + 40))
echo "the other window covers $covered_x,$covered_y ${covered_w}x$covered_h over the editor"
drag $(seq 9 -1 0)
xdotool mouseup 1
sleep 1
placed "$win"
[ "$Y" -ge $((main_y + main_h)) ] || fail "the other window did not go back below the editor (it is at $X,$Y)"
shot "$out/uncovered.png"
kill -0 "$qbk" 2>/dev/null || fail "the program ended"
for w in $(xdotool search --onlyvisible --pid "$qbk" 2>/dev/null); do
  [ "$w" = "$main" ] || fail "the transfer ended before the check: \"$(xdotool getwindowname "$w")\" is up"
done

# Where the other window was over the editor, the editor must look as it did before the command,
# but for a few pixels (the pressed button's look and focus); a window that did not paint keeps
# the other window's picture there.
x0=$((covered_x > main_x ? covered_x : main_x))
y0=$((covered_y > main_y ? covered_y : main_y))
x1=$((covered_x + covered_w < main_x + main_w ? covered_x + covered_w : main_x + main_w))
y1=$((covered_y + covered_h < main_y + main_h ? covered_y + covered_h : main_y + main_h))
[ "$x1" -gt "$x0" ] && [ "$y1" -gt "$y0" ] || fail "the other window was never over the editor"
area=$(((x1 - x0) * (y1 - y0)))
over=$(changed_pixels "$out/before.png" "$out/covering.png" "$x0" "$y0" $((x1 - x0)) $((y1 - y0)))
still=$(changed_pixels "$out/before.png" "$out/uncovered.png" "$x0" "$y0" $((x1 - x0)) $((y1 - y0)))
echo "over the editor at $x0,$y0 $((x1 - x0))x$((y1 - y0)): $over pixels changed while covered, $still after"
[ "$over" -gt $((area / 4)) ] || fail "the other window did not cover the editor ($out/covering.png)"
[ "$still" -lt $((area / 50)) ] ||
  fail "$still pixels where the other window was still differ from the editor before the command ($out/uncovered.png)"
echo "during the stalled transfer the editor painted itself again where the other window had been"
kill "$qbk" 2>/dev/null || true
wait "$qbk" 2>/dev/null || true
