#!/usr/bin/env bash
# Starts the built game in a fresh directory on Qt's offscreen platform, lets it run a few
# seconds, ends it, and checks the exit status and the title pictures it wrote.
#   run_smoke.sh <path-to-jumblix>
set -uo pipefail

program="${1:?usage: run_smoke.sh <path-to-jumblix>}"
program="$(cd "$(dirname "$program")" && pwd)/$(basename "$program")"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits up to $2 seconds for process $1 to end; sets `status` to its exit status, or "hung".
wait_for_exit() {
  local pid=$1 limit=$2 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$waited" -ge $((limit * 10)) ]; then
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      status=hung
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  wait "$pid"
  status=$?
}

# 1. A termination signal ends the game cleanly.
mkdir "$work/run1"
(cd "$work/run1" && exec "$program") >"$work/run1.log" 2>&1 &
pid=$!
# Started once it has written its title pictures (after its signal handlers are in place);
# a slow machine only takes longer.
for _ in $(seq 600); do
  [ -s "$work/run1/animation pictures/title2.bmp" ] || ! kill -0 "$pid" 2>/dev/null && break
  sleep 0.1
done
sleep 0.5
if ! kill -0 "$pid" 2>/dev/null; then
  wait "$pid"
  fail "the game ended by itself after starting (status $?)"
  cat "$work/run1.log"
else
  kill -TERM "$pid"
  wait_for_exit "$pid" 10
  [ "$status" = 0 ] || { fail "exit status after SIGTERM: $status (expected 0)"; cat "$work/run1.log"; }
fi

# The title pictures are written at every start.
check_bmp() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
path, want_w, want_h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
try:
    with open(path, "rb") as f:
        head = f.read(26)
except OSError as e:
    sys.exit(f"{path}: cannot be read ({e.strerror})")
if len(head) < 26 or head[:2] != b"BM":
    sys.exit(f"{path}: not a BMP file")
w, h = struct.unpack("<ii", head[18:26])
if (w, abs(h)) != (want_w, want_h):
    sys.exit(f"{path}: {w} x {abs(h)}, expected {want_w} x {want_h}")
PY
}
check_bmp "$work/run1/regular pictures/title1.bmp" 800 600 || fail "title1.bmp"
check_bmp "$work/run1/animation pictures/title2.bmp" 267 236 || fail "title2.bmp"

# 2. Closing the window ends the game cleanly too, and a screenshot can be taken.
mkdir "$work/run2"
(cd "$work/run2" && exec "$program" --screenshot "$work/shot.png" --quit-after 1500) >"$work/run2.log" 2>&1 &
pid=$!
wait_for_exit "$pid" 20
[ "$status" = 0 ] || { fail "exit status after closing the window: $status (expected 0)"; cat "$work/run2.log"; }
python3 - "$work/shot.png" <<'PY' || fail "screenshot"
import struct, sys
with open(sys.argv[1], "rb") as f:
    head = f.read(24)
if head[:8] != b"\x89PNG\r\n\x1a\n":
    sys.exit("screenshot is not a PNG file")
w, h = struct.unpack(">II", head[16:24])
if w < 754 or h < 385:
    sys.exit(f"screenshot is {w} x {h}, smaller than the window's drawing area")
PY

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "smoke test passed"
