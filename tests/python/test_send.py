"""wrenlog-send's command, follow and journal modes against the real server."""

import json
import os
import re
import signal
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

import dbus

from conftest import SERVICE, wait_for

RED, GREEN, BLACK = 0x0000FF, 0x008000, 0x000000
ORANGE, GREY = 0x0080FF, 0x808080


def private_windows(desktop):
    """Paths of the private windows alive now."""
    try:
        xml = desktop.bus.call_blocking(SERVICE, "/PrivateWindow", "org.freedesktop.DBus.Introspectable",
                                        "Introspect", "", ())
    except dbus.exceptions.DBusException:
        return []  # the node is there while a private window is
    return ["/PrivateWindow/" + n.get("name") for n in ET.fromstring(xml).findall("node")]


def window_titled(desktop, title, timeout=20):
    found = []

    def look():
        found[:] = [p for p in private_windows(desktop) if desktop.inspect(p).get("Title") == title]
        return bool(found)

    assert wait_for(look, timeout), "no private window titled %r" % title
    return found[0]


def start(desktop, *args, **kwargs):
    return subprocess.Popen([desktop.send_program, *args], env=desktop.env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, **kwargs)


HELD_COMMAND = r"""
import os, sys, time
out, err = sys.stdout.buffer, sys.stderr.buffer
out.write(b"out one\n"); out.flush(); time.sleep(0.3)
err.write(b"err one\n"); err.flush(); time.sleep(0.3)
out.write(b"bad \xff byte, then \x00 and the rest\n"); out.flush(); time.sleep(0.3)
err.write(b"err two\r\n"); err.flush(); time.sleep(0.3)
out.write(b"last line without a break"); out.flush()
while not os.path.exists(sys.argv[1]):
    time.sleep(0.05)
sys.exit(3)
"""


def test_command_output_styles_order_title_and_status(desktop, tmp_path):
    hold = str(tmp_path / "release")
    command = [sys.executable, "-c", HELD_COMMAND, hold]
    process = start(desktop, "--", *command)
    try:
        path = window_titled(desktop, " ".join(command))
        expected = [(BLACK, "out one\n"), (RED, "err one\n"),
                    (BLACK, "bad \ufffd byte, then \ufffd and the rest\n"), (RED, "err two\n")]
        assert wait_for(lambda: desktop.runs(path) == expected), desktop.runs(path)
    finally:
        open(hold, "w").close()
    out, err = process.communicate(timeout=30)
    assert process.returncode == 3, err
    assert out == b"" and err == b""
    # The window lives as long as the command does.
    assert not desktop.inspect(path)["Loaded"]


def test_command_last_line_and_named_window(desktop, tmp_path):
    hold = str(tmp_path / "release")
    process = start(desktop, "--private", "Build", "--style", "note", "--", "sh", "-c",
                    'printf "one\\ntwo"; while [ ! -e "$0" ]; do sleep 0.05; done', hold)
    try:
        path = window_titled(desktop, "Build")
        assert wait_for(lambda: desktop.runs(path) == [(GREEN, "one\n")])
    finally:
        open(hold, "w").close()
    # The unfinished last line arrives when the command ends.
    assert process.wait(30) == 0


def test_command_signals_and_failures(desktop):
    # A signal another process sends to wrenlog-send goes on to the command,
    # whose death by it comes back as 128 + N.
    for sig in (signal.SIGINT, signal.SIGTERM):
        process = start(desktop, "--", "sh", "-c", "echo started; exec sleep 30")
        path = window_titled(desktop, "sh -c echo started; exec sleep 30")
        assert wait_for(lambda: desktop.text(path) == "started\r\n")
        process.send_signal(sig)
        assert process.wait(10) == 128 + sig
    # A command that cannot be started: 127 and a clear word, no window left behind.
    before = private_windows(desktop)
    done = desktop.send("--", "/no/such/program", "x")
    assert done.returncode == 127
    assert done.stderr.decode() == "wrenlog-send: cannot run '/no/such/program': No such file or directory\n"
    assert private_windows(desktop) == before
    # The exit status comes through untouched.
    assert desktop.send("--", "sh", "-c", "exit 42").returncode == 42
    assert desktop.send("--", "sh", "-c", "kill -KILL $$").returncode == 128 + 9


