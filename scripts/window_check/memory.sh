# Files that lie about their size, and files that are no files, picked in the real editor through
# its file dialogs: an album of 40 bitmaps of a few bytes that each claim 8192 x 8192 pixels, a
# 4 GiB album whose one picture claims nearly all of it, 4 GiB of zeros as an album, ten PNGs of
# 8192 x 8192 grey pixels in about 65 KB each picked at once in Add Photo, two of the largest
# pictures there may be (8192 x 8192 pixels of 16-bit RGBA, which the toolkit reads at 8 bytes a
# pixel) picked at once, a PNG whose header claims RGBA rows its data cannot hold, a small JPEG
# followed by 4 GiB nothing reads, 4 GiB of zeros named .jpg, and named pipes named .ZRB and
# .jpg. Each must open or be refused with its message within 1 GiB of resident memory (the peak
# of each step is read from the program's status file and printed). The messages are read on
# standard error in a first run; a second run shows three of them in real message boxes, whose
# screenshots stay in $out.
#
# The program's single-instance markers in a scope of this check's own: a copy of the editor
# that another check runs on the machine at the same time does not end this one's.
export QBK_MARKER_SCOPE=window-check-memory-$$
out=${WINDOW_CHECK_OUT:-build/window_check/memory}
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/photos"
python3 - "$work" <<'PY' || fail "the test files could not be made"
import os, struct, sys, zlib
work = sys.argv[1]

def rle_bmp(w, h):
    # 8 bits a pixel, run-length coded, one palette entry; the end-of-picture code at once.
    pixels = bytes([0, 1])
    offset = 14 + 40 + 4
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 1, len(pixels), 2835, 2835, 1, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + b"\0\0\0\0" + pixels

def album(records):
    out = struct.pack("<HHH", 2, 0, len(records))
    for caption, data in records:
        out += struct.pack("<H", len(caption)) + caption + struct.pack("<I", len(data)) + data
    return out

def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

def png(w, h, colour_type, rows, claimed_type=None):
    head = struct.pack(">IIBBBBB", w, h, 8, claimed_type if claimed_type is not None else colour_type, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", rows) + chunk(b"IEND", b"")

huge = 4 << 30
open(f"{work}/forty.ZRB", "wb").write(album([(b"p%d" % i, rle_bmp(8192, 8192)) for i in range(40)]))
lying = album([(b"big", b"")])
lying = lying[:-4] + struct.pack("<I", huge - len(lying))
with open(f"{work}/lying.ZRB", "wb") as f:
    f.write(lying)
    f.truncate(huge)
with open(f"{work}/zeros.ZRB", "wb") as f:
    f.truncate(huge)
grey_rows = zlib.compress(bytes(8192 * (1 + 8192)), 9)
grey = png(8192, 8192, 0, grey_rows)
for i in range(10):
    open(f"{work}/photos/p{i}.png", "wb").write(grey)
open(f"{work}/rgba.png", "wb").write(png(8192, 8192, 0, grey_rows, claimed_type=6))
# The largest a picture may be, 8 bytes a pixel as the toolkit reads it: 16-bit RGBA.
deep = zlib.compressobj(9)
deep_rows = b"".join(deep.compress(bytes(1 + 8192 * 8)) for _ in range(8192)) + deep.flush()
head = struct.pack(">IIBBBBB", 8192, 8192, 16, 6, 0, 0, 0)
deep_png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", deep_rows) + chunk(b"IEND", b"")
os.mkdir(f"{work}/deep")
for i in range(2):
    open(f"{work}/deep/d{i}.png", "wb").write(deep_png)
with open(f"{work}/zeros.jpg", "wb") as f:
    f.truncate(huge)
os.mkfifo(f"{work}/pipe.ZRB")
os.mkfifo(f"{work}/pipe.jpg")
print(f"forty.ZRB: {os.path.getsize(work + '/forty.ZRB')} bytes; each PNG: {len(grey)} bytes")
PY
convert -size 320x240 plasma:fractal "$work/tail.jpg"
truncate -s 4G "$work/tail.jpg"

# The program's peak resident memory since the last reset, in MiB; the reset.
peak() { awk '/^VmHWM:/ { printf "%d", $2 / 1024 }' "/proc/$qbk/status"; }
reset_peak() { echo 5 >"/proc/$qbk/clear_refs"; }

# Waits until the program has used no processor time for a second: the command has ended.
wait_idle() {
  local before now
  before=$(awk '{ print $14 + $15 }' "/proc/$qbk/stat")
  for _ in $(seq 600); do
    sleep 1
    now=$(awk '{ print $14 + $15 }' "/proc/$qbk/stat")
    [ "$now" = "$before" ] && return 0
    before=$now
  done
  fail "the program stayed busy"
}

# A named pipe typed as a whole path into the dialog $dialog titled <title>: the dialog itself may
# refuse it (it lists no pipes); then it is closed and the step says so.
pick_pipe() {  # pick_pipe <dialog title> <path>
  type_into_dialog "$dialog" "$2"
  if ! window_gone "^$1$"; then
    shot "$out/pipe-in-the-dialog.png"
    echo "(the file dialog does not take the named pipe $2; closed with Escape)" >>"$out/stderr.log"
    xdotool windowfocus --sync "$dialog"
    xdotool key Escape
    window_gone "^$1$" || fail "the dialog \"$1\" did not close"
  fi
}

open_pipe() {
  local dialog
  open_album_dialog
  pick_pipe Open "$work/pipe.ZRB"
}

add_pipe() {
  local dialog
  open_photo_dialog
  pick_pipe "Select Bitmap" "$work/pipe.jpg"
}

# Runs one step and checks its peak and the message it gave on standard error (or none).
step() {  # step <name> <a part of the message expected, alternatives apart by |, or -> <command...>
  local name=$1 expected=$2
  shift 2
  reset_peak
  local lines
  lines=$(wc -l <"$out/stderr.log")
  "$@"
  wait_idle
  local got
  got=$(tail -n +$((lines + 1)) "$out/stderr.log" | tr '\n' ' ')
  printf '%-34s peak %5s MiB  %s\n' "$name" "$(peak)" "${got:-(no message)}"
  [ "$(peak)" -lt 1024 ] || fail "$name: the peak reached $(peak) MiB"
  if [ "$expected" = - ]; then
    [ -z "$got" ] || fail "$name: unexpected message: $got"
    return 0
  fi
  local one
  IFS='|' read -ra alternatives <<<"$expected"
  for one in "${alternatives[@]}"; do
    case "$got" in *"$one"*) return 0 ;; esac
  done
  fail "$name: the message is not \"$expected\": $got"
}

