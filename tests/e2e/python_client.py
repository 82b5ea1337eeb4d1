#!/usr/bin/python3
"""An independent client (python3-dbus) checking the server's bus interface.

Run by the end-to-end test on its private bus; prints what it checks and ends
with a non-zero status on the first mismatch.
"""

import sys
import xml.etree.ElementTree as ET

import dbus

SERVICE = "org.wrenlog.Wrenlog"

EXPECTED = {
    "/GlobalWindow": {
        "org.wrenlog.GlobalWindow": {
            "DebugPrint": (["s", "i", "b"], []),
            "DebugShow": (["s"], []),
        },
        "org.wrenlog.Batch": {"DebugPrintMany": (["a(sib)"], [])},
    },
    "/GlobalLibrary": {
        "org.wrenlog.GlobalLibrary": {
            "ShowMessage": (["i", "s", "s"], ["i"]),
            "MakeTranslucent": (["t"], []),
            "ClearTranslucency": (["t"], []),
            "FormOnTop": (["b", "t", "i", "i", "i", "i"], []),
        },
    },
    "/PrivateWindows": {
        "org.wrenlog.PrivateWindowFactory": {"Create": ([], ["o"])},
    },
}
PRIVATE_WINDOW = {
    "org.wrenlog.PrivateWindow": {
        "DebugPrint": (["s", "i", "b"], []),
        "DebugShow": (["s"], []),
        "Clear": ([], []),
        "Release": ([], []),
    },
    "org.wrenlog.Batch": {"DebugPrintMany": (["a(sib)"], [])},
}

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def interfaces_of(bus, path):
    xml = bus.get_object(SERVICE, path).Introspect(dbus_interface="org.freedesktop.DBus.Introspectable")
    table = {}
    for interface in ET.fromstring(xml).findall("interface"):
        methods = {}
        for method in interface.findall("method"):
            ins = [a.get("type") for a in method.findall("arg") if a.get("direction", "in") == "in"]
            outs = [a.get("type") for a in method.findall("arg") if a.get("direction") == "out"]
            methods[method.get("name")] = (ins, outs)
        table[interface.get("name")] = methods
    return table


def check_table(bus, path, expected):
    table = interfaces_of(bus, path)
    for interface, methods in expected.items():
        check(table.get(interface) == methods, "%s %s: %s" % (path, interface, table.get(interface)))


def text_of(bus, path):
    inspect = dbus.Interface(bus.get_object(SERVICE, "/Inspect"), "org.wrenlog.Inspect")
    return str(inspect.Window(path).get("Text", ""))


def main():
    bus = dbus.SessionBus()
    window = dbus.Interface(bus.get_object(SERVICE, "/GlobalWindow"), "org.wrenlog.GlobalWindow")
    window.DebugPrint("python says hello", dbus.Int32(-3), True)
    for path, expected in EXPECTED.items():
        check_table(bus, path, expected)

    batch = dbus.Interface(bus.get_object(SERVICE, "/GlobalWindow"), "org.wrenlog.Batch")
    batch.DebugPrintMany(dbus.Array([("a", -1, False), ("b", 255, True), ("c", -2, True)], signature="(sib)"))
    check(text_of(bus, "/GlobalWindow").endswith("python says hello\r\nab\r\nc\r\n"), "batch prints in order")

    factory = dbus.Interface(bus.get_object(SERVICE, "/PrivateWindows"), "org.wrenlog.PrivateWindowFactory")
    path = factory.Create()
    check(str(path).startswith("/PrivateWindow/"), "Create gives a window path: %s" % path)
    check_table(bus, path, PRIVATE_WINDOW)
    private = dbus.Interface(bus.get_object(SERVICE, path), "org.wrenlog.PrivateWindow")
    private.DebugPrint("private line", dbus.Int32(-4), True)
    private.DebugShow("From Python")
    check(text_of(bus, path) == "private line\r\n", "private window holds its own text")
    private.Release()
    try:
        private.Clear()
        check(False, "a released window no longer answers")
    except dbus.exceptions.DBusException as error:
        check(error.get_dbus_name().startswith("org.freedesktop.DBus.Error."),
              "a released window no longer answers: %s" % error.get_dbus_name())

    for name, call in [
        # An explicit signature keeps the proxy from converting the arguments.
        ("wrong type", lambda: window.DebugPrint(dbus.Int32(1), dbus.Int32(2), True, signature="iib")),
        ("too few", lambda: window.DebugPrint("x", signature="s")),
        ("unknown member", lambda: window.Nothing()),
    ]:
        try:
            call()
            check(False, name + " is refused")
        except dbus.exceptions.DBusException as error:
            check(error.get_dbus_name().startswith("org.freedesktop.DBus.Error."),
                  "%s is refused: %s" % (name, error.get_dbus_name()))
    window.DebugPrint("still alive", dbus.Int32(-2), True)
    check(text_of(bus, "/GlobalWindow").endswith("still alive\r\n"), "the server lives on")

    if failures:
        print("python client: %d checks failed" % len(failures))
        return 1
    print("python client: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
