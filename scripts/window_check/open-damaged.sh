# A damaged album opened over an album on screen: a good album of seven pictures is opened through
# File > Open Album... and the real file dialog, then the same album with its third picture's
# length set to 0 (read on, the bitmap's bytes would become the next records). The program must
# refuse it through its error report, and the album on screen must stay as it was. Screenshots go
# to build/window-check/open-damaged/.
out=build/window-check/open-damaged
rm -rf "$out"
mkdir -p "$out"
albums=$(mktemp -d)
trap 'rm -rf "$albums"' EXIT
python3 scripts/window_check/make_album.py "$albums/good.ZRB" 0 176 220 7
python3 scripts/window_check/make_album.py "$albums/damaged.ZRB" 0 176 220 7 --zero-length 3
start_qbk
sleep 1
open_album "$albums/good.ZRB"
sleep 1
refused_open damaged "$albums/damaged.ZRB" "Ostrel Quillbook" "$out"
exit_by_menu
