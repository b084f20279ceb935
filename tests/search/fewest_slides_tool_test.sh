#!/bin/sh
# jumblix_fewest_slides answers every board, tells a line that is no board, and goes on.
set -u
tool=$1
cache=$(mktemp -d)
trap 'rm -rf "$cache"' EXIT
out=$(printf '3 3 0 2 3 4 5 6 7 8 9\n3 3 0 2 3 4 5 6 7 9 9\n\n# a comment\n2 2 0 3 4 2\n' |
      XDG_CACHE_HOME=$cache "$tool" 2>/dev/null)
status=$?
echo "$out"
[ "$status" -eq 1 ] || { echo "exit status $status, not 1 for a bad line"; exit 1; }
[ "$(echo "$out" | wc -l)" -eq 3 ] || { echo "not one line per board"; exit 1; }
echo "$out" | sed -n 1p | grep -Eq '^0 exact [0-9.]+$' || exit 1
echo "$out" | sed -n 2p | grep -q '^error: piece 9 appears twice$' || exit 1
echo "$out" | sed -n 3p | grep -Eq '^4 exact [0-9.]+$' || exit 1
