#!/usr/bin/python3
"""Logging 100,000 records through wrenlog.Handler against a StreamHandler on /dev/null.

Run by bench_clients on its own desktop (the server's test view on), with the
package on PYTHONPATH. Prints the time the logging calls cost the program with
each handler, and checks that every record arrived in the shared window, in order.
"""

import logging
import sys
import time

import dbus

import wrenlog

RECORDS = int(sys.argv[1]) if len(sys.argv) > 1 else 100000


def timed(handler):
    logger = logging.getLogger("bench.%d" % id(handler))
    logger.propagate = False
    logger.setLevel(logging.INFO)
    logger.addHandler(handler)
    start, start_cpu = time.perf_counter(), time.thread_time()
    for i in range(RECORDS):
        logger.info("record %d of the run", i)
    seconds, cpu = time.perf_counter() - start, time.thread_time() - start_cpu
    handler.flush()
    delivered = time.perf_counter() - start
    logger.removeHandler(handler)
    return seconds, cpu, delivered


def window_text():
    bus = dbus.SessionBus()
    inspect = bus.get_object("org.wrenlog.Wrenlog", "/Inspect")
    return str(inspect.Window("/GlobalWindow", dbus_interface="org.wrenlog.Inspect", timeout=600)["Text"])


def main():
    wrenlog.print("python handler bench")  # starts the server before the clock does
    with open("/dev/null", "w") as null:
        stream_seconds, stream_cpu, _ = timed(logging.StreamHandler(null))
    handler = wrenlog.Handler()
    handler.setFormatter(logging.Formatter("%(message)s"))
    wrenlog_seconds, wrenlog_cpu, delivered = timed(handler)
    handler.close()
    text = window_text()
    expected = "".join("record %d of the run\r\n" % i for i in range(RECORDS))
    arrived = text.endswith("python handler bench\r\n" + expected)
    print("python: %d records  StreamHandler(/dev/null) %.3f s  wrenlog.Handler %.3f s  ratio %.2f"
          "  (CPU of the logging thread %.3f s against %.3f s, ratio %.2f; all in the window after %.3f s;"
          " every record arrived in order: %s)"
          % (RECORDS, stream_seconds, wrenlog_seconds, wrenlog_seconds / stream_seconds, wrenlog_cpu, stream_cpu,
             wrenlog_cpu / stream_cpu, delivered, "yes" if arrived else "NO"))
    return 0 if arrived else 1


if __name__ == "__main__":
    sys.exit(main())
