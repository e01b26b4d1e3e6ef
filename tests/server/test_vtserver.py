#!/usr/bin/env python3
"""Host-side checks of the loopback test server: run with `python3 tests/server/test_vtserver.py`.

The server runs as a separate process, exactly as the Windows tests use it, and is driven through its control
API; expected bodies are computed here independently of the server's code.
"""

import base64
import http.client
import json
import os
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest

SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "vtserver.py")
LISTENERS = {"http", "https", "https_expired", "https_wrongname", "proxy"}


def pattern(first, end):
    return bytes(i % 251 for i in range(first, end))


def basic(user_and_password):
    return "Basic " + base64.b64encode(user_and_password.encode()).decode()


def wait_for_file(path, process, timeout=30):
    deadline = time.monotonic() + timeout
    while not os.path.exists(path):
        if process is not None and process.poll() is not None:
            raise RuntimeError("server exited with %d" % process.returncode)
        if time.monotonic() > deadline:
            raise RuntimeError("server did not write " + path)
        time.sleep(0.05)
    with open(path) as ports:
        return json.load(ports)


def read_response(sock, method="GET"):
    response = http.client.HTTPResponse(sock, method=method)
    response.begin()
    return response, response.read()


class ServerFixture:
    """One foreground server per test class, stopped with SIGTERM at the end (which must exit with 0)."""

    def __init__(self, docroot):
        self.folder = tempfile.mkdtemp(prefix="vtserver-test-")
        self.port_file = os.path.join(self.folder, "ports.json")
        self.process = subprocess.Popen([sys.executable, SERVER, "--port-file", self.port_file,
                                         "--docroot", docroot], stdout=subprocess.DEVNULL)
        self.ports = wait_for_file(self.port_file, self.process)

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        return self.process.wait(15)


class VtServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="vtserver-docroot-")
        cls.docroot = os.path.join(cls.work, "docroot")
        os.makedirs(os.path.join(cls.docroot, "sub"))
        with open(os.path.join(cls.docroot, "sub", "file.bin"), "wb") as out:
            out.write(b"0123456789")
        with open(os.path.join(cls.work, "secret.txt"), "w") as out:
            out.write("outside the docroot")
        cls.fixture = ServerFixture(cls.docroot)
        cls.ports = cls.fixture.ports

    @classmethod
    def tearDownClass(cls):
        code = cls.fixture.stop()
        assert code == 0, "server exit code on SIGTERM: %d" % code
        assert not os.path.exists(cls.fixture.port_file), "port file left behind"

    def setUp(self):
        self.control("POST", "reset")

    # --- helpers ------------------------------------------------------------------------------------

    def control(self, method, name, data=None, expect=200):
        connection = http.client.HTTPConnection("127.0.0.1", self.ports["http"], timeout=10)
        body = None if data is None else json.dumps(data)
        connection.request(method, "/_control/" + name, body, {"Content-Type": "application/json"})
        response = connection.getresponse()
        answer = json.loads(response.read())
        connection.close()
        self.assertEqual(response.status, expect, answer)
        return answer

    def behave(self, path, **behaviour):
        self.control("POST", "behaviour", {"path": path, "behaviour": behaviour})

    def fetch(self, path, headers=None, method="GET", body=None, listener="http"):
        if listener == "http":
            connection = http.client.HTTPConnection("127.0.0.1", self.ports["http"], timeout=10)
        else:
            connection = http.client.HTTPSConnection("localhost", self.ports[listener], timeout=10,
                                                     context=ssl._create_unverified_context())
        try:
            connection.request(method, path, body, headers or {})
            response = connection.getresponse()
            return response, response.read()
        finally:
            connection.close()

    def raw(self, port):
        sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        self.addCleanup(sock.close)
        return sock

    def records(self, prefix=None):
        return self.control("GET", "requests" + ("?prefix=" + prefix if prefix else ""))["requests"]

    # --- bodies and ranges --------------------------------------------------------------------------

    def test_ranges_are_honoured_or_ignored(self):
        self.behave("/r", body_pattern=5000)
        self.behave("/ignore", body_pattern=5000, ranges="ignore")
        cases = [
            # path, Range header, status, Content-Range, body slice
            ("/r", None, 200, None, (0, 5000)),
            ("/r", "bytes=3072-", 206, "bytes 3072-4999/5000", (3072, 5000)),
            ("/r", "bytes=0-1023", 206, "bytes 0-1023/5000", (0, 1024)),
            ("/r", "bytes=-100", 206, "bytes 4900-4999/5000", (4900, 5000)),
            ("/r", "bytes=4000-99999", 206, "bytes 4000-4999/5000", (4000, 5000)),
            ("/r", "bytes=4999-", 206, "bytes 4999-4999/5000", (4999, 5000)),
            ("/r", "bytes=5000-", 416, "bytes */5000", (0, 0)),
            ("/r", "bytes=9000-", 416, "bytes */5000", (0, 0)),
            ("/r", "bytes=0-1,5-6", 200, None, (0, 5000)),
            ("/ignore", "bytes=3072-", 200, None, (0, 5000)),
        ]
        for path, range_header, status, content_range, (first, end) in cases:
            with self.subTest(path=path, range=range_header):
                response, data = self.fetch(path, {"Range": range_header} if range_header else {})
                self.assertEqual(response.status, status)
                self.assertEqual(response.getheader("Content-Range"), content_range)
                self.assertEqual(data, pattern(first, end))
                self.assertEqual(response.getheader("Accept-Ranges"), None if path == "/ignore" else "bytes")

    def test_every_body_source_serves_ranges(self):
        data = bytes(range(256)) * 4
        with tempfile.NamedTemporaryFile(delete=False) as host_file:
            host_file.write(data)
        self.addCleanup(os.remove, host_file.name)
        sources = {
            "body_text": ("h\u00e9llo w\u00f6rld".encode("utf-8"), "h\u00e9llo w\u00f6rld"),
            "body_base64": (data, base64.b64encode(data).decode()),
            "body_file": (data, host_file.name),
        }
        for field, (expected, value) in sources.items():
            with self.subTest(source=field):
                self.behave("/src", **{field: value})
                response, whole = self.fetch("/src")
                self.assertEqual((response.status, whole), (200, expected))
                response, tail = self.fetch("/src", {"Range": "bytes=2-"})
                self.assertEqual((response.status, tail), (206, expected[2:]))

    def test_large_generated_body_streams_without_a_file(self):
        size = 100 * 1024 * 1024
        self.behave("/big.msi", body_pattern=size)
        response, _ = self.fetch("/big.msi", method="HEAD")
        self.assertEqual(response.getheader("Content-Length"), str(size))
        response, tail = self.fetch("/big.msi", {"Range": "bytes=%d-" % (size - 1000)})
        self.assertEqual((response.status, tail), (206, pattern(size - 1000, size)))
        connection = http.client.HTTPConnection("127.0.0.1", self.ports["http"], timeout=30)
        connection.request("GET", "/big.msi")
        response = connection.getresponse()
        received = 0
        while True:
            block = response.read(1 << 20)
            if not block:
                break
            received += len(block)
        connection.close()
        self.assertEqual(received, size)

    # --- failures on request ------------------------------------------------------------------------

    def test_status_sequence_then_last_repeats(self):
        self.behave("/seq", statuses=[504, 504, 200], body_text="payload")
        self.behave("/always", statuses=404)
        got = [self.fetch("/seq") for _ in range(4)]
        self.assertEqual([r.status for r, _ in got], [504, 504, 200, 200])
        self.assertEqual(got[2][1], b"payload")
        self.assertNotEqual(got[0][1], b"payload")
        self.assertEqual([self.fetch("/always")[0].status for _ in range(2)], [404, 404])
        self.assertEqual([r["status"] for r in self.records("/seq")], [504, 504, 200, 200])

    def test_early_close_cuts_the_body_then_serves_the_rest(self):
        for listener in ("http", "https"):
            with self.subTest(listener=listener):
                self.behave("/cut", body_pattern=5000, close_after=[3072, None])
                with self.assertRaises(http.client.IncompleteRead) as cut:
                    self.fetch("/cut", listener=listener)
                self.assertEqual(cut.exception.partial, pattern(0, 3072))
                self.assertEqual(cut.exception.expected, 5000 - 3072)
                response, rest = self.fetch("/cut", {"Range": "bytes=3072-"}, listener=listener)
                self.assertEqual((response.status, rest), (206, pattern(3072, 5000)))

    def test_early_close_with_reset_after_the_bytes_arrived(self):
        # The delay lets the client take the bytes before the RST, so it sees data and then an error.
        self.behave("/rst", body_pattern=5000, close_after=3072, close_mode="reset", close_delay_ms=200)
        for _ in range(2):  # an integer close_after applies to every request
            sock = self.raw(self.ports["http"])
            sock.sendall(b"GET /rst HTTP/1.1\r\nHost: x\r\n\r\n")
            received = b""
            with self.assertRaises(ConnectionResetError):
                while True:
                    block = sock.recv(65536)
                    self.assertNotEqual(block, b"", "closed with FIN instead of RST")
                    received += block
            head, _, body = received.partition(b"\r\n\r\n")
            self.assertIn(b"Content-Length: 5000", head)
            self.assertEqual(body, pattern(0, 3072))

    def test_basic_authorization(self):
        self.behave("/auth", basic_auth="user:secret", body_text="granted")
        self.behave("/exact", authorization="Basic c2VjcmV0", body_text="granted")
        cases = [
            ("/auth", None, 401),
            ("/auth", basic("user:wrong"), 401),
            ("/auth", "Bearer whatever", 401),
            ("/auth", basic("user:secret"), 200),
            ("/auth", "basic " + basic("user:secret")[6:], 200),
            ("/exact", basic("user:secret"), 401),
            ("/exact", "Basic c2VjcmV0", 200),
        ]
        for path, header, status in cases:
            with self.subTest(path=path, header=header):
                response, data = self.fetch(path, {"Authorization": header} if header else {})
                self.assertEqual(response.status, status)
                if status == 401:
                    self.assertEqual(response.getheader("WWW-Authenticate"), 'Basic realm="vtserver"')
                else:
                    self.assertEqual(data, b"granted")

    def test_extra_headers_replace_defaults_and_delay_holds_the_answer(self):
        self.behave("/h", body_text="<a/>", content_type="text/plain",
                    headers=[["Content-Type", "text/xml"], ["X-One", "1"]], delay_ms=300)
        started = time.monotonic()
        response, _ = self.fetch("/h")
        self.assertGreaterEqual(time.monotonic() - started, 0.25)
        self.assertEqual(response.msg.get_all("Content-Type"), ["text/xml"])
        self.assertEqual(response.getheader("X-One"), "1")

    # --- posts, recording and connections -------------------------------------------------------------

    def test_form_post_answer_and_its_record(self):
        answer = '<?xml version="1.0" encoding="UTF-8"?><result><return_info>OK</return_info></result>'
        self.behave("/count.php", body_text=answer, content_type="text/xml; charset=UTF-8")
        form = b"soft=VTM&ver=1.0.0.1"
        sock = self.raw(self.ports["http"])
        sock.sendall(b"POST /count.php?x=1 HTTP/1.0\r\nUser-Agent: CHttpSessionDownloadFile\r\n"
                     b"Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n"
                     b"Content-Length: %d\r\nHost: 127.0.0.1\r\n\r\n" % len(form) + form)
        response, data = read_response(sock, "POST")
        self.assertEqual((response.status, data.decode()), (200, answer))
        self.assertEqual(response.getheader("Content-Type"), "text/xml; charset=UTF-8")
        [record] = self.records()
        self.assertEqual((record["method"], record["path"], record["version"], record["listener"]),
                         ("POST", "/count.php?x=1", "HTTP/1.0", "http"))
        self.assertEqual(record["headers"], [
            ["User-Agent", "CHttpSessionDownloadFile"],
            ["Content-Type", "application/x-www-form-urlencoded; charset=UTF-8"],
            ["Content-Length", str(len(form))], ["Host", "127.0.0.1"]])
        self.assertEqual(record["body_text"], form.decode())
        self.assertEqual(base64.b64decode(record["body_base64"]), form)
        self.assertEqual(record["status"], 200)

    def test_http10_keep_alive_then_http11_on_one_connection(self):
        self.behave("/k", body_text="abc")
        self.behave("/once", body_text="abc", keep_alive=False)
        absolute = b"http://127.0.0.1:%d/k" % self.ports["http"]
        exchanges = [
            (b"GET /k HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n", "keep-alive"),
            (b"GET /k HTTP/1.1\r\nHost: x\r\n\r\n", "keep-alive"),
            # Absolute form, as Wine sends a proxied request on a kept-alive origin connection.
            (b"GET " + absolute + b" HTTP/1.0\r\nProxy-Connection: Keep-Alive\r\nConnection: Keep-Alive\r\n\r\n",
             "keep-alive"),
            (b"GET /k HTTP/1.0\r\n\r\n", "close"),
        ]
        sock = self.raw(self.ports["http"])
        for request, connection_header in exchanges:
            sock.sendall(request)
            response, data = read_response(sock)
            self.assertEqual((response.status, data), (200, b"abc"))
            self.assertEqual(response.getheader("Connection"), connection_header)
            self.assertEqual(response.getheader("Content-Length"), "3")
        self.assertEqual(sock.recv(1), b"")  # closed after the plain HTTP/1.0 request
        records = self.records()
        self.assertEqual([r["version"] for r in records], ["HTTP/1.0", "HTTP/1.1", "HTTP/1.0", "HTTP/1.0"])
        self.assertEqual([r["path"] for r in records], ["/k"] * 4)
        self.assertEqual(records[2]["target"], absolute.decode())
        self.assertEqual(len({r["connection"] for r in records}), 1)
        sock = self.raw(self.ports["http"])
        sock.sendall(b"GET /once HTTP/1.1\r\nHost: x\r\n\r\n")
        self.assertEqual(read_response(sock)[0].getheader("Connection"), "close")
        self.assertEqual(sock.recv(1), b"")

    def test_reset_and_records_by_prefix(self):
        self.behave("/a/x", body_text="a")
        self.behave("/b/x", body_text="b")
        self.fetch("/a/x")
        self.fetch("/b/x")
        self.control("POST", "reset", {"prefix": "/a/"})
        self.assertEqual(self.fetch("/a/x")[0].status, 404)
        self.assertEqual(self.fetch("/b/x")[1], b"b")
        self.assertEqual([r["path"] for r in self.records()], ["/b/x", "/a/x", "/b/x"])
        self.assertEqual([r["path"] for r in self.records("/b/")], ["/b/x", "/b/x"])
        self.control("POST", "clear_requests", {"prefix": "/b/"})
        self.assertEqual([r["path"] for r in self.records()], ["/a/x"])

    def test_bad_control_input_is_refused(self):
        cases = [
            ({"path": "/x", "behaviour": {"bogus": 1}}, "bogus"),
            ({"path": "/x", "behaviour": {"statuses": "504"}}, "statuses"),
            ({"path": "/x", "behaviour": {"body_text": "a", "body_pattern": 3}}, "at most one"),
            ({"path": "/x", "behaviour": {"headers": {"Content-Length": "3"}}}, "Content-Length"),
            ({"path": "/x", "behaviour": {"ranges": "maybe"}}, "ranges"),
            ({"path": "/x", "behaviour": {"body_file": "/no/such/file"}}, "body_file"),
            ({"path": "/x", "behaviour": {"basic_auth": "nocolon"}}, "basic_auth"),
            ({"path": "/x", "behaviour": {"keep_alive": "no"}}, "keep_alive"),
            ({"path": "x", "behaviour": {}}, "path"),
            ({"path": "/x"}, "behaviour"),
        ]
        for data, word in cases:
            with self.subTest(data=data):
                self.assertIn(word, self.control("POST", "behaviour", data, expect=400)["error"])
        self.control("POST", "proxy", {"credentials": "nocolon"}, expect=400)
        self.control("GET", "nothing-here", expect=404)

    # --- static folder --------------------------------------------------------------------------------

    def test_docroot_serves_files_and_nothing_outside(self):
        response, data = self.fetch("/sub/file.bin", {"Range": "bytes=4-"})
        self.assertEqual((response.status, data), (206, b"456789"))
        for target in ("/../secret.txt", "/%2e%2e/secret.txt", "/sub/../../secret.txt", "/missing"):
            with self.subTest(target=target):
                sock = self.raw(self.ports["http"])
                sock.sendall(b"GET %s HTTP/1.0\r\n\r\n" % target.encode())
                self.assertEqual(read_response(sock)[0].status, 404)
        self.behave("/sub/file.bin", body_text="behaviour wins")
        self.assertEqual(self.fetch("/sub/file.bin")[1], b"behaviour wins")

    # --- proxy -------------------------------------------------------------------------------------

    def proxy_get(self, sock, path, version=b"HTTP/1.0", extra=b""):
        sock.sendall(b"GET http://127.0.0.1:%d%s %s\r\nProxy-Connection: Keep-Alive\r\n%s\r\n"
                     % (self.ports["http"], path.encode(), version, extra))
        return read_response(sock)

    def test_proxy_asks_for_credentials_then_forwards(self):
        self.behave("/p.msi", body_text="through the proxy")
        self.control("POST", "proxy", {"credentials": "puser:ppass", "realm": "Test Realm"})
        sock = self.raw(self.ports["proxy"])  # one kept-alive connection, as WinINet re-sends on it
        response, _ = self.proxy_get(sock, "/p.msi")
        self.assertEqual(response.status, 407)
        self.assertEqual(response.getheader("Proxy-Authenticate"), 'Basic realm="Test Realm"')
        self.assertEqual(response.getheader("Connection"), "keep-alive")
        response, _ = self.proxy_get(sock, "/p.msi", extra=b"Proxy-Authorization: %s\r\n"
                                     % basic("puser:wrong").encode())
        self.assertEqual(response.status, 407)
        response, data = self.proxy_get(sock, "/p.msi", b"HTTP/1.1", b"Proxy-Authorization: %s\r\n"
                                        % basic("puser:ppass").encode())
        self.assertEqual((response.status, data), (200, b"through the proxy"))
        proxy = self.control("GET", "proxy")
        self.assertEqual((proxy["challenges_sent"], proxy["forwarded"]), (2, 1))
        records = self.records()
        self.assertEqual([(r["listener"], r["path"], r["status"]) for r in records],
                         [("proxy", "/p.msi", 407)] * 2 + [("proxy", "/p.msi", 200)])
        self.assertEqual(records[0]["target"], "http://127.0.0.1:%d/p.msi" % self.ports["http"])
        self.assertIn(["Proxy-Authorization", basic("puser:ppass")], records[2]["headers"])

    def test_proxy_challenge_count_and_refusals(self):
        self.behave("/q", body_text="q")
        self.control("POST", "proxy", {"challenge_count": 2})
        sock = self.raw(self.ports["proxy"])
        self.assertEqual([self.proxy_get(sock, "/q")[0].status for _ in range(3)], [407, 407, 200])
        cases = [
            (b"GET /q HTTP/1.0\r\n\r\n", 400),  # not an absolute URI
            (b"GET http://example.invalid/q HTTP/1.0\r\n\r\n", 502),
            (b"CONNECT example.invalid:443 HTTP/1.0\r\n\r\n", 403),
        ]
        for request, status in cases:
            with self.subTest(request=request):
                sock = self.raw(self.ports["proxy"])
                sock.sendall(request)
                self.assertEqual(read_response(sock)[0].status, status)

    def test_proxy_tunnels_tls_after_authentication(self):
        self.behave("/t", body_text="tunnelled")
        self.control("POST", "proxy", {"credentials": "puser:ppass"})
        for auth, outcome in ((None, "407"), (basic("puser:ppass"), 200)):
            with self.subTest(auth=auth):
                connection = http.client.HTTPSConnection("127.0.0.1", self.ports["proxy"], timeout=10,
                                                         context=ssl._create_unverified_context())
                connection.set_tunnel("localhost", self.ports["https"],
                                      {"Proxy-Authorization": auth} if auth else None)
                if outcome == "407":
                    with self.assertRaisesRegex(OSError, "407"):
                        connection.request("GET", "/t")
                else:
                    connection.request("GET", "/t")
                    response = connection.getresponse()
                    self.assertEqual((response.status, response.read()), (200, b"tunnelled"))
                connection.close()
        self.assertEqual([(r["listener"], r["method"]) for r in self.records()],
                         [("proxy", "CONNECT"), ("proxy", "CONNECT"), ("https", "GET")])

    # --- certificates --------------------------------------------------------------------------------

    def test_each_https_port_has_its_certificate_fault(self):
        # The server's own certificate is the trust anchor, so only the fault built into it remains.
        cases = [("https", None), ("https_expired", "certificate has expired"),
                 ("https_wrongname", "Hostname mismatch")]
        for listener, fault in cases:
            with self.subTest(listener=listener):
                pem = ssl.get_server_certificate(("127.0.0.1", self.ports[listener]))
                context = ssl.create_default_context(cadata=pem)
                sock = socket.create_connection(("127.0.0.1", self.ports[listener]), timeout=10)
                with context.wrap_socket(sock, server_hostname="localhost", do_handshake_on_connect=False) as tls:
                    if fault is None:
                        tls.do_handshake()
                    else:
                        with self.assertRaisesRegex(ssl.SSLCertVerificationError, fault):
                            tls.do_handshake()
                self.assertEqual(self.fetch("/missing", listener=listener)[0].status, 404)


