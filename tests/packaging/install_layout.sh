#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program and its tools in one private folder, the
# command a link that leads to it, icons at every painted size, and a desktop entry and AppStream
# metainfo that desktop-file-validate and appstreamcli accept.
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

for f in nemarro nemarro-cli cv.dat pb.dat; do [ -x "$prefix/lib/nemarro/$f" ] || fail "lib/nemarro/$f missing"; done
for p in nemarro nemarro-cli; do
  [ "$(readlink "$prefix/bin/$p")" = "../lib/nemarro/$p" ] || fail "bin/$p is no relative link"
  [ "$(readlink -f "$prefix/bin/$p")" = "$(readlink -f "$prefix/lib/nemarro/$p")" ] || fail "bin/$p leads elsewhere"
done
# Through its link the converter finds its tools and the catalogue.
"$prefix/bin/nemarro-cli" --list-profiles | grep -q 'MP3 - MPEG Layer-3 Audio' || fail "bin/nemarro-cli does not run"
for size in 16 24 32 48 64 128 256; do
  for dir in "${size}x$size" "${size}x$size@2"; do
    icon=$prefix/share/icons/hicolor/$dir/apps/nemarro.png
    [ -f "$icon" ] || fail "no icon in $dir"
  done
done
desktop=$prefix/share/applications/nemarro.desktop
desktop-file-validate "$desktop" || fail "desktop entry"
grep -qx 'Exec=nemarro %F' "$desktop" || fail "desktop entry does not pass files to nemarro"
metainfo=$prefix/share/metainfo/example.nemarro.Nemarro.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -q '<launchable type="desktop-id">nemarro.desktop</launchable>' "$metainfo" || fail "metainfo launches no nemarro.desktop"
unexpected=$(cd "$prefix" && find . -type f -o -type l | grep -vE '^\./(lib/nemarro/(nemarro|nemarro-cli|cv\.dat|pb\.dat)|bin/nemarro(-cli)?|share/(applications/nemarro\.desktop|metainfo/example\.nemarro\.Nemarro\.metainfo\.xml|icons/hicolor/[0-9x@]+/apps/nemarro\.png))$' || true)
[ -z "$unexpected" ] || fail "installed beyond the layout: $unexpected"
echo "install layout: $(cd "$prefix" && find . -type f -o -type l | wc -l) files, validators passed"
