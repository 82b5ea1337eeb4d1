"""Print into the Wrenlog debug window from Python.

    import logging, wrenlog

    wrenlog.print("Import started", wrenlog.TITLE)
    with wrenlog.PrivateWindow("Importer") as window:
        window.print("row 17 skipped", wrenlog.FAIL)

    logging.getLogger().addHandler(wrenlog.Handler())
    logging.warning("disk almost full")            # orange, sent in the background

Everything goes over the D-Bus session bus (python3-dbus); the window's
server is started by the bus when it is registered. Calls that fail raise
wrenlog.Error with the number, description and source the server reports
(429 when the window cannot be reached). The logging handler never raises:
it follows logging's convention and calls handleError.
"""

import collections
import logging
import threading
import time

import dbus

__all__ = ["TITLE", "NORMAL", "NOTE", "FAIL", "ORANGE", "GREY", "Error", "print", "show", "PrivateWindow", "Handler"]

# The four named styles; any colour reference 0x00BBGGRR (0 or more) works too.
TITLE = -1
NORMAL = -2
NOTE = -3
FAIL = -4
# Two colours the logging handler uses (0x00BBGGRR: blue in the high byte).
ORANGE = 0x0080FF
GREY = 0x808080

DEFAULT_PRIVATE_TITLE = "Wrenlog ! - Private Window"

_SERVICE = "org.wrenlog.Wrenlog"
_GLOBAL_WINDOW = "/GlobalWindow"
_BATCH = "org.wrenlog.Batch"
_UNREACHABLE = {
    "org.freedesktop.DBus.Error.ServiceUnknown",
    "org.freedesktop.DBus.Error.NameHasNoOwner",
    "org.freedesktop.DBus.Error.NoServer",
    "org.freedesktop.DBus.Error.Disconnected",
    "org.freedesktop.DBus.Error.NoReply",
    "org.freedesktop.DBus.Error.Timeout",
    "org.freedesktop.DBus.Error.TimedOut",
}
# A batch may take long when the window is busy painting; a hung server still ends the wait.
_CALL_TIMEOUT = 120.0
# How long the handler's thread lets records gather after the first one.
_GATHER_SECONDS = 0.05


class Error(Exception):
    """A failure of the debug window: its number, description and source text."""

    def __init__(self, number, description, source=""):
        super().__init__("%s (error %d)" % (description, number))
        self.number = number
        self.description = description
        self.source = source


def _error_from(exception):
    name = exception.get_dbus_name() or ""
    if name == "org.wrenlog.Error":
        args = list(exception.args) + ["", 0, ""]
        return Error(int(args[1]), str(args[0]), str(args[2]))
    message = exception.get_dbus_message() or name
    if name in _UNREACHABLE or name.startswith("org.freedesktop.DBus.Error.Spawn"):
        return Error(429, "Cannot reach the debug window: %s" % message, "wrenlog (Python)")
    return Error(440, "%s: %s" % (name, message), "wrenlog (Python)")


_bus = None
_bus_lock = threading.Lock()


def _connection():
    """The package's own connection to the session bus, made on first use.

    A private connection keeps the package out of the program's own use of
    dbus (main loops, its shared connection). Private windows belong to it and
    close when the process ends, whatever way it ends."""
    global _bus
    with _bus_lock:
        if _bus is None:
            try:
                _bus = dbus.SessionBus(private=True)
            except dbus.exceptions.DBusException as exception:
                raise Error(429, "Cannot reach the debug window: no session bus (%s)"
                            % exception.get_dbus_message(), "wrenlog (Python)") from None
        return _bus


def _call(path, interface, member, signature, args):
    try:
        return _connection().call_blocking(_SERVICE, path, interface, member, signature, args,
                                           timeout=_CALL_TIMEOUT)
    except dbus.exceptions.DBusException as exception:
        raise _error_from(exception) from None


def _bus_text(text):
    """text as the bus can carry it: NUL and unpaired surrogates replaced."""
    return text.replace("\0", "\ufffd").encode("utf-8", "replace").decode("utf-8")


def _pieces(pieces):
    return dbus.Array([(str(text), int(colour), bool(newline)) for text, colour, newline in pieces],
                      signature="(sib)")


def print(text, colour=NORMAL, newline=True):  # noqa: A001 - the package's print, by design
    """Prints text into the shared window, in a style or colour, with a line break or not."""
    _call(_GLOBAL_WINDOW, "org.wrenlog.GlobalWindow", "DebugPrint", "sib", (str(text), int(colour), bool(newline)))


def print_many(pieces):
    """Prints (text, colour, newline) pieces into the shared window in one call, in order."""
    _call(_GLOBAL_WINDOW, _BATCH, "DebugPrintMany", "a(sib)", (_pieces(pieces),))


def show():
    """Shows the shared window."""
    _call(_GLOBAL_WINDOW, "org.wrenlog.GlobalWindow", "DebugShow", "s", ("",))


