# Download files through the real save dialog: two pictures are added through the Add Photo
# dialog (their paths typed), then File > Save Album As..., the type "2568 Download File (*.HPA)"
# chosen in the dialog's type box with the mouse and keyboard, a name typed and saved. The
# Rurerovirez family must give its two download files, each read back here: the V1 head, the
# payload's index and its JPEG entries. Screenshots of the dialog go under build/.
pictures=$(mktemp -d)
trap 'rm -rf "$pictures"' EXIT
convert -size 176x220 gradient:red-blue "$pictures/one.png"
convert -size 176x220 plasma:fractal "$pictures/two.jpg"
start_qbk
for picture in "$pictures/one.png" "$pictures/two.jpg"; do add_photo "$picture"; done
echo "two pictures added through the Add Photo dialog"

xdotool windowfocus --sync "$main"
xdotool key alt+f
sleep 0.5
xdotool key a
dialog=$(timeout 10 xdotool search --sync --onlyvisible --name "^Save As$" | head -1) || fail "Save Album As... opened no dialog"
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$dialog")"
# The type box sits left of Cancel at the dialog's bottom; the name box above it.
xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT - 24)) click 1
sleep 0.5
shot build/window-check-export-types.png
xdotool key Down Return
sleep 0.5
shot build/window-check-export-type-chosen.png
xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT - 54)) click 1
xdotool type --delay 20 "$pictures/album"
sleep 0.5
shot build/window-check-export-name.png
xdotool key Return
window_gone "^Save As$" || fail "the Save As dialog stayed open"
sleep 1
written=$(cd "$pictures" && ls | grep -v -e '^one.png$' -e '^two.jpg$' | tr '\n' ' ')
echo "written: $written"
[ "$written" = "5831-0009_HW4-6_album.HPA 5831-0109_HW4-6_album.HPA " ] || fail "the export wrote \"$written\""
python3 - "$pictures" <<'PY' || fail "a download file does not read back"
import struct, sys
# DeviceId, hardware range and album address of the Rurerovirez variants.
variants = {"5831-0009_HW4-6_album.HPA": (0x58310009, 4, 6, 0x401C0000),
            "5831-0109_HW4-6_album.HPA": (0x58310109, 4, 6, 0x401C0000)}
for name, (device, low, high, start) in variants.items():
    b = open(f"{sys.argv[1]}/{name}", "rb").read()
    tag, upper, lower, lo, hi = struct.unpack_from("<HHHBB", b, 0)
    assert (tag, upper << 16 | lower, lo, hi) == (0xE769, device, low, high), f"{name}: head"
    p = b[8:]
    kind, one, zero, begin, end, version, count = struct.unpack_from("<BBBIIHH", p, 0)
    assert (kind, one, zero, begin, version, count) == (4, 1, 0, start, 1, 2), f"{name}: payload head"
    assert end == start + len(p) - 11, f"{name}: end address"
    sizes = struct.unpack_from(f"<{count}I", p, 15)
    at = 15 + 4 * count
    for size in sizes:
        entry = p[at:at + size]
        assert entry[:2] == b"\xff\xd8" and entry[-2:] == b"\xff\xd9", f"{name}: entry is not one JPEG file"
        at += size
    assert at == len(p), f"{name}: bytes after the entries"
    print(f"{name}: {len(b)} bytes, {count} JPEG entries of {list(sizes)} bytes, head and index right")
PY
exit_by_menu
