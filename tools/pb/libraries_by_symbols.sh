#!/bin/sh
# Prints the given shared libraries and everything they load, the ones that export the most
# symbols first. pb.dat names them in that order, so that the dynamic loader, which looks
# every symbol up library after library in load order, finds most of them early.
# Usage: libraries_by_symbols.sh LIBRARY...
set -eu
for library in "$@"; do
  echo "$library"
  ldd "$library" | awk '/=> \// { print $3 }'
done | xargs readlink -f | sort -u | while read -r library; do
  echo "$(nm -D --defined-only "$library" 2>/dev/null | wc -l) $library"
done | sort -rn | awk '{ print $2 }'
