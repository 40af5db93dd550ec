"""The stand-in's HTTP server: answers service requests by scenario, records them, and serves the control API."""

import json
import socket
import socketserver
import struct
import sys
import threading
import time
from urllib.parse import urlsplit

from authproxy import AuthProxy, ProxyError
from scenario import ScenarioError, scenarios_from_json

MAX_HEAD = 64 * 1024
MAX_REQUEST_BODY = 64 * 1024 * 1024
SOCKET_TIMEOUT = 30.0
# A silent answer or a stalled body keeps the connection open at most this long.
STALL_LIMIT = 600.0
CONTROL_PREFIX = "/_control/"
CONTROL_HOSTS = ("127.0.0.1", "localhost")


class Request:
    """A request as received: its head split into lines exactly as sent, and its body."""

    def __init__(self, raw_head, body, peer):
        self.raw_head = raw_head
        self.body = body
        self.peer = peer
        text = raw_head.decode("latin-1")
        lines = text[:-4].split("\r\n") if text.endswith("\r\n\r\n") else text.rstrip("\n").split("\n")
        self.request_line = lines[0]
        self.header_lines = lines[1:]
        parts = self.request_line.split(" ")
        self.method = parts[0]
        self.target = parts[1] if len(parts) > 1 else ""
        self.version = parts[2] if len(parts) > 2 else ""

    def header(self, name):
        """The value of the last header line called name, in any letter case, or None."""
        found = None
        for line in self.header_lines:
            key, sep, value = line.partition(":")
            if sep and key.strip().lower() == name.lower():
                found = value.strip()
        return found

    def is_control(self):
        url = urlsplit(self.target)
        if url.scheme and url.hostname not in CONTROL_HOSTS:
            return False
        return url.path.startswith(CONTROL_PREFIX)


def read_request(sock):
    """Reads one request head and its Content-Length body; None if the peer left first."""
    data = b""
    while True:
        end = data.find(b"\r\n\r\n")
        if end < 0:
            end = data.find(b"\n\n")
            end = end + 2 if end >= 0 else -1
        else:
            end += 4
        if end >= 0:
            break
        if len(data) > MAX_HEAD:
            return None
        chunk = sock.recv(65536)
        if not chunk:
            return None
        data += chunk
    request = Request(data[:end], b"", "%s:%d" % sock.getpeername())
    body = data[end:]
    length = request.header("Content-Length")
    wanted = int(length) if length and length.isdigit() else 0
    if wanted > MAX_REQUEST_BODY:
        return None
    while len(body) < wanted:
        chunk = sock.recv(min(65536, wanted - len(body)))
        if not chunk:
            break
        body += chunk
    request.body = body[:wanted]
    return request


def wait_for_client_to_leave(sock):
    """Sends nothing more and keeps the connection open until the client closes it; returns the seconds waited."""
    start = time.monotonic()
    sock.settimeout(1.0)
    while time.monotonic() - start < STALL_LIMIT:
        try:
            if not sock.recv(4096):
                break
        except socket.timeout:
            continue
        except OSError:
            break
    return time.monotonic() - start


def abort_with_reset(sock):
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    sock.close()


