# An album of another device family opened over an album on screen: with Rurerovirez selected, a
# Rurerovirez album of seven pictures is opened through File > Open Album... and the real file
# dialog, then an Enhanced Display album. The program must refuse it with "This file is not
# compatible to your selected device" and leave the album on screen as it was. Screenshots go to
# build/window-check/open-other-family/.
out=build/window-check/open-other-family
rm -rf "$out"
mkdir -p "$out"
albums=$(mktemp -d)
trap 'rm -rf "$albums"' EXIT
python3 scripts/window_check/make_album.py "$albums/rurerovirez.ZRB" 0 176 220 7
python3 scripts/window_check/make_album.py "$albums/enhanced.ZRB" 1 320 240 2
start_qbk
sleep 1
open_album "$albums/rurerovirez.ZRB"
sleep 1
refused_open other-family "$albums/enhanced.ZRB" "Varnhold QBK" "$out"
exit_by_menu
