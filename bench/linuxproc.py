"""What Linux says about the Wine processes of a benchmark run: finding them, their CPU time and memory."""

import os
import threading
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def _read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def _program_name(cmdline):
    """The file name of a process's program; Wine shows a Windows program's own path there."""
    first = cmdline.split(b"\0")[0].decode("utf-8", "replace")
    return first.replace("\\", "/").rsplit("/", 1)[-1]


def find_processes(name_part, environ_entry):
    """Pids whose program's file name holds name_part and whose environment holds environ_entry (b"NAME=value")."""
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        cmdline = _read("/proc/%s/cmdline" % entry)
        if not cmdline or name_part not in _program_name(cmdline):
            continue
        environ = _read("/proc/%s/environ" % entry)
        if environ is not None and environ_entry in environ.split(b"\0"):
            found.append(int(entry))
    return found


def wait_for_process(name_part, environ_entry, timeout=10.0):
    """The one pid find_processes gives, waiting for it; an error if there is none or more than one."""
    deadline = time.monotonic() + timeout
    while True:
        pids = find_processes(name_part, environ_entry)
        if len(pids) == 1:
            return pids[0]
        if len(pids) > 1 or time.monotonic() > deadline:
            raise RuntimeError("expected one process %r with %r, found %r" % (name_part, environ_entry, pids))
        time.sleep(0.05)


def parse_stat_cpu(data):
    """User plus system time in seconds from the bytes of a /proc/<pid>/stat."""
    # The command name may hold spaces and parentheses; the fields after its last ")" are fixed.
    fields = data[data.rindex(b")") + 2:].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def cpu_seconds(pid):
    """User plus system time of every thread of the process so far, in seconds."""
    data = _read("/proc/%d/stat" % pid)
    if data is None:
        raise RuntimeError("process %d is gone" % pid)
    return parse_stat_cpu(data)


def parse_status_kib(data):
    """The figures in kB of the bytes of a /proc/<pid>/status, by name."""
    figures = {}
    for line in data.decode("ascii", "replace").splitlines():
        name, _, value = line.partition(":")
        parts = value.split()
        if len(parts) == 2 and parts[1] == "kB":
            figures[name] = int(parts[0])
    return figures


def memory_kib(pid):
    """The process's memory figures from /proc/<pid>/status (RssAnon, VmHWM, ...) in KiB; None once it is gone."""
    data = _read("/proc/%d/status" % pid)
    return None if data is None else parse_status_kib(data)


class MemorySampler:
    """Samples a process's private resident memory (RssAnon) in a thread and keeps the peak."""

    def __init__(self, pid, period=0.005):
        self.pid = pid
        self.period = period
        self.peak_kib = 0
        self.samples = 0
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)

    def __enter__(self):
        self._thread.start()
        return self

    def __exit__(self, *exc):
        self._stop.set()
        self._thread.join()

    def _run(self):
        while not self._stop.is_set():
            figures = memory_kib(self.pid)
            if figures is None:
                return
            self.peak_kib = max(self.peak_kib, figures.get("RssAnon", 0))
            self.samples += 1
            self._stop.wait(self.period)
