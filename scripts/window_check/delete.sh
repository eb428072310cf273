# Delete Photo in a scrolled album: ten pictures of different colours are added one by one through
# Add Photo and the real file dialog (the path typed into it), the album list is scrolled down with
# the wheel, the second card of the first row in view is clicked and deleted. The first card of
# that row must stay where it was: a crop of it before and after the deletion must be the same
# picture (a list that jumped to the top would show the first, red, card there). Screenshots go
# to $WINDOW_CHECK_OUT (default /tmp/window_check_delete).
out=${WINDOW_CHECK_OUT:-/tmp/window_check_delete}
mkdir -p "$out"
pictures=$(mktemp -d)
colours=(red green blue yellow cyan magenta orange purple gray brown)
for i in "${!colours[@]}"; do
  convert -size 400x300 "xc:${colours[$i]}" "$pictures/p$((i + 1)).png"
done

start_qbk
# The window is found as soon as it is mapped; its first paint and input come a moment later.
sleep 1
# The form's client area (801 x 495) lies under the menu bar: the window is taller by the bar.
# X and Y place the crops, which are cut from pictures of the whole screen.
placed "$main"
bar=$((HEIGHT - 495))
[ "$bar" -ge 0 ] && [ "$bar" -lt 60 ] || fail "unexpected window height $HEIGHT"
# In client coordinates: the tool panel's buttons at x 7..100, the list from (106, 49).
click_client() { xdotool mousemove --window "$main" "$1" $(($2 + bar)) click 1; }
delete_photo_y=$((49 + 75 + 12))

for i in "${!colours[@]}"; do
  add_photo "$pictures/p$((i + 1)).png"
done
sleep 0.5
shot "$out/added.png"

# Three rows down, then the pointer rests on the tool panel so that no card shows its hover look.
xdotool mousemove --window "$main" 450 $((300 + bar))
for _ in 1 2 3; do xdotool click 5; sleep 0.2; done
xdotool mousemove --window "$main" 53 $((400 + bar))
sleep 0.5
shot "$out/scrolled.png"

# The view's first row is fully in view (so clicking a card of it scrolls nothing): the second
# card of that row, at the right of the first, is clicked on its caption and deleted. The first
# card of the row (its caption and picture from 20 pixels into the list) must stay in place.
first_row_y=$((49 + 20))
click_client $((106 + 20 + 240 + 60)) $((first_row_y + 12))
xdotool mousemove --window "$main" 53 $((400 + bar))
sleep 0.5
shot "$out/before.png"
click_client 53 "$delete_photo_y"
xdotool mousemove --window "$main" 53 $((400 + bar))
sleep 0.5
shot "$out/after.png"

# The first card's crop: its caption and the upper part of its picture (screen coordinates).
crop="170x120+$((X + 106 + 25))+$((Y + first_row_y + bar + 2))"
convert "$out/scrolled.png" -crop "$crop" +repage "$out/top-scrolled.png"
convert "$out/before.png" -crop "$crop" +repage "$out/top-before.png"
convert "$out/after.png" -crop "$crop" +repage "$out/top-after.png"
# The crop must show a card: its caption's blue-grey frame and the picture, not the list's
# background alone.
colours_in_crop=$(convert "$out/top-before.png" -format "%k" info:)
[ "$colours_in_crop" -gt 3 ] || fail "the crop $crop shows no card (see $out)"
differ=$(compare -metric AE "$out/top-before.png" "$out/top-after.png" null: 2>&1 || true)
echo "top card crop before/after Delete Photo: $differ pixels differ"
[ "$differ" = "0" ] || fail "the list moved when a card was deleted ($differ pixels of the top card differ; see $out)"
differ=$(compare -metric AE "$out/top-scrolled.png" "$out/top-after.png" null: 2>&1 || true)
[ "$differ" = "0" ] || fail "the top card changed between scrolling and deleting ($differ pixels; see $out)"
# The scrolled view does not start with the first (red) card.
red=$(convert "$out/after.png" -crop "$crop" +repage -fuzz 10% -fill black +opaque red -fill white -opaque red -format "%[fx:mean]" info:)
echo "red share of the top card crop after the deletion: $red"
awk -v r="$red" 'BEGIN { exit !(r < 0.1) }' || fail "the list shows its first card at the top after the deletion"
rm -rf "$pictures"
exit_by_menu
echo "screenshots in $out"
