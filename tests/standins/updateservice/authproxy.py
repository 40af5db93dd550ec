"""A proxy that asks for a user name and password: Debian's tinyproxy, run in the foreground from a configuration
of its own on a free port, sending every request for an .example host on to the stand-in."""

import os
import shutil
import socket
import subprocess
import tempfile
import time

START_TIMEOUT = 5.0
STOP_TIMEOUT = 5.0
# Another program may take the free port between choosing it and tinyproxy's bind.
START_TRIES = 3


class ProxyError(Exception):
    pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def accepts(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


class AuthProxy:
    """One tinyproxy with BasicAuth in front of the stand-in on service_port; its log is its output."""

    def __init__(self, service_port, user, password):
        self.binary = shutil.which("tinyproxy") or "/usr/bin/tinyproxy"
        self.folder = tempfile.mkdtemp(prefix="orvek-authproxy-")
        self.log_path = os.path.join(self.folder, "log")
        self.service_port = service_port
        self.user = user
        self.password = password
        self.process = None
        self.port = 0

    def config(self, port):
        # No User line: run as root, tinyproxy stays root with a warning. No LogFile: in the foreground it logs to
        # its output. Connect logs each request line.
        return ("Port %d\nListen 127.0.0.1\nTimeout 60\nLogLevel Connect\nMaxClients 20\n"
                "BasicAuth %s %s\nupstream http 127.0.0.1:%d \".example\"\n"
                % (port, self.user, self.password, self.service_port))

    def start(self):
        if not os.path.exists(self.binary):
            raise ProxyError("no tinyproxy at %s (tools/setup.sh installs it)" % self.binary)
        for _ in range(START_TRIES):
            port = free_port()
            conf = os.path.join(self.folder, "tinyproxy.conf")
            with open(conf, "w", encoding="ascii") as f:
                f.write(self.config(port))
            with open(self.log_path, "ab") as log:
                self.process = subprocess.Popen([self.binary, "-d", "-c", conf], stdin=subprocess.DEVNULL,
                                                stdout=log, stderr=log, start_new_session=True)
            deadline = time.monotonic() + START_TIMEOUT
            while self.process.poll() is None and time.monotonic() < deadline:
                if accepts(port):
                    self.port = port
                    return port
                time.sleep(0.05)
            self.stop_process()
        raise ProxyError("tinyproxy did not start: %s" % self.log()[-2000:])

    def log(self):
        try:
            with open(self.log_path, encoding="utf-8", errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def request_lines(self):
        """The request lines tinyproxy received, oldest first."""
        marker = "]: Request (file descriptor "
        return [line.split("): ", 1)[1] for line in self.log().splitlines() if marker in line]

    def stop_process(self):
        if self.process is None:
            return
        self.process.terminate()
        try:
            self.process.wait(STOP_TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process = None

    def stop(self):
        self.stop_process()
        shutil.rmtree(self.folder, ignore_errors=True)
