#!/bin/bash
# Starts the real server with the note plug-in on a virtual display, from a
# fresh copy of the application folder, and checks on a screenshot that the
# debug window took the note look and that the note list stands beside it.
# Usage: note_look_e2e.sh <application folder> <screenshot to write>
set -euo pipefail
app_source=$1
shot=$2
command -v Xvfb >/dev/null && command -v xwd >/dev/null && command -v convert >/dev/null || exit 77

source "$(dirname "$0")/../support/virtual_display.sh"

app="$work/app"
mkdir -p "$app/Plugins/Tackpad/Files" "$work/home"
cp "$app_source/wrenlog" "$app_source"/lib*.so* "$app/"
cp "$app_source/Plugins/Tackpad/wrenkit1.so" "$app/Plugins/Tackpad/"
printf '[StartUp]\r\nwrenkit1.Tackpad=True\r\n' >"$app/Plugins/PluginProperties.ini"
printf '{\\rtf1\\ansi Eggs, bread, coffee\\par}' >"$app/Plugins/Tackpad/Files/Shopping.Tackpad"
printf '{\\rtf1\\ansi Call the printer people\\par}' >"$app/Plugins/Tackpad/Files/Notes (06-December-26 09_15).Tackpad"

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
start_display 1280x800
unset QT_QPA_PLATFORM

dbus-run-session -- bash -c '
  "$1/wrenlog" >"$2/wrenlog.out" 2>&1 &
  server=$!
  # The start-up splash stays three seconds; the picture is taken after it.
  sleep 8
  xwd -root -silent | convert xwd:- "$3"
  kill "$server"
  wait "$server" 2>/dev/null || true
' _ "$app" "$work" "$shot" </dev/null

# Pale yellow paper (0xDBFDFB) in the window and in the list, khaki top text (0x79A8B0).
count() { convert "$shot" -crop "$1" +repage -fill black +opaque "$2" -fill white -opaque "$2" \
  -format '%[fx:int(mean*w*h)]' info:; }
paper='rgb(251,253,219)'
khaki='rgb(176,168,121)'
width=$(convert "$shot" -format '%w' info:)
total=$(count "${width}x800+0+0" "$paper")
topText=$(count "${width}x800+0+0" "$khaki")
echo "paper pixels: $total, top text pixels: $topText"
[ "$total" -gt 20000 ] && [ "$topText" -gt 1000 ] || { echo "no note look"; exit 1; }
# The list: a column of paper right of the window's right edge, where the top text ends.
right=$(convert "$shot" -fill black +opaque "$khaki" -fill white -opaque "$khaki" -trim -format '%[fx:page.x+w]' info:)
beside=$(count "$((width - right - 4))x800+$((right + 4))+0" "$paper")
echo "paper pixels right of the window: $beside"
[ "$beside" -gt 5000 ] || { echo "no note list beside the window"; exit 1; }
