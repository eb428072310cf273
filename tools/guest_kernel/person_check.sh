#!/usr/bin/env bash
# The README's adapter steps tried in the guest kernel as a new user would, with the real editor
# on a real (emulated) controller: can0 is given its bit rate, restart-ms and brought up as the
# README says, qbk-devsim plays the device on can1, and the editor runs on a virtual X server in
# the guest (CANAPI_CHANNEL=socketcan:can0), where xdotool adds a picture and presses Download
# Album. Screenshots come back to build/guest-kernel/person/ as PNG files, with the debug output
# and what the device received.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh normal qbk qbk-devsim klp_lib_usb canapi
out=build/guest-kernel/person
rm -rf "$out"
mkdir -p "$out"
picture=$out/picture.png
convert -size 320x240 gradient:navy-orange -fill white -draw "circle 160,120 160,60" "$picture"
bin=build/bin
export QBK_GUEST_DATA="/usr/bin/xkbcomp /usr/share/X11/xkb /usr/share/X11/locale /etc/fonts /usr/share/fonts/truetype/dejavu
  /usr/share/fonts/truetype/liberation /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms"
status=0
bash tools/guest_kernel/run_guest.sh build/guest-kernel tools/guest_kernel/person_check_guest.sh \
  "$bin/qbk" "$bin/qbk-devsim" "$bin/libklp_lib_usb.so" "$bin/libcanapi.so" "$bin/libqbk_platform.so" \
  "$(command -v Xvfb)" "$(command -v xdotool)" "$picture" >"$out/console.txt" 2>&1 || status=$?
# Files the guest printed between "qbk-guest: file NAME" and "qbk-guest: end of file", as
# gzip-compressed base64.
awk -v out="$out" '
  /^qbk-guest: file / { name = $3; file = out "/" name ".gz.b64"; printf "" > file; next }
  /^qbk-guest: end of file/ { close(file); name = ""; next }
  name != "" { print >> file }
' "$out/console.txt"
for encoded in "$out"/*.gz.b64; do
  [ -e "$encoded" ] || continue
  name=$(basename "$encoded" .gz.b64)
  base64 -d "$encoded" | gunzip >"$out/$name"
  rm "$encoded"
  case "$name" in *.xwd) convert "xwd:$out/$name" "$out/${name%.xwd}.png" && rm "$out/$name" ;; esac
done
grep -E '^(person:|qbk-guest:)' "$out/console.txt" | grep -v 'qbk-guest: file\|end of file' || true
ls "$out"
exit "$status"
