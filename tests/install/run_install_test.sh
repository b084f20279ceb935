#!/usr/bin/env bash
# Installs the built game into a fresh prefix, checks the installed files with the real
# validators, and starts the installed program as the applications menu does, in a fresh
# home folder.
#   run_install_test.sh <build-folder> <app-id>
set -uo pipefail

build="${1:?usage: run_install_test.sh <build-folder> <app-id>}"
app_id="${2:?usage: run_install_test.sh <build-folder> <app-id>}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -x "$prefix/bin/jumblix" ] || fail "bin/jumblix missing or not executable"
for f in "$desktop" "$metainfo" "$prefix/share/man/man6/jumblix.6"; do
  [ -s "$f" ] || fail "${f#"$prefix"/} missing"
done
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  python3 - "$icon" "$size" <<'PY' || fail "icon ${size}x${size}"
import struct, sys
path, size = sys.argv[1], int(sys.argv[2])
try:
    head = open(path, "rb").read(24)
except OSError as e:
    sys.exit(f"{path}: {e.strerror}")
if head[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", head[16:24]) != (size, size):
    sys.exit(f"{path}: not a {size} x {size} PNG")
PY
done

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 ||
  { cat "$work/appstream.log"; fail "appstreamcli validate"; }

# Started as the menu starts it: the Exec line, from a fresh home folder, without
# XDG_DATA_HOME.
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
home="$work/home"
mkdir "$home"
(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" PATH="$prefix/bin:$PATH" \
   QT_QPA_PLATFORM=offscreen $exec_line --quit-after 1500) >"$work/run.log" 2>&1
status=$?
[ "$status" = 0 ] || { cat "$work/run.log"; fail "menu start: exit status $status"; }
folder="$home/.local/share/jumblix"
for f in "regular pictures/title1.bmp" "animation pictures/title2.bmp"; do
  [ -s "$folder/$f" ] || fail "menu start: $f not written in ~/.local/share/jumblix"
done
stray="$(cd "$home" && find . -mindepth 1 -maxdepth 1 ! -name .local ! -name .cache ! -name .config)"
[ -z "$stray" ] || fail "menu start left files in the home folder: $stray"

# Answers that need no display.
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
"${no_display[@]}" "$prefix/bin/jumblix" --no-such-option >/dev/null 2>"$work/err.log"
status=$?
[ "$status" = 2 ] || fail "unknown option: exit status $status (expected 2)"
grep -q "^jumblix: Unknown option 'no-such-option'.$" "$work/err.log" || { cat "$work/err.log"; fail "unknown option: message"; }
version="$("${no_display[@]}" "$prefix/bin/jumblix" --version)" || fail "--version failed"
[[ "$version" == "jumblix "[0-9]* ]] || fail "--version printed '$version'"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install test passed"
