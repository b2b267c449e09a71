# Sourced by the end-to-end scripts: a scratch folder that goes away with the script, along
# with the game and the X server it started (their pids in $pid and $xvfb).
work="$(mktemp -d)"
cleanup() {
  [ "${pid:-0}" -gt 0 ] && kill "$pid" 2>/dev/null
  [ "${xvfb:-0}" -gt 0 ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A virtual X server on the first free display; it writes the display number when ready.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 1 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
  export DISPLAY=":$(head -1 "$work/display")"
}
