#!/usr/bin/python3
"""What one printed piece costs the client in each of Debian's Python D-Bus libraries.

Sends batches of DebugPrintMany-shaped messages (a(sib)) to the bus daemon itself,
which answers each with an error after reading it whole, so no window is needed:

    dbus-run-session -- /usr/bin/python3 bench/python/compare_dbus_libraries.py

Libraries that are not installed (python3-dbus, -jeepney, -dbus-next, -dbus-fast)
are left out.
"""

import asyncio
import importlib
import resource
import sys
import time

CALLS, PER_CALL = 200, 500
PIECES = [("record number %d of the measurement, a typical log line" % i, -2, True) for i in range(PER_CALL)]
DEST, PATH, INTERFACE, MEMBER = "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.wrenlog.Batch", "DebugPrintMany"


def cpu():
    usage = resource.getrusage(resource.RUSAGE_SELF)
    return usage.ru_utime + usage.ru_stime


def with_dbus_python():
    import dbus
    bus = dbus.SessionBus(private=True)
    for _ in range(CALLS):
        try:
            bus.call_blocking(DEST, PATH, INTERFACE, MEMBER, "a(sib)", (PIECES,))
        except dbus.exceptions.DBusException:
            pass


def with_jeepney():
    from jeepney import DBusAddress, new_method_call
    from jeepney.io.blocking import open_dbus_connection
    connection = open_dbus_connection("SESSION")
    address = DBusAddress(PATH, bus_name=DEST, interface=INTERFACE)
    for _ in range(CALLS):
        connection.send_and_get_reply(new_method_call(address, MEMBER, "a(sib)", (PIECES,)))


def with_asyncio(package):
    aio = __import__(package + ".aio", fromlist=["MessageBus"])
    message_type = __import__(package, fromlist=["Message"]).Message

    async def main():
        bus = await aio.MessageBus().connect()
        body = [[list(piece) for piece in PIECES]]
        for _ in range(CALLS):
            await bus.call(message_type(destination=DEST, path=PATH, interface=INTERFACE, member=MEMBER,
                                        signature="a(sib)", body=body))
    asyncio.run(main())


LIBRARIES = [
    ("python3-dbus", "dbus", with_dbus_python),
    ("python3-jeepney", "jeepney", with_jeepney),
    ("python3-dbus-next", "dbus_next", lambda: with_asyncio("dbus_next")),
    ("python3-dbus-fast", "dbus_fast", lambda: with_asyncio("dbus_fast")),
]


def main():
    pieces = CALLS * PER_CALL
    print("%d pieces in batches of %d" % (pieces, PER_CALL))
    for package, module, run in LIBRARIES:
        try:
            importlib.import_module(module)
        except ImportError:
            print("%-18s not installed" % package)
            continue
        cpu0, wall0 = cpu(), time.perf_counter()
        run()
        cpu1, wall1 = cpu(), time.perf_counter()
        print("%-18s %5.2f us wall, %5.2f us CPU a piece" % (package, (wall1 - wall0) / pieces * 1e6,
                                                             (cpu1 - cpu0) / pieces * 1e6))
    return 0


if __name__ == "__main__":
    sys.exit(main())
