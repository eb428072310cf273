# An album whose pictures are not the family's size sent into the device: a Rurerovirez album of
# three 320 x 240 pictures (an Enhanced Display's screen) is opened through File > Open Album...,
# where its cards must show the pictures fitted into the 176 x 220 screen (full width, black
# below), then Download Album sends it into the simulated device on a private virtual bus. What
# the device stored must be three 176 x 220 JPEG pictures, black where the cards are black.
# Screenshots and the device's album go to build/window-check/download-foreign/.
out=build/window-check/download-foreign
rm -rf "$out"
mkdir -p "$out"
albums=$(mktemp -d)
python3 scripts/window_check/make_album.py "$albums/foreign.ZRB" 0 320 240 3
export CANAPI_CHANNEL=vbus:wcheck-$$
build/bin/qbk-devsim --node 1:0x1035:5 --store-image "$out/device-album.bin" >"$out/devsim.log" 2>&1 & devsim=$!
trap 'kill "$devsim" 2>/dev/null || true; rm -rf "$albums"' EXIT
for _ in $(seq 50); do grep -q "devsim ready" "$out/devsim.log" && break; sleep 0.1; done
grep -q "devsim ready" "$out/devsim.log" || fail "the simulator did not join the bus"
start_qbk
sleep 1
open_album "$albums/foreign.ZRB"
sleep 1
xdotool mousemove --sync 1020 760
sleep 0.3
shot "$out/opened.png"

xdotool windowfocus --sync "$main"
sleep 0.5
locate_client
xdotool mousemove --sync $((client_x + 7 + 46)) $((client_y + 202 + 12)) click 1
xdotool mousemove --sync 1020 760
box=$(wait_for_box) || fail "Download Album showed no box"
sleep 0.5
shot "$out/download-box.png"
[ "$(xdotool getwindowname "$box")" = "Varnhold QBK" ] ||
  fail "Download Album ended with a box titled \"$(xdotool getwindowname "$box")\" ($out/download-box.png)"
xdotool windowfocus --sync "$box"
xdotool key Return
sleep 0.5
[ -s "$out/device-album.bin" ] || fail "the device stored no album ($out/download-box.png)"

# The payload: an 11-byte head, version, count, the entry sizes, then one JPEG file an entry.
python3 - "$out" <<'PY' || fail "the device did not get the pictures the cards show"
import struct, subprocess, sys
out = sys.argv[1]
p = open(f"{out}/device-album.bin", "rb").read()
version, count = struct.unpack_from("<HH", p, 11)
assert count == 3, f"{count} pictures"
sizes = struct.unpack_from(f"<{count}I", p, 15)
at = 15 + 4 * count
for k, size in enumerate(sizes, 1):
    name = f"{out}/device-picture-{k}.jpg"
    open(name, "wb").write(p[at:at + size])
    at += size
    w, h = subprocess.run(["identify", "-format", "%w %h", name], capture_output=True, text=True,
                          check=True).stdout.split()
    assert (w, h) == ("176", "220"), f"picture {k} is {w} x {h}"
    # 320 x 240 fitted to the width is 176 x 132 at the top; below it the screen stays black.
    below = subprocess.run(["convert", name, "-crop", "176x70+0+150", "-format", "%[fx:maxima]", "info:"],
                           capture_output=True, text=True, check=True).stdout
    assert float(below) < 0.1, f"picture {k} is not black below the fitted picture ({below})"
    print(f"device picture {k}: {w} x {h}, black below the fitted picture")
PY
exit_by_menu
