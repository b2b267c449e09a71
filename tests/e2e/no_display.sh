#!/usr/bin/env bash
# Without a display, or without a sound device, the game cannot be played: it must say why in
# words a player can act on and end at once with a failure status, not run on deaf or hang.
set -uo pipefail
game="$1"
work="$(mktemp -d)"
cleanup() {
  [ "${xvfb:-0}" -gt 0 ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export AllUsersProfile="$work/profile"
unset STRIKORA_TRACE SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"

# expect NAME HINT: runs the game (environment already set) and checks how it failed.
expect() {
  local started=$SECONDS
  timeout 20 "$game" >"$work/out.txt" 2>"$work/err.txt"
  local status=$?
  if [ "$status" -ne 1 ]; then echo "FAIL ($1): exit status $status"; cat "$work/err.txt"; exit 1; fi
  [ $((SECONDS - started)) -le 10 ] || { echo "FAIL ($1): took $((SECONDS - started)) s"; exit 1; }
  grep -qx "Unable to start DirectX." "$work/err.txt" || { echo "FAIL ($1): no message"; cat "$work/err.txt"; exit 1; }
  grep -q -- "$2" "$work/err.txt" || { echo "FAIL ($1): no hint '$2'"; cat "$work/err.txt"; exit 1; }
  echo "ok ($1): $(grep -A1 -x "Unable to start DirectX." "$work/err.txt" | tail -1)"
}

(unset DISPLAY WAYLAND_DISPLAY; ALSOFT_DRIVERS=null expect "no display" "no display to open the game window") || exit 1

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
(export DISPLAY=":$(head -1 "$work/display")" ALSOFT_DRIVERS=no-such-driver
 expect "no sound device" "ALSOFT_DRIVERS=null") || exit 1
echo "PASS"
