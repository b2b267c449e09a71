#!/usr/bin/env bash
# Without a display the game cannot take keys: it must say so and end with a failure status,
# not hang or crash.
set -uo pipefail
game="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export AllUsersProfile="$work/profile" SDL_VIDEODRIVER=x11 ALSOFT_DRIVERS=null
unset DISPLAY WAYLAND_DISPLAY STRIKORA_TRACE
mkdir -p "$AllUsersProfile"

timeout 60 "$game" >"$work/out.txt" 2>"$work/err.txt"
status=$?
if [ "$status" -eq 0 ] || [ "$status" -ge 124 ]; then
  echo "FAIL: exit status $status"; cat "$work/err.txt"; exit 1
fi
grep -qx "Unable to start DirectX." "$work/err.txt" || { echo "FAIL: no message"; cat "$work/err.txt"; exit 1; }
# The cause follows on the next line, for whoever reads the terminal.
[ "$(wc -l <"$work/err.txt")" -ge 2 ] || { echo "FAIL: no cause"; cat "$work/err.txt"; exit 1; }
echo "PASS: status $status; $(tr '\n' ' ' <"$work/err.txt")"
