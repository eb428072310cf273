# Transparent pictures: a PNG whose transparent field hides pure green, with a red rectangle on
# it, is added through Add Photo's real file dialog; the card must show the field black, like
# the screen the picture does not cover, and show no green anywhere. The screenshot is kept as
# build/window_check/transparent.png.
work=$(mktemp -d)
shots=build/window_check
mkdir -p "$shots"
picture="$work/hidden_green.png"
convert -size 200x150 "xc:rgba(0,255,0,0)" -fill red -draw "rectangle 50,40 150,110" "PNG32:$picture"
hidden=$(convert "$picture" -alpha off -crop 1x1+5+5 -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1)
[ "$hidden" = "#00FF00" ] || fail "the test picture's transparent field hides $hidden, not pure green"
echo "test picture: transparent field hiding $hidden, red rectangle 50,40-150,110"

start_qbk
add_photo "$picture"
sleep 1
shot "$shots/transparent.png"
echo "screenshot: $shots/transparent.png"

# The card's picture: the red rectangle, 88 x 62 at 44, 35 of the 176 x 132 picture, must sit in
# black, and the screen must hold no pure green.
convert "$shots/transparent.png" -depth 8 "ppm:$work/shot.ppm"
python3 - "$work/shot.ppm" <<'EOF' || fail "the card does not show the transparent field black"
import sys
data = open(sys.argv[1], "rb").read()
fields = data.split(maxsplit=4)
width, height, pixels = int(fields[1]), int(fields[2]), fields[4]
def at(x, y):
    i = 3 * (y * width + x)
    return pixels[i], pixels[i + 1], pixels[i + 2]
red = [(x, y) for y in range(height) for x in range(width) if at(x, y)[0] > 200 and max(at(x, y)[1:]) < 60]
green = sum(1 for y in range(height) for x in range(width) if at(x, y)[1] > 200 and at(x, y)[0] < 60 and at(x, y)[2] < 60)
if not red:
    sys.exit("no red rectangle on the screen")
left, top = min(x for x, _ in red), min(y for _, y in red)
right, bottom = max(x for x, _ in red) + 1, max(y for _, y in red) + 1
print(f"red rectangle {right - left} x {bottom - top} at {left},{top}; pure green pixels: {green}")
if not (84 <= right - left <= 92 and 58 <= bottom - top <= 66):
    sys.exit("the red rectangle is not the card's picture")
field = [(left - 30, top + 30), (left - 10, top - 20), (right + 30, top + 30), (left + 40, bottom + 20)]
for x, y in field:
    print(f"transparent field at {x},{y}: {at(x, y)}")
    if max(at(x, y)) > 30:
        sys.exit(f"the transparent field shows {at(x, y)} at {x},{y}")
if green:
    sys.exit("pure green shows on the screen")
EOF
rm -rf "$work"
exit_by_menu
