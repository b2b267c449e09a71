#!/usr/bin/env bash
# Installs the game into a temporary prefix, checks that every file lands in its usual place,
# then starts the installed program in a virtual X server: it must find its packs, reach the
# main menu, refuse a second copy meanwhile, and end with Escape.
set -euo pipefail
build="$1"

source "$(dirname "$0")/common.sh"
fail() {
  echo "FAIL: $*"
  [ -f "$work/out.txt" ] && { echo "--- program output"; cat "$work/out.txt"; }
  [ -f "$work/trace.tsv" ] && { echo "--- trace"; cat "$work/trace.tsv"; }
  exit 1
}

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.txt" || fail "cmake --install failed"
for f in bin/strikora bin/strikora-pack; do
  [ -x "$prefix/$f" ] || fail "$f is not installed"
done
sounds="$prefix/share/strikora/sounds"
for f in numbers announce adverts ambient menu play stdnames initials; do
  [ -s "$sounds/$f.des" ] || fail "no $f.des in share/strikora/sounds"
done
[ -s "$sounds/silence.wav" ] && [ -s "$sounds/logos.mp3" ] || fail "no silence.wav or logos.mp3"
desktop="$prefix/share/applications/strikora.desktop"
grep -qx "Categories=Game;.*" "$desktop" || fail "the desktop entry is not in the Game category"
grep -qi "^Comment=.*audio game" "$desktop" || fail "the desktop entry does not say it is an audio game"
grep -qx "Exec=strikora" "$desktop" && grep -qx "Icon=strikora" "$desktop" || fail "desktop entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
[ -s "$prefix/share/icons/hicolor/scalable/apps/strikora.svg" ] || fail "no icon"
man="$prefix/share/man/man6/strikora.6"
[ -s "$man" ] || fail "no man page in man6"
if command -v groff >/dev/null; then
  [ -z "$(groff -man -Tutf8 -ww -z "$man" 2>&1)" ] || fail "the man page has warnings"
fi
"$prefix/bin/strikora-pack" list "$sounds/menu.des" | grep -q "lgb.wav" || fail "strikora-pack list"

# The installed game, with nothing beside it: it must take its packs from share/.
start_xvfb
export AllUsersProfile="$work/profile" STRIKORA_TRACE="$work/trace.tsv" ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"
data="$AllUsersProfile/Application Data/Strikora"

"$prefix/bin/strikora" >"$work/out.txt" 2>&1 &
pid=$!
for _ in $(seq 1 1200); do
  grep -qP "\tfocus\tMain Menu:$" "$work/trace.tsv" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "the installed game ended before the main menu"
  sleep 0.1
done
grep -qP "\tfocus\tMain Menu:$" "$work/trace.tsv" || fail "no main menu in the trace"
grep -qP "\tmp3\tload\t$sounds/logos.mp3$" "$work/trace.tsv" || fail "the jingle was not taken from share/"
[ -f "$data/sounds/menu/lgb.wav" ] || fail "the installed packs were not unpacked"

# A second copy while the first plays: refused at once, with a reason, and nothing touched.
second=0
timeout 20 "$prefix/bin/strikora" >"$work/second.txt" 2>&1 || second=$?
[ "$second" -eq 1 ] || fail "a second copy ended with status $second: $(cat "$work/second.txt")"
grep -q "already running" "$work/second.txt" || fail "the second copy did not say why"
[ -f "$data/sounds/menu/lgb.wav" ] || fail "the second copy touched the first one's sounds"

window="$(xdotool search --sync --name "Main Menu:" | head -1)"
xdotool key --window "$window" Escape
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end after Escape"
status=0
wait "$pid" || status=$?
pid=0
[ "$status" -eq 0 ] || fail "exit status $status"
if grep -qP "\t(fail|error)\t" "$work/trace.tsv"; then fail "a clip failed or an error was logged"; fi
echo "PASS: installed into $prefix, found its packs in share/strikora/sounds, reached the main" \
  "menu, refused a second copy ($(head -1 "$work/second.txt")), ended with Escape"
