#!/usr/bin/env bash
# Starts the real game with a fresh data folder and leaves it, then checks that it ended with
# status 0 and cleared its unpacked sounds away. How it leaves:
#   escape        Escape in the main menu (the goodbye plays)
#   close-menu    the window's close button in the main menu
#   close-splash  the close button while the packs unpack under the jingle
#   close-wizard  the close button at the new bowler's last-initial question, which ignores
#                 Escape
set -euo pipefail
game="$1"
mode="${2:-escape}"
closer="${3:-}"

source "$(dirname "$0")/common.sh"

start_xvfb
export AllUsersProfile="$work/profile" STRIKORA_TRACE="$work/trace.tsv" ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"
data="$AllUsersProfile/Application Data/Strikora"

"$game" >"$work/out.txt" 2>&1 &
pid=$!

fail() {
  echo "FAIL: $*"
  echo "--- program output"; cat "$work/out.txt" || true
  echo "--- trace"; cat "$STRIKORA_TRACE" || true
  exit 1
}

close_window() {
  local id
  id="$(xdotool search --sync --name "$1" | head -1)"
  "$closer" "$id" || fail "could not close the window"
}

# Waits until the trace has at least $2 lines matching $1.
heard() {
  for _ in $(seq 1 600); do
    [ "$(grep -cP -- "$1" "$STRIKORA_TRACE" 2>/dev/null || true)" -ge "${2:-1}" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for $1"
    sleep 0.1
  done
  fail "never heard $1"
}

if [ "$mode" = close-splash ]; then
  for _ in $(seq 1 600); do
    grep -qP "\tmp3\trun\t" "$STRIKORA_TRACE" 2>/dev/null && break
    sleep 0.1
  done
  close_window "Welcome to Strikora"
else
  # Start-up plays a jingle and the theme song before the menu: give it time.
  for _ in $(seq 1 1200); do
    grep -q "lgb.wav" "$STRIKORA_TRACE" 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the main menu"
    sleep 0.1
  done
  grep -qP "\tfocus\tMain Menu:$" "$STRIKORA_TRACE" || fail "no main menu in the trace"
  if [ "$mode" = close-menu ]; then
    close_window "Main Menu:"
  elif [ "$mode" = close-wizard ]; then
    window="$(xdotool search --sync --name "Main Menu:" | head -1)"
    xdotool key --window "$window" Down
    heard "/create\.wav\t"
    xdotool key --window "$window" Return
    heard "/uai\.wav\t"
    xdotool key --window "$window" Return
    heard "/initials/A\.wav\t"
    xdotool key --window "$window" Return
    heard "/wyln\.wav\t"
    close_window "Select an Initial"
  else
    window="$(xdotool search --sync --name "Main Menu:" | head -1)"
    xdotool key --window "$window" Escape
  fi
fi

status=0
for _ in $(seq 1 300); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end ($mode)"
wait "$pid" || status=$?
pid=0
[ "$status" -eq 0 ] || fail "exit status $status"

if [ "$mode" = escape ]; then
  grep -qP "\tkey\t27\t0$" "$STRIKORA_TRACE" || fail "Escape never reached the game"
  grep -q "end.wav" "$STRIKORA_TRACE" || fail "no goodbye"
fi
if grep -qP "\t(fail|error)\t" "$STRIKORA_TRACE"; then fail "a clip failed or an error was logged"; fi
for gone in adverts ambient announce menu numbers play; do
  [ ! -e "$data/sounds/$gone" ] || fail "sounds/$gone left behind"
done
if [ "$mode" != close-splash ]; then
  [ -d "$data/sounds/names/initials" ] || fail "the names folder went too"
  [ -f "$data/sounds/names/fn1.wav" ] || fail "no first names unpacked"
fi
echo "PASS: $mode ended the game with status 0 and cleared the unpacked sounds"
