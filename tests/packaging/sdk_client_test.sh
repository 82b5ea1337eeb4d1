#!/bin/bash
# Installs the build into a temporary prefix and builds a ten-line client
# against the installed SDK only (the CMake package, then pkg-config), runs it
# without a server (the library's error reaches the client) and against the
# installed server on a private bus (the text arrives).
# Usage: sdk_client_test.sh <build folder>
set -euo pipefail
build=$1
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log"
pkgconfig=$(dirname "$(find "$prefix/lib" -name wrenlog-client.pc | head -n 1)")
for file in include/wrenlog/GlobalWindow.h include/wrenlog/AutomationError.h include/wrenlog/WrenlogBus.h \
  lib/cmake/WrenlogClient/WrenlogClientConfig.cmake "${pkgconfig#"$prefix"/}/wrenlog-client.pc"; do
  [ -f "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
soname=$(objdump -p "$prefix/lib/wrenlog/libWrenlogClient.so" | awk '/SONAME/ {print $2}')
echo "SONAME: $soname"
[[ $soname == libWrenlogClient.so.[0-9]* ]] || { echo "no versioned SONAME"; exit 1; }

# A library built with the sanitizers needs their runtime loaded first, so a
# client of it is built with them too.
sanitize=
# (Read whole first: grep -q stops reading early, and pipefail then counts
# objdump's broken pipe as a failure.)
needed=$(objdump -p "$prefix/lib/wrenlog/libWrenlogClient.so" | grep NEEDED)
if [[ $needed == *libasan* ]]; then
  sanitize="-fsanitize=address,undefined"
fi

mkdir -p "$work/client"
cat >"$work/client/main.cpp" <<'CPP'
#include "wrenlog/AutomationError.h"
#include "wrenlog/GlobalWindow.h"
#include <QCoreApplication>
#include <cstdio>
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    try { Wrenlog::GlobalWindow().DebugPrint(QStringLiteral("hello from the SDK"), Wrenlog::wlogNote); }
    catch (const AutomationError &error) { std::printf("error %d\n", error.number()); return 1; }
    return 0;
}
CPP
cat >"$work/client/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(SdkClient LANGUAGES CXX)
find_package(WrenlogClient 2 REQUIRED)
add_executable(sdk-client main.cpp)
target_link_libraries(sdk-client PRIVATE Wrenlog::Client)
CMAKE
# Nothing of the source or build tree is on any path the client build sees.
cmake -S "$work/client" -B "$work/client-build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$sanitize" >"$work/configure.log" || { cat "$work/configure.log"; exit 1; }
cmake --build "$work/client-build" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
if grep -q -- "$(dirname "$build")" "$work/client-build/CMakeFiles/sdk-client.dir/flags.make" \
  "$work/client-build/build.ninja" 2>/dev/null; then
  echo "the client build used the source tree"; exit 1
fi
PKG_CONFIG_PATH="$pkgconfig" c++ -fPIC $sanitize "$work/client/main.cpp" -o "$work/pc-client" \
  $(PKG_CONFIG_PATH="$pkgconfig" pkg-config --cflags --libs wrenlog-client)

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=offscreen WRENLOG_TEST_INSPECT=1
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- bash -c '
  set -euo pipefail
  work=$1 prefix=$2
  for client in "$work/client-build/sdk-client" "$work/pc-client"; do
    out=$("$client" || true)
    [ "$out" = "error 429" ] || { echo "$client without a server: \"$out\""; exit 1; }
  done
  "$prefix/bin/wrenlog" --automation >"$work/server.log" 2>&1 &
  for _ in $(seq 1 100); do
    gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
      --method org.freedesktop.DBus.NameHasOwner org.wrenlog.Wrenlog | grep -q true && break
    sleep 0.1
  done
  "$work/client-build/sdk-client"
  "$work/pc-client"
  text=$(gdbus call --session --dest org.wrenlog.Wrenlog --object-path /Inspect \
    --method org.wrenlog.Inspect.Window /GlobalWindow)
  [ "$(grep -o "'"'"'Text'"'"': <'"'"'[^'"'"']*" <<<"$text" | grep -o "hello from the SDK" | wc -l)" -eq 2 ] || { echo "the prints did not arrive: $text"; exit 1; }
  kill %1
' _ "$work" "$prefix" </dev/null
echo "SDK client built with CMake and pkg-config, printed through the installed server"
