#!/usr/bin/env bash
# Installs what is missing, builds, registers the bus service, starts the debug
# window and prints a short demo into it. Without a display it uses Xvfb and
# saves a screenshot.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${WRENLOG_BUILD_DIR:-$here/build}
app="$build/app"

# The demo itself, run on a display with a session bus.
demo() {
  local send="$app/wrenlog-send"
  "$app/wrenlog" --register
  "$app/wrenlog" &
  for _ in $(seq 1 100); do
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner org.wrenlog.Wrenlog 2>/dev/null | grep -q true && break
    sleep 0.1
  done
  "$send" --show --style title "Wrenlog demo"
  "$send" "A normal line, in black."
  "$send" --style note "A note, in green."
  "$send" --style fail "A failure, in red."
  "$send" --no-newline --colour 0x0080FF "Pieces without a line break: orange, "
  "$send" --no-newline --colour 0xC000C0 "purple, "
  "$send" --colour 0x808000 "teal."
  printf 'Build started\nCompiling 12 files\n' | "$send" --style normal
  # A private window lives as long as its client: this one for a few seconds.
  { printf 'This window belongs to one client\nand closes when that client ends.\n'; sleep "${1:-15}"; } |
    "$send" --private "Demo private window" &
  sleep 2
  # Windows open where the last debug window closed; set this one beside the
  # shared window (a GlobalLibrary call, positions in twips).
  local id
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"Demo private window"/ {print $1; exit}')
  if [ -n "$id" ]; then
    gdbus call --session --dest org.wrenlog.Wrenlog --object-path /GlobalLibrary \
      --method org.wrenlog.GlobalLibrary.FormOnTop false "$((id))" 5400 600 4500 3600 >/dev/null
  fi
}

if [ "${1:-}" = "--inside" ]; then
  shift
  demo "$@"
  exit 0
fi

"$here/scripts/build.sh"
if [ ! -x "$app/wrenlog" ] || [ ! -x "$app/wrenlog-send" ]; then
  echo "The debug window is not built yet; the application folder holds:"
  ls -1 "$app"
  exit 0
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/bus" ]; then
    echo "No session bus: running the demo on a private one (ends with the window)."
    exec dbus-run-session -- bash -c "'$0' --inside 15; wait"
  fi
  "$0" --inside 15
  echo "The debug window is open; the private demo window closes in a few seconds."
  exit 0
fi

echo "No display: running the demo on a virtual display (Xvfb) and taking a screenshot."
shot="$build/wrenlog-demo.png"
display_fifo=$(mktemp -u)
mkfifo "$display_fifo"
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$display_fifo" 2>/dev/null &
xvfb_pid=$!
read -r number <"$display_fifo"
rm -f "$display_fifo"
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY=":$number"
dbus-run-session -- bash -c "
  '$0' --inside 6
  sleep 1
  import -window root '$shot' 2>/dev/null || xwd -root -silent | convert xwd:- '$shot'
  pid=\$(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \\
    --method org.freedesktop.DBus.GetConnectionUnixProcessID org.wrenlog.Wrenlog 2>/dev/null | sed -n 's/.*uint32 \\([0-9]*\\).*/\\1/p')
  wait
  if [ -n \"\$pid\" ]; then kill \"\$pid\" 2>/dev/null || true; fi
" </dev/null
echo "Screenshot: $shot"
