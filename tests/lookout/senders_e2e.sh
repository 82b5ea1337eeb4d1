#!/bin/bash
# Starts the real server with Lookout (time stamps, senders and two highlight
# rules on, from its settings) on a virtual display and a private bus, from a
# fresh copy of the application folder. A wrenlog-send and a python3-dbus
# client print side by side; every line must carry the name and process id of
# the program that printed it. The screenshot is the README's picture.
# Usage: senders_e2e.sh <application folder> <wrenlog-send> <screenshot to write>
set -euo pipefail
app_source=$1
send=$2
shot=$3
python=/usr/bin/python3
command -v Xvfb >/dev/null && command -v xwd >/dev/null && command -v convert >/dev/null || exit 77
"$python" -c 'import dbus' 2>/dev/null || exit 77

source "$(dirname "$0")/../support/virtual_display.sh"

app="$work/app"
mkdir -p "$app/Plugins/Lookout" "$work/home"
cp "$app_source/wrenlog" "$app_source"/lib*.so* "$app/"
cp "$app_source/Plugins/Lookout/KSLookout.so" "$app/Plugins/Lookout/"
printf '[KSLookout.Lookout]\nTimeStamps=True\nShowSender=True\nRule1=255\tText\tAnyCase\tfail\nRule2=32768\tRegExp\tAnyCase\t(done|ok)$\n' \
  >"$app/Plugins/PluginProperties.ini"
for i in $(seq 1 40); do
  case $((i % 10)) in
    3) echo "send line $i: build step failed" ;;
    7) echo "send line $i: tests ok" ;;
    *) echo "send line $i" ;;
  esac
done >"$work/lines.txt"

cat >"$work/client.py" <<'PY'
import os, sys, dbus
window = dbus.Interface(dbus.SessionBus().get_object("org.wrenlog.Wrenlog", "/GlobalWindow"),
                        "org.wrenlog.GlobalWindow")
with open("/proc/self/comm") as comm:
    me = "%s %d" % (comm.read().strip(), os.getpid())
with open(sys.argv[1], "w") as out:
    out.write(me)
endings = {36: ": upload failed", 38: ": done", 40: ": checks ok"}
for i in range(1, 41):
    window.DebugPrint("python line %d%s" % (i, endings.get(i, "")), -2, True)
PY

cat >"$work/check.py" <<'PY'
import re, sys, dbus
send_pid, python_me = sys.argv[1], open(sys.argv[2]).read()
inspect = dbus.Interface(dbus.SessionBus().get_object("org.wrenlog.Wrenlog", "/Inspect"), "org.wrenlog.Inspect")
text = str(inspect.Window("/GlobalWindow")["Text"])
lines = [line for line in text.split("\r\n") if line]
stamp = r"\d\d:\d\d:\d\d\.\d\d\d "
expect = {"send line": "wrenlog-send " + send_pid, "python line": python_me}
seen = {key: 0 for key in expect}
for line in lines:
    m = re.match("^" + stamp + r"\[([^\]]*)\] (send line|python line) \d+", line)
    if not m:
        sys.exit("line without stamp and sender: %r" % line)
    if m.group(1) != expect[m.group(2)]:
        sys.exit("line %r names %r, not %r" % (line, m.group(1), expect[m.group(2)]))
    seen[m.group(2)] += 1
print("lines per program:", seen)
if seen != {"send line": 40, "python line": 40}:
    sys.exit("lines missing")
PY

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
start_display 800x600
unset QT_QPA_PLATFORM

dbus-run-session -- bash -c '
  set -e
  app=$1 work=$2 send=$3 python=$4 shot=$5
  WRENLOG_TEST_INSPECT=1 "$app/wrenlog" >"$work/wrenlog.out" 2>&1 &
  server=$!
  for i in $(seq 100); do
    gdbus call --session --dest org.wrenlog.Wrenlog --object-path /Inspect \
      --method org.wrenlog.Inspect.Counts >/dev/null 2>&1 && break
    sleep 0.1
  done
  "$send" --show <"$work/lines.txt" &
  send_pid=$!
  "$python" "$work/client.py" "$work/python.me" &
  python_pid=$!
  wait "$send_pid"
  wait "$python_pid"
  status=0
  "$python" "$work/check.py" "$send_pid" "$work/python.me" || status=1
  sleep 1
  xwd -root -silent | convert xwd:- "$shot"
  kill "$server"
  wait "$server" 2>/dev/null || true
  exit $status
' _ "$app" "$work" "$send" "$python" "$shot" </dev/null