class VtServerLifecycleTest(unittest.TestCase):
    def test_detach_fixed_port_and_stop(self):
        folder = tempfile.mkdtemp(prefix="vtserver-life-")
        port_file, pid_file, log = (os.path.join(folder, n) for n in ("ports.json", "pid", "server.log"))
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            fixed = probe.getsockname()[1]
        start = subprocess.run([sys.executable, SERVER, "--detach", "--port-file", port_file, "--pid-file",
                                pid_file, "--log", log, "--http-port", str(fixed)],
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        self.assertEqual(start.returncode, 0, start.stdout)
        with open(port_file) as ports_text:
            ports = json.load(ports_text)
        self.assertEqual(set(ports), LISTENERS)
        self.assertEqual(ports["http"], fixed)
        connection = http.client.HTTPConnection("127.0.0.1", fixed, timeout=10)
        connection.request("GET", "/_control/ping")
        self.assertEqual(connection.getresponse().status, 200)
        connection.close()
        stop = subprocess.run([sys.executable, SERVER, "--stop", "--pid-file", pid_file],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        self.assertEqual(stop.returncode, 0, stop.stdout)
        self.assertFalse(os.path.exists(port_file) or os.path.exists(pid_file))
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", fixed), timeout=5).close()
        again = subprocess.run([sys.executable, SERVER, "--stop", "--pid-file", pid_file],
                               stdout=subprocess.PIPE, timeout=60)
        self.assertEqual(again.returncode, 0)


if __name__ == "__main__":
    unittest.main()
