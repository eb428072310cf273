# Runs inside the guest (tools/guest_kernel/person_check.sh): the README's adapter steps, then the
# editor driven as a user drives it. Prints files back as gzip-compressed base64.
send_file() {  # send_file <name> <path>
  echo "qbk-guest: file $1"
  gzip -c "$2" | base64
  echo "qbk-guest: end of file"
}
shot() { send_file "$1.xwd" /tmp/Xvfb_screen0; }
fail() {
  echo "person: $*"
  for log in /tmp/xvfb.txt /tmp/qbk.txt /tmp/devsim.txt; do echo "--- $log"; cat "$log" 2>/dev/null; done
  echo "--- windows"; for w in $(./xdotool search --name '.*' 2>/dev/null); do echo "$w $(./xdotool getwindowname "$w")"; done
  echo "--- processes"; ps
  [ -e /tmp/Xvfb_screen0 ] && shot failed
  [ -e /tmp/debug.txt ] && send_file debug.txt /tmp/debug.txt
  exit 1
}

# The adapter as a user finds it after plugging it in: there, but not set up.
/sbin/ip link set can0 down
echo "person: ip link set can0 type can bitrate 250000 restart-ms 100"
/sbin/ip link set can0 type can bitrate 250000 restart-ms 100 || fail "the bit rate line failed"
echo "person: ip link set can0 up"
/sbin/ip link set can0 up || fail "the up line failed"
/sbin/ip -details link show can0 | grep -o 'can state [A-Z-]* .* restart-ms [0-9]*'

./qbk-devsim --bus socketcan:can1 --node 1:0x1035:5 --store-image /tmp/device-album.bin >/tmp/devsim.txt 2>&1 &
mkdir -p /tmp/.X11-unix
./Xvfb :1 -screen 0 1024x768x24 -fbdir /tmp -nolisten tcp >/tmp/xvfb.txt 2>&1 &
for _ in $(seq 60); do [ -e /tmp/.X11-unix/X1 ] && break; sleep 1; done
[ -e /tmp/.X11-unix/X1 ] || fail "the virtual X server did not start"
export DISPLAY=:1 QT_QPA_PLATFORM=xcb QBK_DEBUG_OUTPUT=/tmp/debug.txt LANG=C.UTF-8
echo "person: CANAPI_CHANNEL=socketcan:can0 qbk"
CANAPI_CHANNEL=socketcan:can0 ./qbk >/tmp/qbk.txt 2>&1 &
main=$(timeout 90 ./xdotool search --sync --onlyvisible --name "Ostrel 50 Quillbook" | head -1)
[ -n "$main" ] || fail "no main window"
sleep 2
eval "$(./xdotool getwindowgeometry --shell "$main")"
top=$((HEIGHT - 495))

echo "person: Add Photo, /qbk/bin/picture.png"
./xdotool mousemove --window "$main" 53 $((top + 49 + 13 + 12)) click 1
dialog=$(timeout 60 ./xdotool search --sync --onlyvisible --name "^Select Bitmap$" | head -1)
[ -n "$dialog" ] || fail "Add Photo opened no file dialog"
sleep 2
./xdotool type --delay 30 /qbk/bin/picture.png
sleep 2
./xdotool key Return
sleep 5
shot album

echo "person: Download Album"
./xdotool mousemove --window "$main" 53 $((top + 202 + 12)) click 1
box=
for _ in $(seq 300); do
  box=$(./xdotool search --onlyvisible --name "^Varnhold QBK$" 2>/dev/null | head -1)
  [ -n "$box" ] && break
  other=$(./xdotool search --onlyvisible --name "^(Error|qbk)$" 2>/dev/null | head -1)
  [ -n "$other" ] && { sleep 1; shot failed; fail "a failure box came"; }
  sleep 1
done
[ -n "$box" ] || { shot failed; fail "no box within five minutes"; }
sleep 1
shot finished
# No window manager here: keys go to the window under the pointer.
./xdotool mousemove --window "$box" 20 20
./xdotool key Return
sleep 4
[ -z "$(./xdotool search --onlyvisible --name '^(Varnhold QBK|Error|qbk)$' 2>/dev/null)" ] || fail "a box is still up"
shot closed
echo "person: the device received $(wc -c </tmp/device-album.bin) bytes"
send_file debug.txt /tmp/debug.txt
send_file device-album.bin /tmp/device-album.bin
exit 0