class PrivateWindow:
    """A debug window of this program's own, titled and shown at once.

    It closes on release(), at the end of a with block, or when the process
    ends (the window belongs to the program's bus connection).

        with wrenlog.PrivateWindow("Importer") as window:
            window.print("42 rows", wrenlog.NOTE)
    """

    def __init__(self, title=DEFAULT_PRIVATE_TITLE):
        self.path = str(_call("/PrivateWindows", "org.wrenlog.PrivateWindowFactory", "Create", "", ()))
        try:
            self.show(title)
        except Error:
            self.release()
            raise

    def _window(self, member, signature="", args=(), interface="org.wrenlog.PrivateWindow"):
        if self.path is None:
            raise Error(91, "Object variable or With block variable not set", "wrenlog (Python)")
        return _call(self.path, interface, member, signature, args)

    def print(self, text, colour=NORMAL, newline=True):
        self._window("DebugPrint", "sib", (str(text), int(colour), bool(newline)))

    def print_many(self, pieces):
        self._window("DebugPrintMany", "a(sib)", (_pieces(pieces),), interface=_BATCH)

    def show(self, title=DEFAULT_PRIVATE_TITLE):
        """Titles the window and shows it."""
        self._window("DebugShow", "s", (str(title),))

    def clear(self):
        self._window("Clear")

    def release(self):
        """Closes the window; later calls fail with error 91. Releasing twice does nothing."""
        if self.path is None:
            return
        try:
            self._window("Release")
        finally:
            self.path = None

    def __enter__(self):
        return self

    def __exit__(self, *exc_info):
        try:
            self.release()
        except Error:
            if exc_info[0] is None:
                raise
        return False


DEFAULT_STYLES = {
    logging.CRITICAL: FAIL,
    logging.ERROR: FAIL,
    logging.WARNING: ORANGE,
    logging.INFO: NORMAL,
    logging.DEBUG: GREY,
}


class Handler(logging.Handler):
    """A logging handler that prints every record into the debug window.

    emit() only formats the record and queues it: a background thread sends
    the queue in batches (one DebugPrintMany call each), so a log call never
    waits for the window. Records keep their order; close() and flush() (and
    so logging's own shutdown at exit) deliver what is queued.

    styles maps levels to styles or colours (merged over DEFAULT_STYLES); a
    level in between takes the style of the next lower level listed. window
    is None for the shared window, a PrivateWindow, or a title for a private
    window of the handler's own (released by close()).

    When the window cannot be reached, the batch is dropped and handleError
    is called (with a record holding the first text of the batch) once until a
    batch goes through again; the program goes on.
    """

    def __init__(self, level=logging.NOTSET, styles=None, window=None, batch_size=2000):
        super().__init__(level)
        self.styles = dict(DEFAULT_STYLES)
        if styles:
            self.styles.update(styles)
        self._window_choice = window
        self._own_window = None
        self._path = None
        self._batch_size = batch_size
        self._queue = collections.deque()
        self._wake = threading.Event()
        self._idle = threading.Condition()
        self._sending = False
        self._failing = False
        self._stopping = False
        self._thread = None
        self._start_lock = threading.Lock()

    def style_for(self, levelno):
        style = self.styles.get(levelno)
        if style is not None:
            return style
        best = None
        for level, value in self.styles.items():
            if level <= levelno and (best is None or level > best):
                best, style = level, value
        if style is None:
            style = self.styles[min(self.styles)]
        return style

    def emit(self, record):
        try:
            text = self.format(record)
            colour = self.style_for(record.levelno)
        except Exception:
            self.handleError(record)
            return
        # Queued as the bus carries it: the thread sends slices of the queue as they are.
        self._queue.append((text, colour, True))
        if self._thread is None:
            self._start()
        if not self._wake.is_set():
            self._wake.set()

    def _start(self):
        with self._start_lock:
            if self._thread is None and not self._stopping:
                self._thread = threading.Thread(target=self._run, name="wrenlog.Handler", daemon=True)
                self._thread.start()

    def _target(self):
        if self._path is None:
            choice = self._window_choice
            if choice is None:
                self._path = _GLOBAL_WINDOW
            elif isinstance(choice, PrivateWindow):
                self._path = choice.path
            else:
                self._own_window = PrivateWindow(str(choice))
                self._path = self._own_window.path
        return self._path

    def _run(self):
        while True:
            self._wake.wait()
            # Let a burst gather: fewer, fuller batches take less from the program meanwhile.
            time.sleep(_GATHER_SECONDS)
            self._wake.clear()
            queue = self._queue
            while queue:
                with self._idle:
                    self._sending = True
                popleft = queue.popleft
                batch = [popleft() for _ in range(min(len(queue), self._batch_size))]
                self._send(batch)
            with self._idle:
                self._sending = False
                self._idle.notify_all()
                if self._stopping and not self._queue:
                    return

    def _send(self, batch):
        try:
            try:
                _call(self._target(), _BATCH, "DebugPrintMany", "a(sib)", (batch,))
            except (TypeError, ValueError):
                # A text the bus cannot carry (a NUL, half a surrogate pair): mend them all.
                _call(self._target(), _BATCH, "DebugPrintMany", "a(sib)", ([(_bus_text(text), colour, newline)
                                                                            for text, colour, newline in batch],))
            self._failing = False
        except Exception:
            if not self._failing:
                self._failing = True
                # The record itself stays with the caller; its text tells which one it was.
                self.handleError(logging.makeLogRecord({"msg": batch[0][0], "levelno": logging.ERROR}))

    def flush(self, timeout=None):
        """Waits until every queued record has been sent (or dropped)."""
        if self._thread is None:
            return
        with self._idle:
            self._wake.set()
            self._idle.wait_for(lambda: not self._queue and not self._sending and not self._wake.is_set()
                                or not self._thread.is_alive(), timeout)

    def close(self):
        try:
            if self._thread is not None:
                with self._idle:
                    self._stopping = True
                self._wake.set()
                self._thread.join(_CALL_TIMEOUT)
            if self._own_window is not None:
                try:
                    self._own_window.release()
                except Error:
                    pass
        finally:
            super().close()