def test_command_output_survives_a_lost_window(desktop, tmp_path):
    hold = str(tmp_path / "release")
    script = 'echo before; while [ ! -e "$0" ]; do sleep 0.05; done; echo after; echo problem >&2; exit 5'
    process = start(desktop, "--private", "Doomed", "--", "sh", "-c", script, hold)
    path = window_titled(desktop, "Doomed")
    assert wait_for(lambda: desktop.text(path) == "before\r\n")
    desktop.stop_server()
    open(hold, "w").close()
    out, err = process.communicate(timeout=30)
    # The command ran to its end and its output went to the terminal instead.
    assert process.returncode == 5
    assert out == b"after\n"
    # Qt D-Bus may add warnings of its own about the vanished server after it.
    assert "the rest goes to this terminal\nproblem\n" in err.decode(), err


def test_follow_like_tail_F(desktop, tmp_path):
    log = tmp_path / "app.log"
    log.write_bytes(b"old content is not shown\n")
    process = start(desktop, "--private", "app.log", "--follow", str(log))
    try:
        path = window_titled(desktop, "app.log")
        text = lambda: desktop.text(path)  # noqa: E731
        with open(log, "ab") as f:
            f.write(b"one\ntw")
            f.flush()
            assert wait_for(lambda: text() == "one\r\n")
            f.write(b"o\n")
            f.flush()
            assert wait_for(lambda: text() == "one\r\ntwo\r\n")
            # rotation: the old file is read to its end, then the new one from its start
            os.rename(log, str(log) + ".1")
            f.write(b"old tail\n")
            f.flush()
        log.write_bytes(b"new one\n")
        assert wait_for(lambda: text().endswith("two\r\nold tail\r\nnew one\r\n")), text()
        # truncation: from the top again
        log.write_bytes(b"trunc\n")
        assert wait_for(lambda: text().endswith("new one\r\ntrunc\r\n")), text()
        # gone, then back
        log.unlink()
        time.sleep(0.3)
        log.write_bytes(b"back again \xfe\n")
        assert wait_for(lambda: text().endswith("trunc\r\nback again \ufffd\r\n")), text()
    finally:
        process.send_signal(signal.SIGTERM)
    out, err = process.communicate(timeout=10)
    assert process.returncode == 0
    assert "was truncated" in err.decode() and "has gone; waiting for it" in err.decode()


def test_follow_waits_for_a_missing_file_and_refuses_a_directory(desktop, tmp_path):
    log = tmp_path / "later.log"
    process = start(desktop, "--private", "later", "--follow", str(log))
    try:
        path = window_titled(desktop, "later")
        time.sleep(0.3)
        log.write_bytes(b"first line of a new file\n")
        assert wait_for(lambda: desktop.text(path) == "first line of a new file\r\n")
    finally:
        process.send_signal(signal.SIGINT)
    assert process.wait(10) == 0
    done = desktop.send("--follow", str(tmp_path))
    assert done.returncode == 1
    assert done.stderr.decode() == "wrenlog-send: '%s' is a directory\n" % tmp_path


def entry(message, priority=None, identifier="app", **more):
    fields = {"MESSAGE": message, "SYSLOG_IDENTIFIER": identifier, **more}
    if priority is not None:
        fields["PRIORITY"] = str(priority)
    return json.dumps(fields)


