#!/usr/bin/env bash
# A bowler created by voice survives a restart: the real game under Xvfb creates a bowler through
# the wizard and leaves; started again, its bowler list names that bowler (number, first name,
# last initial) and deletes it. Every key is sent only once the trace shows the prompt or item
# that waits for it.
set -euo pipefail
game="$1"

source "$(dirname "$0")/common.sh"

start_xvfb
export AllUsersProfile="$work/profile" ALSOFT_DRIVERS=null
unset SDL_VIDEODRIVER
mkdir -p "$AllUsersProfile"
roster="$AllUsersProfile/Application Data/Strikora/players.qbx"
trace=""

fail() {
  echo "FAIL: $*"
  echo "--- program output"; cat "$work/out.txt" || true
  echo "--- trace"; cat "$trace" || true
  exit 1
}

# Waits until at least $2 (default 1) trace lines match the regular expression $1, and the menu
# has finished speaking: the last line is the music coming back up after a clip.
wait_for() {
  local pattern="$1" count="${2:-1}"
  for _ in $(seq 1 1500); do
    if [ "$(grep -cP -- "$pattern" "$trace" 2>/dev/null || true)" -ge "$count" ] &&
      tail -1 "$trace" | grep -qP "\tvolume\tBackgroundBuffer\t-500$"; then
      sleep 0.2
      tail -1 "$trace" | grep -qP "\tvolume\tBackgroundBuffer\t-500$" && return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "the game ended while waiting for $pattern"
    sleep 0.1
  done
  fail "never heard $pattern ($count)"
}
press() { xdotool key --window "$window" "$@"; }

start_game() {
  trace="$work/$1.tsv"
  STRIKORA_TRACE="$trace" "$game" >"$work/out.txt" 2>&1 &
  pid=$!
  wait_for "/lgb\.wav\t"
  window="$(xdotool search --sync --name "Main Menu:" | head -1)"
}

leave_game() {
  press Escape
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end after Escape"
  local status=0
  wait "$pid" || status=$?
  pid=0
  [ "$status" -eq 0 ] || fail "exit status $status"
  if grep -qP "\t(fail|error)\t" "$trace"; then fail "a clip failed or an error was logged"; fi
}

# First run: create a bowler with a name from the list, last initial Z, female, left-handed.
start_game first
press Down;   wait_for "/create\.wav\t"
press Return; wait_for "/uai\.wav\t"
press Down;   wait_for "/uafn\.wav\t"
press Return; wait_for "\tSpeechBuffer\t.*/names/fn[0-9]+\.wav\t"
name="$(grep -oP "\tSpeechBuffer\t.*/names/\Kfn[0-9]+\.wav" "$trace" | head -1)"
press Return; wait_for "/initials/A\.wav\t"
press Up;     wait_for "/initials/Z\.wav\t"
press Return; wait_for "/male\.wav\t"
press Down;   wait_for "/female\.wav\t"
press Return; wait_for "/lefty\.wav\t"
press Return; wait_for "/psao\.wav\t" 2
grep -P "\tSpeechBuffer\t" "$trace" | grep -qP "/hello\.wav\t" || fail "no greeting"
leave_game

[ "$(stat -c %s "$roster")" -eq 2054 ] || fail "the roster does not hold one record"
fields="$(head -c 28 "$roster" | od -An -c | tr -s ' ')"
expected="$(printf '%-12s%-12s\377\377\377\377' "$name" "Z.wav" | od -An -c | tr -s ' ')"
[ "$fields" = "$expected" ] || fail "stored as [$fields], not [$expected]"

# Second run: the bowler list names the bowler, then deletes it.
start_game second
press Down Down; wait_for "/vps\.wav\t"
press Return;    wait_for "\tAnnouncerBuffer\t.*/initials/Z\.wav\t"
heard="$(sed -n '/\/vpsmenu\.wav\t/,$p' "$trace" | grep -P "\tplay\t(NumberBuffer|AnnouncerBuffer)\t" |
  cut -f4 | sed 's#.*/##' | tr '\n' ' ')"
[[ "$heard" =~ ^1[fp]?\.wav\ ${name//./\\.}\ Z\.wav\ $ ]] || fail "the list said [$heard]"
press Delete; wait_for "/yesno\.wav\t"
press y;      wait_for "/psao\.wav\t" 2
leave_game
[ ! -s "$roster" ] || fail "the deleted bowler is still in the roster file"
echo "PASS: $name Z.wav created, heard after a restart as number 1, and deleted"
