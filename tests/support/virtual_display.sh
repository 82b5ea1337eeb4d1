# Sourced by the end-to-end scripts. Gives them $work, a temporary folder that
# goes (read-only parts included) when the script exits, and start_display
# WIDTHxHEIGHT, which starts Xvfb on a free display number, exports DISPLAY
# and stops the display when the script exits.
work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_display() {
  local fifo="$work/display" number
  mkfifo "$fifo"
  Xvfb -displayfd 5 -screen 0 "$1x24" -nolisten tcp 5>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r number <"$fifo"
  export DISPLAY=":$number"
}