echo "== first run: messages on standard error"
: >"$out/stderr.log"
QBK_MESSAGE_BOXES=stderr build/bin/qbk 2>>"$out/stderr.log" & qbk=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name "Ostrel 50 Quillbook" | head -1) || fail "no main window"
sleep 1
echo "at the start: peak $(peak) MiB"
step "album of 40 bitmaps 8192x8192" "picture 1 is 8192 x 8192 pixels, larger than any device's screen" \
  open_album "$work/forty.ZRB"
step "4 GiB album, one picture" "picture 1 holds $(( (4 << 30) - 15 )) bytes" open_album "$work/lying.ZRB"
step "4 GiB of zeros as an album" "it goes on after its last picture" open_album "$work/zeros.ZRB"
step "named pipe as an album" "It is not a regular file|does not take the named pipe" open_pipe
ten=$(for i in $(seq 0 9); do printf '"%s" ' "$work/photos/p$i.png"; done)
step "ten PNGs of 8192x8192 at once" - add_photo "$ten"
step "two 16-bit RGBA PNGs of 8192x8192" - add_photo "\"$work/deep/d0.png\" \"$work/deep/d1.png\""
step "PNG claiming RGBA rows" "8192 x 8192 pixels cannot be decoded from" add_photo "$work/rgba.png"
step "JPEG with 4 GiB behind it" - add_photo "$work/tail.jpg"
step "4 GiB of zeros as a JPEG" "JPEG image is not valid" add_photo "$work/zeros.jpg"
step "named pipe as a picture" "It is not a regular file|does not take the named pipe" add_pipe
shot "$out/after-first-run.png"
exit_by_menu

echo "== second run: the messages in boxes"
start_qbk
sleep 1
box_of() {  # box_of <screenshot name>: the box the last command showed, photographed and closed
  local box
  box=$(wait_for_box) || fail "$1: no message box"
  sleep 0.5
  echo "$1: box \"$(xdotool getwindowname "$box")\", $out/$1.png"
  shot "$out/$1.png"
  xdotool windowfocus --sync "$box"
  xdotool key Return
  sleep 0.5
}
open_album "$work/forty.ZRB"
box_of album-of-forty-bitmaps
add_photo "$work/zeros.jpg"
box_of zeros-as-a-picture
open_pipe
box_of named-pipe-as-an-album
exit_by_menu