def test_journal_lines(desktop):
    marker = "journal marker %d" % os.getpid()
    assert desktop.send(marker).returncode == 0
    stamp = 1765000000123456  # microseconds
    local = time.strftime("%H:%M:%S", time.localtime(stamp // 1000000)) + ".123 "
    lines = [
        entry("disk on fire", 2),
        entry("error", 3),
        entry("careful", 4),
        entry("notice", 5),
        entry("info", 6),
        entry("chatter", 7),
        entry("no priority", identifier=""),
        entry([104, 105, 255, 33], 6),  # not UTF-8: the journal sends the bytes
        "this is { not json",
        "[1, 2]",
        entry("stamped", 6, __REALTIME_TIMESTAMP=str(stamp)),
    ]
    done = desktop.send("--journal", "--timestamps", input=("\n".join(lines) + "\n").encode())
    assert done.returncode == 0, done.stderr
    text = desktop.text()
    text = text[text.rindex(marker) + len(marker) + 2:]
    got = text.split("\r\n")
    assert len(got) == len(lines) + 1
    stamped = [line[13:] for line in got[:-1]]
    assert stamped == ["app: disk on fire", "app: error", "app: careful", "app: notice", "app: info", "app: chatter",
                       "no priority", "app: hi\ufffd!", "this is { not json", "[1, 2]", "app: stamped"]
    assert all(re.fullmatch(r"\d\d:\d\d:\d\d\.\d\d\d ", line[:13]) for line in got[:-1])
    assert got[-2] == local + "app: stamped"
    runs = desktop.runs()
    tail = "".join(t for _, t in runs)
    assert tail.endswith(text.replace("\r\n", "\n"))
    colours = []
    for colour, run_text in runs:
        colours += [colour] * run_text.count("\n")
    assert colours[-len(lines):] == [RED, RED, ORANGE, BLACK, BLACK, GREY, BLACK, BLACK, BLACK, BLACK, BLACK]


def test_journal_from_a_remote_pipe(desktop, tmp_path):
    # What `ssh HOST journalctl -f -o json | wrenlog-send --journal --private HOST` does,
    # with a local writer in place of ssh.
    hold = str(tmp_path / "release")
    writer = ("import json, os, sys, time\n"
              "print(json.dumps({'MESSAGE': 'Started session', 'SYSLOG_IDENTIFIER': 'systemd', 'PRIORITY': '6'}), flush=True)\n"
              "print(json.dumps({'MESSAGE': 'Failed password', 'SYSLOG_IDENTIFIER': 'sshd', 'PRIORITY': '3'}), flush=True)\n"
              "while not os.path.exists(sys.argv[1]): time.sleep(0.05)\n")
    shell = '"$0" -c "$1" "$2" | "$3" --journal --private buildhost'
    process = subprocess.Popen(["sh", "-c", shell, sys.executable, writer, hold, desktop.send_program],
                               env=desktop.env)
    try:
        path = window_titled(desktop, "buildhost")
        assert wait_for(lambda: desktop.runs(path) == [(BLACK, "systemd: Started session\n"),
                                                       (RED, "sshd: Failed password\n")]), desktop.runs(path)
    finally:
        open(hold, "w").close()
    assert process.wait(30) == 0


def test_plain_lines_keep_what_follows_bad_bytes(desktop):
    marker = "bytes marker %d" % os.getpid()
    done = desktop.send(input=marker.encode() + b"\nnul\x00here\nbad \xc3\x28 pair\n\xff")
    assert done.returncode == 0, done.stderr
    text = desktop.text()
    assert text[text.rindex(marker):] == marker + "\r\nnul\ufffdhere\r\nbad \ufffd( pair\r\n\ufffd\r\n"
    done = desktop.send("--timestamps", "stamped", "text")
    assert re.search(r"\r\n\d\d:\d\d:\d\d\.\d\d\d stamped text\r\n$", desktop.text())
    # a wrong command line
    assert desktop.send("--follow", "x", "--", "true").returncode == 2
    assert desktop.send("--").returncode == 2


def test_lines_keep_their_order_when_they_start_the_server(desktop):
    # The first batch starts the server; batches that arrive while it starts
    # must not overtake it.
    desktop.stop_server()
    lines = b"".join(b"line %d\n" % i for i in range(1000))
    done = desktop.send(input=lines)
    assert done.returncode == 0, done.stderr
    assert desktop.text() == lines.decode().replace("\n", "\r\n")
