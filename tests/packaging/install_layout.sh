#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program and its tools in one private folder, the
# command a link that leads to it, icons at every painted size, and a desktop entry and AppStream
# metainfo that desktop-file-validate and appstreamcli accept, and the manual.
# Usage: install_layout.sh <build folder>
set -euo pipefail
build=$1
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }

for f in nemarro cv.dat pb.dat; do [ -x "$prefix/lib/nemarro/$f" ] || fail "lib/nemarro/$f missing"; done
[ "$(readlink "$prefix/bin/nemarro")" = ../lib/nemarro/nemarro ] || fail "bin/nemarro is no relative link"
[ "$(readlink -f "$prefix/bin/nemarro")" = "$(readlink -f "$prefix/lib/nemarro/nemarro")" ] || fail "bin/nemarro leads elsewhere"
for size in 16 24 32 48 64 128 256; do
  for dir in "${size}x$size" "${size}x$size@2"; do
    icon=$prefix/share/icons/hicolor/$dir/apps/nemarro.png
    [ -f "$icon" ] || fail "no icon in $dir"
  done
done
desktop=$prefix/share/applications/nemarro.desktop
desktop-file-validate "$desktop" || fail "desktop entry"
grep -qx 'Exec=nemarro %F' "$desktop" || fail "desktop entry does not pass files to nemarro"
# The program (in lib/nemarro) finds its manual two folders up.
[ -f "$prefix/share/doc/nemarro/index.html" ] || fail "no manual in share/doc/nemarro"
metainfo=$prefix/share/metainfo/example.nemarro.Nemarro.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -q '<launchable type="desktop-id">nemarro.desktop</launchable>' "$metainfo" || fail "metainfo launches no nemarro.desktop"
unexpected=$(cd "$prefix" && find . -type f -o -type l | grep -vE '^\./(lib/nemarro/(nemarro|cv\.dat|pb\.dat)|bin/nemarro|share/(applications/nemarro\.desktop|metainfo/example\.nemarro\.Nemarro\.metainfo\.xml|icons/hicolor/[0-9x@]+/apps/nemarro\.png|doc/nemarro/[a-z-]+\.(html|css)))$' || true)
[ -z "$unexpected" ] || fail "installed beyond the layout: $unexpected"
echo "install layout: $(cd "$prefix" && find . -type f -o -type l | wc -l) files, validators passed"
