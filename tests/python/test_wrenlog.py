"""The Python package against the real server on a private bus."""

import logging
import os
import select
import signal
import subprocess
import sys
import textwrap

import pytest

import wrenlog
from conftest import wait_for

RED, GREEN, BLUE, BLACK = 0x0000FF, 0x008000, 0xFF0000, 0x000000


def python(desktop, code, **kwargs):
    """Runs code in a fresh interpreter of this desktop, with the package on its path."""
    env = dict(desktop.env)
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    return subprocess.Popen([sys.executable, "-c", textwrap.dedent(code)], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True, **kwargs)


def read_line(process, timeout=30):
    """The child's next output line; fails instead of hanging when none comes."""
    ready, _, _ = select.select([process.stdout], [], [], timeout)
    assert ready, "the child said nothing for %d s" % timeout
    return process.stdout.readline().strip()


def finish(process, timeout=60):
    out, err = process.communicate(timeout=timeout)
    return process.returncode, out, err


def test_print_styles_and_line_breaks(desktop):
    before = desktop.text()
    wrenlog.print("Title ", wrenlog.TITLE, newline=False)
    wrenlog.print("plain")
    wrenlog.print("fail", wrenlog.FAIL)
    wrenlog.print("note", wrenlog.NOTE)
    wrenlog.print("teal", 0x808000)
    wrenlog.print_many([("a", wrenlog.FAIL, False), ("b", wrenlog.NOTE, True)])
    assert desktop.text() == before + "Title plain\r\nfail\r\nnote\r\nteal\r\nab\r\n"
    runs = [r for r in desktop.runs() if r[1].strip()]
    assert runs[-7:] == [(BLUE, "Title "), (BLACK, "plain\n"), (RED, "fail\n"), (GREEN, "note\n"),
                         (0x808000, "teal\n"), (RED, "a"), (GREEN, "b\n")]


def test_private_window_lives_with_the_block_and_the_process(desktop):
    with wrenlog.PrivateWindow("From pytest") as window:
        window.print("inside", wrenlog.NOTE)
        state = desktop.inspect(window.path)
        assert state["Title"] == "From pytest" and state["Visible"]
        assert desktop.text(window.path) == "inside\r\n"
        window.clear()
        assert desktop.text(window.path) == ""
        path = window.path
    assert not desktop.inspect(path)["Loaded"]
    with pytest.raises(wrenlog.Error) as caught:
        window.print("after release")
    assert caught.value.number == 91
    window.release()  # a second release does nothing

    # An exception in the block releases the window and goes on unchanged.
    with pytest.raises(KeyError):
        with wrenlog.PrivateWindow("Short") as window:
            path = window.path
            raise KeyError("x")
    assert not desktop.inspect(path)["Loaded"]

    # A process that dies without a word loses its window too.
    child = python(desktop, """
        import sys, time, wrenlog
        window = wrenlog.PrivateWindow("Doomed")
        print(window.path, flush=True)
        time.sleep(60)
    """)
    path = read_line(child)
    assert path.startswith("/PrivateWindow/")
    assert desktop.inspect(path)["Loaded"]
    child.send_signal(signal.SIGKILL)
    child.wait(10)
    assert wait_for(lambda: not desktop.inspect(path)["Loaded"])


def test_no_bus_is_error_429_and_logging_goes_on(desktop):
    env = dict(desktop.env)
    env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(desktop.root, "no-such-bus")
    env["PYTHONPATH"] = os.pathsep.join(p for p in sys.path if p)
    code = textwrap.dedent("""
        import logging, wrenlog
        try:
            wrenlog.print("x")
        except wrenlog.Error as e:
            print("print:", e.number, e.description.startswith("Cannot reach the debug window"))
        log = logging.getLogger("t")
        log.addHandler(wrenlog.Handler())
        for i in range(2000):
            log.warning("record %d", i)
        log.handlers[0].flush()
        log.warning("one more")
        print("went on")
    """)
    done = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)
    assert done.returncode == 0, done.stderr
    assert done.stdout.splitlines() == ["print: 429 True", "went on"]
    # logging's own report, once for the whole outage rather than once a batch
    assert done.stderr.count("--- Logging error ---") == 1, done.stderr


def test_handler_styles_order_and_bad_records(desktop):
    log = logging.getLogger("styles")
    log.setLevel(logging.DEBUG)
    log.propagate = False
    handler = wrenlog.Handler(window="Logging", styles={logging.INFO: wrenlog.NOTE})
    handler.setFormatter(logging.Formatter("%(levelname)s %(message)s"))
    log.addHandler(handler)
    errors = []
    handler.handleError = lambda record: errors.append(record.msg)
    try:
        log.debug("d")
        log.info("i")
        log.log(25, "between")  # takes the style of INFO, the next level below
        log.warning("w")
        log.error("e")
        log.info("%d items", "many")  # formatting raises
        log.critical("c")
        log.info("nul\0 and half a pair \ud800")  # not for the bus as they are
        log.info("after them")
        handler.flush()
        path = handler._path
        assert desktop.inspect(path)["Title"] == "Logging"
        assert desktop.runs(path) == [
            (0x808080, "DEBUG d\n"),
            (GREEN, "INFO i\nLevel 25 between\n"),
            (wrenlog.ORANGE, "WARNING w\n"),
            (RED, "ERROR e\nCRITICAL c\n"),
            (GREEN, "INFO nul\ufffd and half a pair ?\nINFO after them\n"),
        ]
        assert errors == ["%d items"]
    finally:
        log.removeHandler(handler)
        handler.close()
    # the handler's own window goes with it
    assert not desktop.inspect(path)["Loaded"]


def test_handler_never_waits_and_delivers_everything_at_exit(desktop):
    marker = "-- exit test %d --" % os.getpid()
    wrenlog.print(marker)
    child = python(desktop, """
        import logging, sys, time, wrenlog
        logging.basicConfig(level=logging.INFO, format="%(message)s", handlers=[wrenlog.Handler()])
        logging.info("first")
        logging.getLogger().handlers[0].flush()
        print("ready", flush=True)
        sys.stdin.readline()
        start = time.monotonic()
        for i in range(20000):
            logging.info("record %d", i)
        print("%.3f" % (time.monotonic() - start), flush=True)
        # no flush, no close: logging's own shutdown at exit delivers the rest
    """, stdin=subprocess.PIPE)
    assert read_line(child) == "ready"
    pid = desktop.server_pid()
    os.kill(pid, signal.SIGSTOP)  # a window that does not answer
    try:
        child.stdin.write("go\n")
        child.stdin.flush()
        seconds = float(read_line(child))
    finally:
        os.kill(pid, signal.SIGCONT)
    # Logging went on at full speed while the window stood still.
    assert seconds < 5
    code, out, err = finish(child)
    assert code == 0 and "Logging error" not in err, err
    text = desktop.text()
    assert text[text.rindex(marker):] == marker + "\r\nfirst\r\n" + "".join("record %d\r\n" % i for i in range(20000))
