#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: the program and its tools in one private folder, the
# command a link that leads to it, icons at every painted size, a desktop entry and AppStream
# metainfo that desktop-file-validate and appstreamcli accept, manual pages, licence, changelog
# and the HTML manual.
# Usage: install_layout.sh <build folder> <version> <sanitizer build: ON or OFF>
set -euo pipefail
build=$1
version=$2
sanitized=$3
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }

for f in nemarro nemarro-cli cv.dat pb.dat; do [ -x "$prefix/lib/nemarro/$f" ] || fail "lib/nemarro/$f missing"; done
# Each program names only libraries it calls: those are the package's dependencies, and the
# ones they load in turn are theirs to name. (A sanitizer build links its runtime's own.)
[ "$sanitized" = ON ] || for f in "$prefix"/lib/nemarro/*; do
  unused=$(ldd -u "$f" 2>/dev/null | tail -n +2 || true)
  [ -z "$unused" ] || fail "$(basename "$f") names libraries it does not call:$unused"
done
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
# The program (in lib/nemarro) finds its manual two folders up.
[ -f "$prefix/share/doc/nemarro/index.html" ] || fail "no manual in share/doc/nemarro"
metainfo=$prefix/share/metainfo/example.nemarro.Nemarro.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "metainfo"
grep -q '<launchable type="desktop-id">nemarro.desktop</launchable>' "$metainfo" || fail "metainfo launches no nemarro.desktop"
# Every command has a compressed manual page, reproducible (no name or time in its header),
# and is one of the binaries the metainfo says the package provides.
for command in "$prefix"/bin/*; do
  name=$(basename "$command")
  page=$prefix/share/man/man1/$name.1.gz
  [ -f "$page" ] || fail "no manual page for bin/$name"
  [ "$(od -An -tx1 -j4 -N4 "$page" | tr -d ' ')" = 00000000 ] || fail "$page records a time"
  zcat "$page" | grep -q "^\.SH NAME" || fail "$page is no manual page"
  grep -qx "    <binary>$name</binary>" "$metainfo" || fail "metainfo does not provide $name"
done
for f in copyright changelog.gz; do [ -s "$prefix/share/doc/nemarro/$f" ] || fail "no share/doc/nemarro/$f"; done
zcat "$prefix/share/doc/nemarro/changelog.gz" | head -n 1 | grep -q "^nemarro ($version) " || fail "changelog does not begin with $version"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo licence"
unexpected=$(cd "$prefix" && find . -type f -o -type l | grep -vE '^\./(lib/nemarro/(nemarro|nemarro-cli|cv\.dat|pb\.dat)|bin/nemarro(-cli)?|share/(applications/nemarro\.desktop|metainfo/example\.nemarro\.Nemarro\.metainfo\.xml|icons/hicolor/[0-9x@]+/apps/nemarro\.png|man/man1/nemarro(-cli)?\.1\.gz|doc/nemarro/.+))$' || true)
[ -z "$unexpected" ] || fail "installed beyond the layout: $unexpected"
echo "install layout: $(cd "$prefix" && find . -type f -o -type l | wc -l) files, validators passed"
