#!/usr/bin/env bash
# Makes the Debian package from a build tree and checks what it declares and holds, then unpacks
# it and starts the unpacked game in a virtual X server: it must take its packs from the package's
# share/, reach the main menu, refuse a second copy meanwhile and end with Escape. lintian and the
# AppStream validator must find nothing to fix.
set -euo pipefail
build="$1"
version="$2"

source "$(dirname "$0")/../e2e/common.sh"
fail() {
  echo "FAIL: $*"
  tail -n +1 "$work"/{cpack.txt,lintian.txt,appstream.txt,out.txt,trace.tsv} 2>/dev/null
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.txt" 2>&1 || fail "cpack"
deb="$work/out/strikora_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb") made"

info="$(dpkg-deb -f "$deb")"
for field in "Package: strikora" "Version: $version" "Architecture: amd64" "Section: games" \
  "Maintainer: [^<]+ <[^@ ]+@[^> ]+>" "Depends: .*libopenal1.*" "Depends: .*libsdl2-.*" \
  "Depends: .*libsndfile1.*" "Recommends: fonts-dejavu-core" \
  " .*audio game.* blind and visually impaired.*"; do
  grep -qE "^$field$" <<<"$info" || fail "no control line $field in: $info"
done

dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' >"$work/files.txt"
sounds=./usr/share/strikora/sounds
for f in ./usr/games/strikora ./usr/games/strikora-pack; do
  grep -qx -- "-rwxr-xr-x root/root $f" "$work/files.txt" || fail "$f is not an executable of root"
done
for f in numbers.des announce.des adverts.des ambient.des menu.des play.des stdnames.des \
  initials.des silence.wav logos.mp3 words.txt; do
  grep -qx -- "-rw-r--r-- root/root $sounds/$f" "$work/files.txt" || fail "no $sounds/$f"
done
for f in applications/strikora.desktop metainfo/org.strikora.strikora.metainfo.xml \
  icons/hicolor/scalable/apps/strikora.svg man/man6/strikora.6.gz man/man1/strikora-pack.1.gz \
  doc/strikora/copyright doc/strikora/changelog.gz; do
  grep -q " ./usr/share/$f$" "$work/files.txt" || fail "no /usr/share/$f"
done
outside="$(grep -v " ./usr/\(games\|share\)/" "$work/files.txt" | grep -v "^d" || true)"
[ -z "$outside" ] || fail "files outside /usr/games and /usr/share: $outside"

# No error or warning; the informational tags (hardening flags of a local build) are allowed.
lintian --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1 || fail "lintian"

root="$work/root"
dpkg-deb -x "$deb" "$root"
metainfo="$root/usr/share/metainfo/org.strikora.strikora.metainfo.xml"
grep -q "<release version=\"$version\"" "$metainfo" || fail "no release $version in the metainfo"
[[ "$(zcat "$root/usr/share/doc/strikora/changelog.gz")" == "strikora ($version) "* ]] ||
  fail "the changelog does not begin with $version"
appstreamcli validate-tree --no-net --strict "$root" >"$work/appstream.txt" 2>&1 ||
  fail "appstreamcli validate-tree"
desktop="$root/usr/share/applications/strikora.desktop"
for line in "Categories=Game;.*" "Comment=.*[Aa]udio game.*" "Exec=strikora" "Icon=strikora"; do
  grep -qx "$line" "$desktop" || fail "no desktop entry line $line"
done
"$root/usr/games/strikora-pack" list "$root/usr/share/strikora/sounds/menu.des" | grep -q lgb.wav ||
  fail "strikora-pack list"

start_xvfb
export AllUsersProfile="$work/profile" STRIKORA_TRACE="$work/trace.tsv" ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"
"$root/usr/games/strikora" >"$work/out.txt" 2>&1 &
pid=$!
for _ in $(seq 1 1200); do
  grep -qP "\tfocus\tMain Menu:$" "$work/trace.tsv" 2>/dev/null && break
  kill -0 "$pid" 2>/dev/null || fail "the unpacked game ended before the main menu"
  sleep 0.1
done
grep -qP "\tfocus\tMain Menu:$" "$work/trace.tsv" || fail "no main menu in the trace"
grep -qP "\tmp3\tload\t$root/usr/share/strikora/sounds/logos.mp3$" "$work/trace.tsv" ||
  fail "the jingle was not taken from the package's share/"
# A second copy while the first plays: refused at once, with a reason.
second=0
timeout 20 "$root/usr/games/strikora" >"$work/second.txt" 2>&1 || second=$?
[ "$second" -eq 1 ] && grep -q "already running" "$work/second.txt" ||
  fail "a second copy ended with status $second: $(cat "$work/second.txt")"
xdotool key --window "$(xdotool search --sync --name "Main Menu:" | head -1)" Escape
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
status=0
wait "$pid" || status=$?
pid=0
[ "$status" -eq 0 ] || fail "exit status $status after Escape"
if grep -qP "\t(fail|error)\t" "$work/trace.tsv"; then fail "a clip failed or an error was logged"; fi
echo "PASS: $(basename "$deb"): control fields, files, lintian and appstreamcli clean; the unpacked" \
  "game reached its main menu, refused a second copy and ended with Escape"
