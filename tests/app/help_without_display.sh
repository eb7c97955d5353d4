#!/bin/sh
# nemarro --help and --version print on standard output and exit 0 with no display at all;
# an unknown option is refused with exit status 2 and never opens the window.
# Usage: help_without_display.sh <nemarro> <version>
set -u
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
fail() { echo "FAIL: $*"; exit 1; }
help=$("$1" --help 2>&1) || fail "--help exited with $?: $help"
echo "$help" | grep -q '^Usage: nemarro \[OPTION\]\.\.\. \[--\] \[FILE\]\.\.\.$' || fail "--help printed: $help"
version=$("$1" --version 2>&1) || fail "--version exited with $?: $version"
[ "$(echo "$version" | head -n 1)" = "nemarro $2" ] || fail "--version printed: $version"
"$1" --bogus >/dev/null 2>&1
status=$?
[ "$status" -eq 2 ] || fail "--bogus exited with $status, not 2"
echo "help, version and refusal without a display: passed"
