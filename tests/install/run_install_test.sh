#!/usr/bin/env bash
# Installs the built game into a fresh prefix, checks the installed files with the real
# validators, and starts the installed program as the applications menu does, in a fresh
# home folder; then builds the Debian package and checks its layout (and lintian's verdict
# when lintian is installed).
#   run_install_test.sh <build-folder> <app-id>
set -uo pipefail

build="${1:?usage: run_install_test.sh <build-folder> <app-id>}"
app_id="${2:?usage: run_install_test.sh <build-folder> <app-id>}"
work="$(mktemp -d)"
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }

desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
[ -x "$prefix/bin/jumblix" ] || fail "bin/jumblix missing or not executable"
for f in "$desktop" "$metainfo" "$prefix/share/doc/jumblix/copyright"; do
  [ -s "$f" ] || fail "${f#"$prefix"/} missing"
done
for f in "$prefix/share/man/man6/jumblix.6.gz" "$prefix/share/doc/jumblix/changelog.gz"; do
  gzip -t "$f" 2>/dev/null || fail "${f#"$prefix"/} missing or not gzip"
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
# Clean even of pedantic hints.
appstreamcli validate --pedantic --no-net "$metainfo" >"$work/appstream.log" 2>&1
status=$?
if [ "$status" != 0 ] || grep -q '^[EWIP]: ' "$work/appstream.log"; then
  cat "$work/appstream.log"
  fail "appstreamcli validate"
fi
# appstream-util (when installed) finds nothing but the home page, which stays out while
# the project has no public address.
if command -v appstream-util >/dev/null; then
  appstream-util validate --nonet "$metainfo" >"$work/appstream-util.log" 2>&1
  if grep '^•' "$work/appstream-util.log" | grep -qv '<url> is not present'; then
    cat "$work/appstream-util.log"
    fail "appstream-util validate"
  fi
fi

# Started as the menu starts it: the Exec line, from a fresh home folder, without
# XDG_DATA_HOME and without the prefix on the PATH (a session older than the install).
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
[[ "$exec_line" == "$prefix/bin/jumblix "* ]] || fail "Exec does not name $prefix/bin/jumblix: $exec_line"
home="$work/home"
mkdir "$home"
(cd "$home" && exec env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
   $exec_line --quit-after 1500) >"$work/run.log" 2>&1
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

# A Wayland session that asks Qt for Wayland, with XWayland beside it: the game opens its
# window through X11 when Qt's Wayland plugin is missing (or cannot reach the compositor).
if command -v Xvfb >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ -s "$work/display" ]; then
    mkdir "$work/wayland"
    (cd "$work/wayland" && exec env QT_QPA_PLATFORM=wayland XDG_SESSION_TYPE=wayland \
       WAYLAND_DISPLAY=no-compositor-here DISPLAY=":$(cat "$work/display")" \
       "$prefix/bin/jumblix" --quit-after 1000) >"$work/wayland.log" 2>&1
    status=$?
    [ "$status" = 0 ] || { cat "$work/wayland.log"; fail "Wayland session without Wayland: exit status $status"; }
  else
    fail "Xvfb did not start"
  fi
else
  echo "Xvfb is not installed: the Wayland session start is skipped"
fi

# The Debian package: the game in /usr/games, the copyright, the changelog and the man
# page compressed, the desktop entry naming the program as found on the PATH.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb="$(ls "$work"/package/jumblix_*.deb)"
root="$work/package/root"
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/games/jumblix" ] || fail "package: usr/games/jumblix missing"
[ ! -e "$root/usr/bin" ] || fail "package: has usr/bin"
head -1 "$root/usr/share/doc/jumblix/copyright" 2>/dev/null |
  grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
  fail "package: copyright missing or not machine-readable"
package_version="$(dpkg-deb -f "$deb" Version)"
changelog_head="$(zcat "$root/usr/share/doc/jumblix/changelog.gz" 2>/dev/null | head -1)"
[[ "$changelog_head" == "jumblix ($package_version) "* ]] ||
  fail "package: changelog.gz does not begin with version $package_version: '$changelog_head'"
zcat "$root/usr/share/man/man6/jumblix.6.gz" 2>/dev/null | head -1 | grep -q '^\.TH JUMBLIX 6 ' ||
  fail "package: man page missing or not gzip"
grep -qx 'Exec=jumblix --user-game-folder' "$root/usr/share/applications/$app_id.desktop" ||
  fail "package: desktop entry's Exec"

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning --display-info --pedantic "$deb" >"$work/lintian.log" 2>&1 ||
    { grep -v '^N:' "$work/lintian.log"; fail "lintian"; }
else
  echo "lintian is not installed: the package's layout is checked, lintian's verdict skipped"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install test passed"
