#!/usr/bin/env bash
# The real program on a virtual X display, used with real clicks: Open File, a file typed
# into the file dialog, Start; the row ends "Success!" (its status cell is compared with the
# same list drawn holding "Success!"), Start comes back, and the output is a valid MP3.
# Usage: converting_under_xvfb.sh <nemarro> <cv.dat> <pb.dat> <status_cell_reference> <shots folder>
set -euo pipefail
program=$1 encoder=$2 prober=$3 reference=$4 shots=$5
for tool in xvfb-run xdotool import convert compare ffmpeg ffprobe; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/nemarro"
cp "$encoder" "$work/cv.dat"
cp "$prober" "$work/pb.dat"
mkdir -p "$work/music"
ffmpeg -v error -nostdin -f lavfi -i sine=frequency=440:duration=3 -ac 2 -ar 44100 "$work/music/song one.wav"

cat >"$work/inside.sh" <<'INNER'
set -euo pipefail
work=$1 shots=$2 reference=$3
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export HOME=$work/home
mkdir -p "$HOME"
"$work/nemarro" 2>"$work/stderr.txt" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
fail() { echo "FAIL: $*"; cat "$work/stderr.txt"; exit 1; }

wait_for_window() { # name pattern; prints the window id
  for _ in $(seq 1 150); do
    found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$found" ] && { echo "$found"; return 0; }
    sleep 0.1
  done
  return 1
}
main=$(wait_for_window '^Main$') || fail "no window named Main"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$main" | grep -E '^(X|Y)=')"
shot() { import -window root "$work/root.png" && convert "$work/root.png" -crop "600x500+$X+$Y" +repage "$1"; }
crop() { convert "$1" -crop "$2" +repage "$3"; }
# The text of a cell as white on black, whatever the row's shade: the list's pale text
# stays above 65 % grey where its anti-aliased edges meet any of the dark row colours.
text_of() { convert "$1" -crop "$2" +repage -colorspace Gray -threshold 65% "$3"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]; }
# Texts drawn over different highlights differ in a few anti-aliased edge pixels at most;
# another word differs in dozens.
same_text() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" -le 8 ]; }
shot "$work/start.png"
crop "$work/start.png" 78x78+504+415 "$work/start-button.png"

# Open File, then the file's full path typed into the dialog's name field.
xdotool mousemove $((X + 160)) $((Y + 59)) click 1
dialog=""
for _ in $(seq 1 100); do
  dialog=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -vx "$main" | head -n 1 || true)
  [ -n "$dialog" ] && break
  sleep 0.1
done
[ -n "$dialog" ] || fail "no file dialog opened"
sleep 1
import -window root "$shots/file-dialog.png"
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
xdotool type --delay 15 "$work/music/song one.wav"
sleep 0.3
xdotool key Return
for _ in $(seq 1 50); do
  xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$dialog" || break
  sleep 0.1
  [ "$_" = 20 ] && xdotool key Return # a completion list took the first one
done
xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$dialog" && fail "the file dialog did not close"
sleep 2 # probing, with or without the wait dialog
shot "$shots/added.png"

# Start: the Stop button takes its place, and Start comes back when the run is over.
xdotool mousemove $((X + 543)) $((Y + 454)) click 1
sleep 0.2
xdotool mousemove $((X + 5)) $((Y + 250)) # off the buttons, so none shows its hover look
output="$HOME/Videos/song one.mp3"
done_=""
for _ in $(seq 1 120); do
  sleep 0.5
  shot "$work/now.png"
  crop "$work/now.png" 78x78+504+415 "$work/now-button.png"
  if [ -s "$output" ] && same "$work/now-button.png" "$work/start-button.png"; then done_=yes; break; fi
done
[ -n "$done_" ] || cp "$work/now.png" "$shots/last.png"
[ -n "$done_" ] || fail "the run did not end with Start shown and $output written"
shot "$shots/finished-run.png"

# The row's status cell against the same list drawn with "Success!" (text pixels only: the
# row may be highlighted as the current one).
read -r cx cy cw ch < <("$reference" "$work/reference.png" "Success!")
text_of "$work/reference.png" "${cw}x${ch}+$cx+$cy" "$work/expected-cell.png"
text_of "$shots/finished-run.png" "${cw}x${ch}+$((26 + cx))+$((92 + cy))" "$shots/status-cell.png"
same_text "$shots/status-cell.png" "$work/expected-cell.png" || {
  "$reference" "$work/ready.png" "Ready" >/dev/null
  text_of "$work/ready.png" "${cw}x${ch}+$cx+$cy" "$work/ready-cell.png"
  same_text "$shots/status-cell.png" "$work/ready-cell.png" && fail "the row still shows Ready"
  fail "the status cell does not show Success! (see $shots/status-cell.png)"
}
format=$(ffprobe -v error -show_entries format=format_name -of default=nw=1:nk=1 "$output")
[ "$format" = mp3 ] || fail "$output is '$format', not mp3"
kill -0 "$pid" || fail "the program ended"
echo "Success! shown; $output written ($(stat -c %s "$output") bytes); screenshot $shots/finished-run.png"
INNER
xvfb-run -a -s "-screen 0 1024x768x24 -br" bash "$work/inside.sh" "$work" "$shots" "$reference"
