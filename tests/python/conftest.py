"""A desktop of the tests' own: a private session bus that starts the real
server (offscreen, with its test view /Inspect) when a client first calls it,
and temporary folders for everything the server writes.

CTest passes the programs in WRENLOG_EXE and WRENLOG_SEND_EXE.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

import dbus
import pytest

SERVICE = "org.wrenlog.Wrenlog"

BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir={runtime}</listen>
  <servicedir>{services}</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class Desktop:
    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="wrenlog-py-")
        self.wrenlog = os.environ["WRENLOG_EXE"]
        self.send_program = os.environ["WRENLOG_SEND_EXE"]
        env = dict(os.environ)
        for name in ("config", "data", "home", "runtime"):
            os.makedirs(os.path.join(self.root, name), mode=0o700)
            env["XDG_%s_HOME" % name.upper()] = os.path.join(self.root, name)
        env["HOME"] = os.path.join(self.root, "home")
        env["XDG_RUNTIME_DIR"] = os.path.join(self.root, "runtime")
        env["QT_QPA_PLATFORM"] = "offscreen"
        env["WRENLOG_TEST_INSPECT"] = "1"
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("XDG_RUNTIME_HOME", None)
        self.env = env
        subprocess.run([self.wrenlog, "--register"], env=env, check=True, timeout=60)
        config = os.path.join(self.root, "bus.conf")
        with open(config, "w") as f:
            f.write(BUS_CONFIG.format(runtime=env["XDG_RUNTIME_DIR"],
                                      services=os.path.join(env["XDG_DATA_HOME"], "dbus-1", "services")))
        self.daemon = subprocess.Popen(["dbus-daemon", "--nofork", "--print-address=1", "--config-file=" + config],
                                       env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        assert self.address, "dbus-daemon gave no address"
        env["DBUS_SESSION_BUS_ADDRESS"] = self.address
        self.bus = dbus.bus.BusConnection(self.address)

    def inspect(self, path="/GlobalWindow"):
        proxy = self.bus.get_object(SERVICE, "/Inspect")
        return proxy.Window(path, dbus_interface="org.wrenlog.Inspect", timeout=60)

    def text(self, path="/GlobalWindow"):
        return str(self.inspect(path).get("Text", ""))

    def runs(self, path="/GlobalWindow"):
        """The window's text as (colour, text) runs."""
        result = []
        for run in self.inspect(path).get("Runs", []):
            colour, _, text = str(run).partition("\t")
            result.append((int(colour), text))
        return result

    def counts(self):
        proxy = self.bus.get_object(SERVICE, "/Inspect")
        return proxy.Counts(dbus_interface="org.wrenlog.Inspect", timeout=60)

    def server_pid(self):
        try:
            return int(self.bus.call_blocking("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                              "GetConnectionUnixProcessID", "s", (SERVICE,)))
        except dbus.exceptions.DBusException:
            return 0

    def stop_server(self):
        pid = self.server_pid()
        if pid:
            os.kill(pid, signal.SIGTERM)
            deadline = time.monotonic() + 5
            while self.server_pid() and time.monotonic() < deadline:
                time.sleep(0.05)
            if self.server_pid():
                os.kill(pid, signal.SIGKILL)

    def send(self, *args, input=None, timeout=60, **kwargs):
        """Runs wrenlog-send on this desktop; returns the finished process."""
        return subprocess.run([self.send_program, *args], env=self.env, input=input, capture_output=True,
                              timeout=timeout, **kwargs)

    def close(self):
        self.stop_server()
        self.bus.close()
        self.daemon.terminate()
        self.daemon.wait(10)
        shutil.rmtree(self.root, ignore_errors=True)


def wait_for(predicate, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if predicate():
            return True
        time.sleep(0.05)
    return predicate()


@pytest.fixture(scope="session")
def desktop():
    desk = Desktop()
    # The package under test connects to the session bus of this desktop.
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = desk.address
    yield desk
    desk.close()


@pytest.fixture
def window(desktop):
    """A private window of the test's own on the real server, shown, and its path."""
    factory = desktop.bus.get_object(SERVICE, "/PrivateWindows")
    path = str(factory.Create(dbus_interface="org.wrenlog.PrivateWindowFactory"))
    yield path
    try:
        desktop.bus.get_object(SERVICE, path).Release(dbus_interface="org.wrenlog.PrivateWindow")
    except dbus.exceptions.DBusException:
        pass