class ServiceState:
    """The scenarios in force and the log of service requests, shared by all connections."""

    def __init__(self, initial):
        self.lock = threading.Lock()
        self.initial = initial
        self.scenarios = initial
        self.next_index = 0
        self.records = []

    def set_scenarios(self, scenarios):
        with self.lock:
            self.scenarios = scenarios
            self.next_index = 0

    def reset(self):
        with self.lock:
            self.scenarios = self.initial
            self.next_index = 0
            self.records = []

    def take_scenario(self):
        with self.lock:
            scenario = self.scenarios[min(self.next_index, len(self.scenarios) - 1)]
            self.next_index += 1
            return scenario

    def record(self, request):
        with self.lock:
            entry = {
                "seq": len(self.records) + 1,
                "time": time.time(),
                "peer": request.peer,
                "request_line": request.request_line,
                "method": request.method,
                "target": request.target,
                "version": request.version,
                "headers": request.header_lines,
                "raw_head": request.raw_head.decode("latin-1"),
                "body_hex": request.body.hex(),
                "body_length": len(request.body),
            }
            self.records.append((entry, request))
            return entry

    def records_json(self):
        with self.lock:
            return [entry for entry, _ in self.records]

    def records_log(self):
        with self.lock:
            return b"".join(b"REQUEST %d %d %d\r\n" % (entry["seq"], len(req.raw_head), len(req.body)) +
                            req.raw_head + req.body for entry, req in self.records)

    def current_json(self):
        with self.lock:
            return [s.desc for s in self.scenarios]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        sock = self.request
        sock.settimeout(SOCKET_TIMEOUT)
        try:
            request = read_request(sock)
            if request is None:
                return
            if request.is_control():
                self.server.log("control %s" % request.request_line)
                self.control(sock, request)
            else:
                entry = self.server.state.record(request)
                scenario = self.server.state.take_scenario()
                self.server.log("service #%d %s -> %s %s" % (entry["seq"], request.request_line, scenario.action,
                                                             scenario.head.split(b"\r\n", 1)[0].decode("utf-8")))
                self.serve(sock, scenario)
        except OSError as e:
            self.server.log("connection from %s: %s" % (self.client_address, e))

    def send_paced(self, sock, data, scenario):
        if not scenario.chunk_size:
            sock.sendall(data)
            return
        for start in range(0, len(data), scenario.chunk_size):
            if start:
                time.sleep(scenario.chunk_delay)
            sock.sendall(data[start:start + scenario.chunk_size])

    # Returning hands the socket back to socketserver, which closes it normally (FIN).
    def serve(self, sock, scenario):
        time.sleep(scenario.delay)
        if scenario.action == "reset":
            abort_with_reset(sock)
            return
        if scenario.action == "close":
            return
        if scenario.action == "silent":
            self.server.log("client left a silent service after %.1f s" % wait_for_client_to_leave(sock))
            return
        sock.sendall(scenario.head)
        body = scenario.body
        if scenario.reset_after is not None:
            self.send_paced(sock, body[:scenario.reset_after], scenario)
            abort_with_reset(sock)
            return
        if scenario.stall_after is not None:
            self.send_paced(sock, body[:scenario.stall_after], scenario)
            self.server.log("client left a stalled body after %.1f s" % wait_for_client_to_leave(sock))
            return
        self.send_paced(sock, body, scenario)
        time.sleep(scenario.hold_open)

    def reply(self, sock, status, payload, content_type="application/json"):
        if content_type == "application/json":
            payload = json.dumps(payload, indent=1).encode("utf-8")
        head = "HTTP/1.0 %d %s\r\nContent-Type: %s\r\nContent-Length: %d\r\n\r\n" % (
            status, "OK" if status == 200 else "Error", content_type, len(payload))
        sock.sendall(head.encode("ascii") + payload)

    def control(self, sock, request):
        path = urlsplit(request.target).path[len(CONTROL_PREFIX):]
        state = self.server.state
        route = (request.method, path)
        if route == ("GET", "ping"):
            self.reply(sock, 200, {"ok": True, "port": self.server.server_address[1]})
        elif route == ("GET", "requests"):
            self.reply(sock, 200, {"requests": state.records_json()})
        elif route == ("GET", "log"):
            self.reply(sock, 200, state.records_log(), "application/octet-stream")
        elif route == ("GET", "scenario"):
            self.reply(sock, 200, {"scenario": state.current_json()})
        elif route == ("POST", "scenario"):
            try:
                state.set_scenarios(scenarios_from_json(json.loads(request.body.decode("utf-8"))))
            except (ValueError, ScenarioError) as e:
                self.reply(sock, 400, {"ok": False, "error": str(e)})
                return
            self.reply(sock, 200, {"ok": True})
        elif route == ("POST", "reset"):
            state.reset()
            self.server.stop_proxy()
            self.reply(sock, 200, {"ok": True})
        elif route == ("POST", "proxy"):
            try:
                settings = json.loads(request.body.decode("utf-8"))
                port = self.server.start_proxy(str(settings["user"]), str(settings["password"]))
            except (ValueError, KeyError, TypeError, ProxyError) as e:
                self.reply(sock, 400, {"ok": False, "error": str(e)})
                return
            self.reply(sock, 200, {"ok": True, "port": port})
        elif route == ("GET", "proxy"):
            proxy = self.server.proxy
            if proxy is None:
                self.reply(sock, 404, {"ok": False, "error": "no proxy is running"})
                return
            self.reply(sock, 200, "".join(line + "\n" for line in proxy.request_lines()).encode("latin-1"),
                       "text/plain")
        else:
            self.reply(sock, 404, {"ok": False, "error": "no control endpoint %s %s" % route})


class UpdateServiceServer(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True
    request_queue_size = 64

    def __init__(self, port, initial, quiet=False):
        self.state = ServiceState(initial)
        self.quiet = quiet
        self.proxy = None
        # Reentrant: a new proxy replaces the old one under the same hold.
        self.proxy_lock = threading.RLock()
        super().__init__(("127.0.0.1", port), Handler)

    def start_proxy(self, user, password):
        """Starts a tinyproxy asking for user and password in front of this server, in place of any earlier one."""
        with self.proxy_lock:
            self.stop_proxy()
            proxy = AuthProxy(self.server_address[1], user, password)
            try:
                port = proxy.start()
            except ProxyError:
                proxy.stop()
                raise
            self.proxy = proxy
            self.log("proxy with a password on 127.0.0.1:%d" % port)
            return port

    def stop_proxy(self):
        with self.proxy_lock:
            if self.proxy is not None:
                self.proxy.stop()
                self.proxy = None

    def log(self, text):
        if not self.quiet:
            print("%.3f %s" % (time.time(), text), file=sys.stderr, flush=True)
