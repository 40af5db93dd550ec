"""Tests of the update-service stand-in, against a real server process on a port of its own."""

import json
import os
import signal
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

from bodygen import generated_body  # noqa: E402
from updateservice import is_our_server  # noqa: E402

SCRIPT = os.path.join(HERE, "updateservice.py")
SERVICE_URL = "http://update.orvek.example/device/update?version=2.0"
WINE_REQUEST = (b"GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0\r\n"
                b"Host: update.orvek.example\r\nUser-Agent: Orvek Updater\r\n\r\n")


def wait_for_file(path, process, timeout=15.0):
    deadline = time.monotonic() + timeout
    while not os.path.exists(path):
        if process.poll() is not None or time.monotonic() > deadline:
            raise RuntimeError("server did not write %s (exit %s)" % (path, process.poll()))
        time.sleep(0.02)
    with open(path) as f:
        return int(f.read())


def start_server(temp_dir, *options):
    port_file = os.path.join(temp_dir, "port")
    process = subprocess.Popen([sys.executable, SCRIPT, "--port", "0", "--port-file", port_file, "--quiet"]
                               + list(options))
    return process, wait_for_file(port_file, process)


class ServerCase(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.temp = tempfile.TemporaryDirectory()
        cls.process, cls.port = start_server(cls.temp.name, "--body-size", "16", "--seed", "3")

    @classmethod
    def tearDownClass(cls):
        cls.process.send_signal(signal.SIGTERM)
        cls.process.wait(10)
        cls.temp.cleanup()

    def setUp(self):
        self.control("POST", "reset")

    def control(self, method, path, payload=None, expect=200):
        data = None if payload is None else json.dumps(payload).encode()
        request = urllib.request.Request("http://127.0.0.1:%d/_control/%s" % (self.port, path), data, method=method)
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
        try:
            with opener.open(request, timeout=10) as response:
                status, body, kind = response.status, response.read(), response.headers["Content-Type"]
        except urllib.error.HTTPError as e:
            status, body, kind = e.code, e.read(), e.headers["Content-Type"]
        self.assertEqual(expect, status, body)
        return json.loads(body) if kind == "application/json" else body

    def scenario(self, desc):
        self.control("POST", "scenario", desc)

    def exchange(self, request=WINE_REQUEST):
        """Sends raw bytes and returns everything received, and whether the connection ended in a reset."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(request)
            received = b""
            try:
                while True:
                    chunk = sock.recv(65536)
                    if not chunk:
                        return received, False
                    received += chunk
            except ConnectionResetError:
                return received, True

    def via_proxy(self):
        opener = urllib.request.build_opener(urllib.request.ProxyHandler({"http": "http://127.0.0.1:%d" % self.port}))
        try:
            with opener.open(SERVICE_URL, timeout=10) as response:
                return response.status, dict(response.headers), response.read()
        except urllib.error.HTTPError as e:
            return e.code, dict(e.headers), e.read()


class BodyTest(ServerCase):
    def test_generator_follows_documented_stream(self):
        self.assertEqual(bytes.fromhex("2120040001060804"), generated_body(8, 1))
        self.assertEqual(generated_body(5, 0x9E3779B9), generated_body(5, 0))
        self.assertEqual(generated_body(1000, 9)[:998], generated_body(998, 9))
        self.assertNotEqual(generated_body(1024, 1)[:256], generated_body(1024, 1)[256:512])

    def test_bodies_from_every_source_are_sent_whole(self):
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(b"\x00file\xff" * 1000)
        self.addCleanup(os.remove, f.name)
        cases = [
            ({"size": 1000003, "seed": 42}, generated_body(1000003, 42)),
            ({"file": f.name}, b"\x00file\xff" * 1000),
            ({"hex": "00ff10"}, b"\x00\xff\x10"),
            ({"base64": "AAEC"}, b"\x00\x01\x02"),
            ({"text": "d\u00e9j\u00e0"}, "d\u00e9j\u00e0".encode()),
            ("plain", b"plain"),
        ]
        for body, expected in cases:
            with self.subTest(body=str(body)[:60]):
                self.scenario({"body": body})
                status, headers, received = self.via_proxy()
                self.assertEqual(200, status)
                self.assertEqual(str(len(expected)), headers["Content-Length"])
                self.assertTrue(received == expected, "got %d bytes, expected %d" % (len(received), len(expected)))

    def test_initial_scenario_comes_from_command_line(self):
        self.assertEqual(generated_body(16, 3), self.via_proxy()[2])


class ResponseBytesTest(ServerCase):
    def test_heads_are_exactly_as_scripted(self):
        cases = [
            ({"status": 404}, b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n"),
            ({"status": 599, "body": "x"}, b"HTTP/1.0 599 Unknown\r\nContent-Length: 1\r\n\r\nx"),
            ({"status": 500, "content_length": None, "headers": [
                "X-Orvek-Error: \t  spaced \t ", "X-Orvek-Error: a: b: c", "x-orvek-error: lower",
                "X-Orvek-Error:", ": starts with colon", " : value", ["X-Extra", "pair"]]},
             b"HTTP/1.0 500 Internal Server Error\r\nX-Orvek-Error: \t  spaced \t \r\n"
             b"X-Orvek-Error: a: b: c\r\nx-orvek-error: lower\r\nX-Orvek-Error:\r\n: starts with colon\r\n"
             b" : value\r\nX-Extra: pair\r\n\r\n"),
            ({"status_line": "HTTP/1.1 200 Fine", "body": "ab", "content_length": 7},
             b"HTTP/1.1 200 Fine\r\nContent-Length: 7\r\n\r\nab"),
            ({"reason": "Whatever", "version": "HTTP/1.1", "content_length": "4000000000", "body": "ab"},
             b"HTTP/1.1 200 Whatever\r\nContent-Length: 4000000000\r\n\r\nab"),
            ({"content_length": 1, "body": "longer"}, b"HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\nlonger"),
            ({"content_length": 0}, b"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"),
            ({"action": "raw", "body": {"hex": "00fffe0d0a"}}, b"\x00\xff\xfe\r\n"),
            ({"action": "close"}, b""),
        ]
        for desc, expected in cases:
            with self.subTest(desc=desc):
                self.scenario(desc)
                self.assertEqual((expected, False), self.exchange())

    def test_reset_ends_connection_abortively(self):
        self.scenario({"action": "reset"})
        self.assertEqual((b"", True), self.exchange())
        self.scenario({"body": {"size": 5000, "seed": 2}, "reset_after": 1000, "hold_open": 0.2})
        head = b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n"
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(WINE_REQUEST)
            received = b""
            while len(received) < len(head) + 1000:
                received += sock.recv(65536)
            self.assertEqual(head + generated_body(1000, 2), received)
            self.assertRaises(ConnectionResetError, sock.recv, 65536)

    def test_silent_and_stalled_answers_hold_the_connection_open(self):
        head = b"HTTP/1.0 200 OK\r\nContent-Length: 5000\r\n\r\n"
        for desc, expected in (({"action": "silent"}, b""),
                               ({"body": {"size": 5000, "seed": 2}, "stall_after": 1000}, head + generated_body(1000, 2))):
            with self.subTest(desc=desc), socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
                self.scenario(desc)
                sock.sendall(WINE_REQUEST)
                received = b""
                while len(received) < len(expected):
                    received += sock.recv(65536)
                self.assertEqual(expected, received)
                sock.settimeout(1.5)
                self.assertRaises(socket.timeout, sock.recv, 1)

    def test_slow_body_arrives_in_paced_pieces(self):
        self.scenario({"body": {"size": 60, "seed": 5}, "chunk_size": 10, "chunk_delay": 0.05})
        pieces = []
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(WINE_REQUEST)
            while True:
                chunk = sock.recv(65536)
                if not chunk:
                    break
                pieces.append(chunk)
        self.assertEqual(b"HTTP/1.0 200 OK\r\nContent-Length: 60\r\n\r\n" + generated_body(60, 5), b"".join(pieces))
        self.assertGreaterEqual(len(pieces), 6, [len(p) for p in pieces])

    def test_delay_holds_answer_back(self):
        self.scenario({"delay": 0.3, "body": "late"})
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(WINE_REQUEST)
            sock.settimeout(0.1)
            self.assertRaises(socket.timeout, sock.recv, 1)
            sock.settimeout(10)
            self.assertTrue(sock.recv(65536).startswith(b"HTTP/1.0 200 OK"))


class ControlTest(ServerCase):
    def test_log_holds_requests_as_received(self):
        odd = (b"POST http://update.orvek.example/other HTTP/1.1\r\nHost: update.orvek.example\r\n"
               b"X-Odd:  spaced \t\r\nContent-Length: 4\r\n\r\nbody")
        self.exchange()
        self.exchange(odd)
        records = self.control("GET", "requests")["requests"]
        self.assertEqual([1, 2], [r["seq"] for r in records])
        first, second = records
        self.assertEqual("GET http://update.orvek.example:80/device/update?version=2.0 HTTP/1.0",
                         first["request_line"])
        self.assertEqual(["Host: update.orvek.example", "User-Agent: Orvek Updater"], first["headers"])
        self.assertEqual(WINE_REQUEST.decode(), first["raw_head"])
        self.assertEqual(("", 0), (first["body_hex"], first["body_length"]))
        self.assertEqual(("POST", "http://update.orvek.example/other", "HTTP/1.1"),
                         (second["method"], second["target"], second["version"]))
        self.assertEqual(["Host: update.orvek.example", "X-Odd:  spaced \t", "Content-Length: 4"],
                         second["headers"])
        self.assertEqual(b"body".hex(), second["body_hex"])
        self.assertLessEqual(first["time"], second["time"])
        log = self.control("GET", "log")
        self.assertEqual(b"REQUEST 1 %d 0\r\n" % len(WINE_REQUEST) + WINE_REQUEST +
                         b"REQUEST 2 %d 4\r\n" % (len(odd) - 4) + odd, log)

    def test_control_requests_are_told_from_service_requests(self):
        answer, _ = self.exchange(b"GET http://127.0.0.1:%d/_control/ping HTTP/1.0\r\n\r\n" % self.port)
        self.assertIn(b'"ok": true', answer)
        self.scenario({"status": 418})
        answer, _ = self.exchange(b"GET http://update.orvek.example/_control/ping HTTP/1.0\r\n\r\n")
        self.assertTrue(answer.startswith(b"HTTP/1.0 418 "))
        answer, _ = self.exchange(b"GET /device/update?version=2.0 HTTP/1.0\r\n\r\n")
        self.assertTrue(answer.startswith(b"HTTP/1.0 418 "))
        self.assertEqual(2, len(self.control("GET", "requests")["requests"]))
        self.control("GET", "nothing", expect=404)

    def test_scenario_list_answers_in_turn_then_repeats_last(self):
        self.scenario([{"status": 500}, {"status": 404}, {"body": "ok"}])
        self.assertEqual([500, 404, 200, 200], [self.via_proxy()[0] for _ in range(4)])
        self.assertEqual([{"status": 500}, {"status": 404}, {"body": "ok"}],
                         self.control("GET", "scenario")["scenario"])

    def test_reset_restores_initial_scenario_and_empties_log(self):
        self.scenario({"status": 404})
        self.via_proxy()
        self.control("POST", "reset")
        self.assertEqual([], self.control("GET", "requests")["requests"])
        self.assertEqual((200, generated_body(16, 3)), self.via_proxy()[::2])

    def test_bad_scenarios_are_refused_and_change_nothing(self):
        self.scenario({"status": 404})
        bad = [
            {"stauts": 200}, {"action": "explode"}, {"status": "200"}, {"headers": "X: y"}, {"headers": [1]},
            {"body": {"size": 10, "hex": "00"}}, {"body": {"file": "/nonexistent/file"}}, {"body": {"hex": "zz"}},
            {"body": {"size": -1}}, {"body": {"size": 4, "seed": 2 ** 32}}, {"chunk_size": 0},
            {"content_length": 1.5}, {"delay": -1}, [], 7,
        ]
        for desc in bad:
            with self.subTest(desc=desc):
                self.assertFalse(self.control("POST", "scenario", desc, expect=400)["ok"])
        request = urllib.request.Request("http://127.0.0.1:%d/_control/scenario" % self.port, b"{not json",
                                         method="POST")
        with self.assertRaises(urllib.error.HTTPError) as caught:
            urllib.request.build_opener(urllib.request.ProxyHandler({})).open(request, timeout=10)
        self.assertEqual(400, caught.exception.code)
        self.assertEqual(404, self.via_proxy()[0])


class LifecycleTest(unittest.TestCase):
    def run_tool(self, *args):
        return subprocess.run([sys.executable, SCRIPT] + list(args), capture_output=True, text=True, timeout=60)

    def test_sigterm_ends_server_promptly_and_cleanly(self):
        with tempfile.TemporaryDirectory() as temp:
            process, port = start_server(temp)
            request = urllib.request.Request("http://127.0.0.1:%d/_control/scenario" % port, json.dumps(
                {"body": {"size": 1000}, "chunk_size": 1, "chunk_delay": 1}).encode(), method="POST")
            urllib.request.build_opener(urllib.request.ProxyHandler({})).open(request, timeout=10).close()
            with socket.create_connection(("127.0.0.1", port)) as sock:
                sock.sendall(WINE_REQUEST)
                sock.recv(100)
                process.send_signal(signal.SIGTERM)
                self.assertEqual(0, process.wait(5))

    def test_start_and_stop_run_a_background_server(self):
        with tempfile.TemporaryDirectory() as temp:
            state = os.path.join(temp, "state")
            started = self.run_tool("start", "--state-dir", state, "--port", "0")
            self.assertEqual(0, started.returncode, started.stderr)
            with open(os.path.join(state, "pid")) as f:
                pid = int(f.read())
            with open(os.path.join(state, "port")) as f:
                port = int(f.read())
            with socket.create_connection(("127.0.0.1", port)) as sock:
                sock.sendall(WINE_REQUEST)
                self.assertTrue(sock.recv(100).startswith(b"HTTP/1.0 200 OK"))

            taken = self.run_tool("start", "--state-dir", os.path.join(temp, "other"), "--port", str(port))
            self.assertEqual(1, taken.returncode)
            self.assertIn("port %d taken" % port, taken.stderr)

            restarted = self.run_tool("start", "--state-dir", state, "--port", str(port))
            self.assertEqual(0, restarted.returncode, restarted.stderr)
            self.assertFalse(is_our_server(pid), "the earlier server still runs")

            stopped = self.run_tool("stop", "--state-dir", state)
            self.assertEqual(0, stopped.returncode, stopped.stderr)
            self.assertFalse(os.path.exists(os.path.join(state, "pid")))
            self.assertRaises(OSError, socket.create_connection, ("127.0.0.1", port), 1)
            self.assertEqual(0, self.run_tool("stop", "--state-dir", state).returncode)


if __name__ == "__main__":
    unittest.main()
