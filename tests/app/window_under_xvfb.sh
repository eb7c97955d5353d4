#!/usr/bin/env bash
# The real program on a virtual X display: it starts in a fresh folder without cv.dat and
# pb.dat, writes "install.date", shows its skin with the key-colour corners left out (the
# root window shows through), and a press on the background followed by a drag moves it.
# Without a display it prints one line that says how to start it under Xvfb.
# Usage: window_under_xvfb.sh <nemarro executable> <folder for the screenshots>
set -euo pipefail
program=$1
shots=$2
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
mkdir -p "$shots"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/nemarro"

# No display at all: one line with the way to start it, and no toolkit error.
hint=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/nemarro" 2>&1) && status=0 || status=$?
[ "$status" -eq 1 ] || { echo "FAIL: without a display the exit status is $status"; exit 1; }
[ "$(printf '%s\n' "$hint" | wc -l)" -eq 1 ] || { echo "FAIL: more than one line: $hint"; exit 1; }
case $hint in *xvfb-run*nemarro*) ;; *) echo "FAIL: no Xvfb hint in: $hint"; exit 1 ;; esac
[ ! -e "$work/install.date" ] || { echo "FAIL: install.date written without a window"; exit 1; }

cat >"$work/inside.sh" <<'INNER'
set -euo pipefail
work=$1
shots=$2
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# A home of its own: the program creates the user's video folder if it is missing.
export HOME=$work/home
mkdir -p "$HOME"
"$work/nemarro" 2>"$work/stderr.txt" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name '^Main$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "FAIL: no window named Main"; cat "$work/stderr.txt"; exit 1; }
sleep 1 # let it paint

geometry() { xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y|WIDTH|HEIGHT)='; }
eval "$(geometry)"
[ "$WIDTH" = 600 ] && [ "$HEIGHT" = 500 ] || { echo "FAIL: window is ${WIDTH}x$HEIGHT"; exit 1; }
import -window root "$shots/root.png"
convert "$shots/root.png" -crop "600x500+$X+$Y" +repage "$shots/window.png"

pixel() { convert "$shots/window.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:; }
# The root window is black (-br); the key colour RGB(1,22,128) must never be drawn.
for corner in "0 0" "599 0" "0 499" "599 499"; do
  got=$(pixel $corner)
  [ "$got" = "0,0,0" ] || { echo "FAIL: corner $corner shows $got, not the root window"; exit 1; }
done
inside=$(pixel 300 10)
[ "$inside" != "0,0,0" ] && [ "$inside" != "1,22,128" ] || { echo "FAIL: skin missing at 300,10: $inside"; exit 1; }
keys=$(convert "$shots/window.png" -fill white +opaque 'rgb(1,22,128)' -fill black -opaque 'rgb(1,22,128)' -format '%[fx:int(mean*w*h+0.5)]' info:)
# keys counts the pixels that are not the key colour; all 300000 must be so.
[ "$keys" = 300000 ] || { echo "FAIL: $((300000 - keys)) key-colour pixels drawn"; exit 1; }

[ -f "$work/install.date" ] || { echo "FAIL: no install.date"; exit 1; }
grep -qxE '[0-9]+' "$work/install.date" || { echo "FAIL: install.date holds $(cat "$work/install.date")"; exit 1; }
[ "$(tail -c 1 "$work/install.date" | od -An -c | tr -d ' ')" != '\n' ] || { echo "FAIL: install.date ends in a line break"; exit 1; }

# Press on the background, drag by (70, 45), release.
startX=$X startY=$Y
xdotool mousemove $((X + 300)) $((Y + 10)) mousedown 1
sleep 0.2
for step in 1 2 3 4 5; do
  xdotool mousemove $((X + 300 + 14 * step)) $((Y + 10 + 9 * step))
  sleep 0.05
done
xdotool mouseup 1
sleep 0.3
eval "$(geometry)"
[ "$X" = $((startX + 70)) ] && [ "$Y" = $((startY + 45)) ] ||
  { echo "FAIL: window at $X,$Y after a drag of 70,45 from $startX,$startY"; exit 1; }
kill -0 "$pid" || { echo "FAIL: the program ended"; exit 1; }
echo "window at $startX,$startY moved to $X,$Y; corners transparent; screenshot in $shots/window.png"
INNER
xvfb-run -a -s "-screen 0 1024x768x24 -br" bash "$work/inside.sh" "$work" "$shots"
