#!/bin/bash
# Builds the Debian package from the finished build, checks what it holds,
# unpacks it into a temporary root and runs the unpacked server there under
# Xvfb on a private bus, started by the bus for the unpacked wrenlog-send,
# with the unpacked folder read-only: error.log, PluginProperties.ini and a
# note must land under a temporary XDG_DATA_HOME. Then the desktop entry,
# the metainfo and lintian have their say.
# Usage: package_test.sh <source folder> <build folder> <PackageCheck.so>
set -euo pipefail
source_dir=$1
build=$2
check_plugin=$3
for tool in dpkg-deb Xvfb dbus-run-session desktop-file-validate appstreamcli lintian; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 77; }
done

source "$(dirname "$0")/../support/virtual_display.sh"
fail() { echo "FAILED: $*"; exit 1; }

deb=$(WRENLOG_BUILD_DIR="$build" "$source_dir/scripts/package.sh" --no-build | tail -n 1)
echo "package: $deb"
version=$(sed -n 's/^project(Wrenlog VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
[ "$(basename "$deb")" = "wrenlog_${version}_$(dpkg --print-architecture).deb" ] || fail "package name $(basename "$deb")"

# ---- What the package holds ------------------------------------------------
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' >"$work/contents"
expected=(
  /usr/bin/wrenlog /usr/bin/wrenlog-send
  /usr/lib/wrenlog/wrenlog /usr/lib/wrenlog/wrenlog-send /usr/lib/wrenlog/wrenlog.installed
  /usr/lib/wrenlog/libWrenlogCore.so /usr/lib/wrenlog/libWrenlogDesktop.so
  /usr/lib/wrenlog/libLedgerix2.so.2 /usr/lib/wrenlog/libWrenlogAutomation.so.2
  /usr/lib/wrenlog/libWrenlogClient.so /usr/lib/wrenlog/libWrenlogClient.so.2
  /usr/lib/wrenlog/Plugins/Chorescan/KSChorescan.so
  /usr/lib/wrenlog/Plugins/Tackpad/wrenkit1.so /usr/lib/wrenlog/Plugins/Tackpad/Files
  /usr/lib/wrenlog/Plugins/Lookout/KSLookout.so
  /usr/share/dbus-1/services/org.wrenlog.Wrenlog.service
  /usr/share/applications/org.wrenlog.Wrenlog.desktop
  /usr/share/icons/hicolor/scalable/apps/org.wrenlog.Wrenlog.svg
  /usr/share/metainfo/org.wrenlog.Wrenlog.metainfo.xml
  /usr/share/man/man1/wrenlog.1.gz /usr/share/man/man1/wrenlog-send.1.gz
  /usr/share/doc/wrenlog/copyright /usr/share/doc/wrenlog/changelog.gz
  /usr/include/wrenlog/GlobalWindow.h /usr/include/wrenlog/PrivateWindow.h /usr/include/wrenlog/AutomationError.h
  /usr/lib/cmake/WrenlogClient/WrenlogClientConfig.cmake "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/pkgconfig/wrenlog-client.pc"
)
python_package=
if [ -d "$source_dir/client/python/wrenlog" ]; then
  python_package=/usr/lib/python3/dist-packages/wrenlog
  expected+=("$python_package/__init__.py")
fi
echo "${#expected[@]} files expected"
for file in "${expected[@]}"; do
  grep -qx -- "$file" "$work/contents" || fail "$file is not in the package"
done
# Nothing outside the places above, and nothing a run or a test leaves behind.
if grep -v -E '^/usr(/bin(/wrenlog(-send)?)?|/lib(/wrenlog(/.*)?|/cmake(/WrenlogClient(/.*)?)?|(/[a-z0-9_]+-linux-gnu[a-z0-9_]*)?(/pkgconfig(/wrenlog-client\.pc)?)?|/python3(/.*)?)?|/include(/wrenlog(/.*)?)?|/share(/(dbus-1|applications|icons|metainfo|man|doc)(/.*)?)?)?$|^/?$' \
  "$work/contents"; then
  # A component's own install() rule puts its files there: packaging/ installs
  # everything the build puts into the application folder, a plug-in needs no rule.
  fail "unexpected files in the package (above): drop the install() rule that puts them there"
fi
if grep -i -E 'error\.log|PluginProperties\.ini|\.Tackpad$|pluginhost-plugins|/tests?/|CMakeFiles' "$work/contents"; then
  fail "files of a run or of the build tree in the package (above)"
fi

# ---- Unpacked into a temporary root, read-only ------------------------------
root="$work/root"
dpkg-deb -x "$deb" "$root"
if grep -rl --binary-files=text -F -- "$build" "$root" >/dev/null; then
  grep -rl --binary-files=text -F -- "$build" "$root"
  fail "installed files name the build folder (above)"
fi
grep -qx 'Exec=/usr/lib/wrenlog/wrenlog --automation' "$root/usr/share/dbus-1/services/org.wrenlog.Wrenlog.service" ||
  fail "the bus service does not start the installed server"
chmod -R a-w "$root/usr/lib/wrenlog"
touch "$work/before-run"
sleep 1

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" WRENLOG_TEST_INSPECT=1
unset QT_QPA_PLATFORM
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
user="$XDG_DATA_HOME/wrenlog"
# The bus starts the unpacked server through the package's own service file,
# moved from /usr to the temporary root; the user's choice from an earlier
# session starts the note plug-in; the package check's plug-in is the user's.
mkdir -p "$XDG_DATA_HOME/dbus-1/services" "$user/Plugins/PackageCheck"
sed "s|^Exec=/usr/|Exec=$root/usr/|" "$root/usr/share/dbus-1/services/org.wrenlog.Wrenlog.service" \
  >"$XDG_DATA_HOME/dbus-1/services/org.wrenlog.Wrenlog.service"
printf '[StartUp]\nwrenkit1.Tackpad=True\n' >"$user/Plugins/PluginProperties.ini"
cp "$check_plugin" "$user/Plugins/PackageCheck/"

start_display 1280x800

dbus-run-session -- bash -c '
  set -euo pipefail
  root=$1 user=$2 python_package=$3
  fail() { echo "FAILED: $*"; exit 1; }
  waitFor() { for _ in $(seq 1 150); do [ -n "$(find "$@" 2>/dev/null)" ] && return 0; sleep 0.2; done; return 1; }
  inspect() { gdbus call --session --dest org.wrenlog.Wrenlog --object-path /Inspect --method "org.wrenlog.Inspect.$1" "${@:2}"; }

  "$root/usr/bin/wrenlog-send" --show "hello from the package" || fail "wrenlog-send could not print"
  inspect Window /GlobalWindow | grep -q "hello from the package" || fail "the print is not in the window"

  if [ -n "$python_package" ]; then
    # The Python of the system, whose path the package installs into.
    PYTHONPATH="$root$(dirname "$python_package")" /usr/bin/python3 -c "import wrenlog; wrenlog.print(\"hello from Python\")" ||
      fail "the installed Python package could not print"
    inspect Window /GlobalWindow | grep -q "hello from Python" || fail "the Python print is not in the window"
  fi

  "$root/usr/bin/wrenlog-send" "package-check: error report"
  waitFor "$user/error.log" || fail "no error.log under the data folder"
  grep -q "PackageCheck.errorReport" "$user/error.log" || fail "error.log without the report"

  "$root/usr/bin/wrenlog-send" "package-check: new note"
  waitFor "$user/Plugins/Tackpad/Files" -name "*.Tackpad" || fail "no note under the data folder"
  for _ in $(seq 1 150); do grep -q "^NoteMade=True" "$user/Plugins/PluginProperties.ini" && break; sleep 0.2; done
  grep -q "^NoteMade=True" "$user/Plugins/PluginProperties.ini" || fail "the new-note click did not return"

  owned() {
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner org.wrenlog.Wrenlog | grep -q "$1"
  }
  closeAndWait() {
    inspect CloseWindow /GlobalWindow | grep -q true || fail "the window did not close"
    for _ in $(seq 1 100); do owned false && return 0; sleep 0.2; done
    fail "the server did not end after its window closed"
  }
  closeAndWait

  # The menu entry: its command, from the unpacked bin folder, opens the window.
  exec=$(sed -n "s/^Exec=//p" "$root/usr/share/applications/org.wrenlog.Wrenlog.desktop")
  [ "$exec" = wrenlog ] || fail "the desktop entry runs \"$exec\""
  "$root/usr/bin/$exec" >"$user/../menu-start.log" 2>&1 &
  # A call to the name before the program owns it would make the bus start
  # another copy for it; the window shows once the plug-ins have started.
  for _ in $(seq 1 100); do owned true && break; sleep 0.1; done
  shown=
  for _ in $(seq 1 100); do
    inspect Window /GlobalWindow 2>/dev/null | grep -q "'"'"'Visible'"'"': <true>" && { shown=1; break; }
    sleep 0.2
  done
  [ -n "$shown" ] || fail "the menu entry opened no window: $(inspect Window /GlobalWindow 2>&1; cat "$user/../menu-start.log")"
  closeAndWait
' _ "$root" "$user" "$python_package" </dev/null

ini="$user/Plugins/PluginProperties.ini"
grep -q '^\[WLPackageCheck.PackageCheck\]' "$ini" && grep -q '^Loaded=True' "$ini" ||
  fail "the user's plug-in did not write its setting: $(cat "$ini")"
grep -q '^\[wrenkit1.Tackpad\]' "$ini" && grep -q '^Expanded=' "$ini" ||
  fail "the note plug-in did not save its settings on quit: $(cat "$ini")"
if [ -n "$(find "$root" -newer "$work/before-run" -print -quit)" ]; then
  find "$root" -newer "$work/before-run"
  fail "the run wrote into the unpacked folder (above)"
fi
echo "run: print, error.log, PluginProperties.ini and a note under the data folder; unpacked folder untouched"

# ---- Desktop entry, metainfo, lintian ---------------------------------------
desktop-file-validate "$root/usr/share/applications/org.wrenlog.Wrenlog.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.wrenlog.Wrenlog.metainfo.xml"
# Tags that do not apply to a package built from the project's own tree are
# listed in the project's lintian overrides; anything else fails the test.
lintian --tag-display-limit 0 --suppress-tags-from-file "$source_dir/packaging/lintian-suppressed" "$deb" |
  tee "$work/lintian"
if grep -E '^[EW]:' "$work/lintian"; then
  fail "lintian errors or warnings (above)"
fi
echo "package checked"
