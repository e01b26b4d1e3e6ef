"""Request handlers of the test server: the origin (behaviour table, static folder, control API) and the
forward proxy (absolute-URI requests answered from the same table, CONNECT tunnels to loopback ports).

Every request outside the control API is recorded before it is answered, so a test that reads the records
after its client returned sees the request together with the status it got.
"""

import base64
import collections
import json
import mimetypes
import os
import select
import socket
import struct
import time
import urllib.parse
from http import HTTPStatus
from http.server import BaseHTTPRequestHandler

from vtserver_bodies import FileBody, InlineBody, UNSATISFIABLE, parse_range
from vtserver_state import BehaviourError, credentials_match

CONTROL_PREFIX = "/_control/"
IDLE_TIMEOUT_S = 60
LOOPBACK_HOSTS = ("127.0.0.1", "localhost", "::1")
_RANGE_METHODS = ("GET", "HEAD")


class Delivery(collections.namedtuple(
        "Delivery", "headers close_after close_mode close_delay_ms chunk_size chunk_delay_ms keep_alive",
        defaults=((), None, "fin", 0, 65536, 0, True))):
    """How an answer goes out: extra headers, an early close, pacing, and whether keep-alive is allowed."""


class ServerContext:
    """What all listeners of one server process share."""

    def __init__(self, state, docroot, verbose):
        self.state = state
        self.docroot = os.path.realpath(docroot) if docroot else None
        self.verbose = verbose
        self.ports = {}


def _merge_headers(defaults, overrides):
    """A behaviour's header replaces the server's default header of the same name."""
    names = {name.lower() for name, _ in overrides}
    return [(n, v) for n, v in defaults if n.lower() not in names] + list(overrides)


def _origin_form(target):
    """Path and query of an absolute-URI request target (which every HTTP/1.1 server must accept, and which a
    client reusing a kept-alive origin connection for a proxied request sends); other targets unchanged."""
    if not target.lower().startswith(("http://", "https://")):
        return target
    parts = urllib.parse.urlsplit(target)
    return urllib.parse.urlunsplit(("", "", parts.path or "/", parts.query, ""))


def _text_or_none(data):
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return None


class _Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "vtserver/1.0"
    timeout = IDLE_TIMEOUT_S

    def setup(self):
        super().setup()
        self.context = self.server.context
        self.connection_id = self.context.state.new_connection_id()

    def log_message(self, fmt, *args):
        if self.context.verbose:
            super().log_message(fmt, *args)

    # --- request plumbing -----------------------------------------------------------------------------

    def _keep_alive(self):
        """HTTP/1.1 keeps the connection unless told to close; HTTP/1.0 only when it asks for keep-alive."""
        tokens = set()
        for name in self._connection_header_names():
            for value in self.headers.get_all(name, []):
                tokens.update(token.strip().lower() for token in value.split(","))
        if "close" in tokens:
            return False
        return self.request_version == "HTTP/1.1" or "keep-alive" in tokens

    def _connection_header_names(self):
        return ("Connection",)

    def _read_body(self):
        """The request body, or None after recording and answering a request whose body cannot be read (the
        connection is closed then, as the rest of the stream cannot be framed)."""
        refusal = None
        if "Transfer-Encoding" in self.headers:
            refusal = 501, b"chunked request bodies are not supported\n"
        length_text = self.headers.get("Content-Length", "0").strip()
        if not length_text.isdigit():
            refusal = 400, b"bad Content-Length\n"
        if refusal is None:
            return self.rfile.read(int(length_text))
        record = self._new_record(_origin_form(self.path), b"")
        self._send(refusal[0], [("Content-Type", "text/plain")], InlineBody(refusal[1]), keep_alive=False,
                   record=record)
        return None

    def _new_record(self, path, body):
        record = {
            "seq": 0, "listener": self.server.listener, "connection": self.connection_id,
            "method": self.command, "target": self.path, "path": path, "version": self.request_version,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body_base64": base64.b64encode(body).decode("ascii"), "body_text": _text_or_none(body),
            "status": None,
        }
        self.context.state.add_record(record)
        return record

    # --- answers ----------------------------------------------------------------------------------

    def _send(self, status, headers, body, first=0, length=None, keep_alive=None, record=None,
              delivery=None):
        """Sends status, headers and body[first:first+length]. Content-Length always tells the full length,
        also when the delivery cuts the connection after close_after body bytes."""
        delivery = delivery or Delivery()
        length = body.size() - first if length is None else length
        if keep_alive is None:
            keep_alive = delivery.keep_alive and self._keep_alive()
        if record is not None:
            record["status"] = int(status)
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(length))
        self.send_header("Connection", "keep-alive" if keep_alive else "close")
        if not keep_alive:
            self.close_connection = True
        self.end_headers()
        if self.command == "HEAD":
            return
        close_after = delivery.close_after
        cut_at = close_after if close_after is not None and close_after < length else None
        sent = 0
        if cut_at == 0:
            return self._abort(delivery)
        for chunk in body.chunks(first, length, delivery.chunk_size):
            if cut_at is not None and sent + len(chunk) >= cut_at:
                self.wfile.write(chunk[:cut_at - sent])
                return self._abort(delivery)
            self.wfile.write(chunk)
            sent += len(chunk)
            if delivery.chunk_delay_ms:
                time.sleep(delivery.chunk_delay_ms / 1000.0)
        if sent < length:  # a body file that shrank while being served: do not leave the client waiting
            self._abort(Delivery())

    def _abort(self, delivery):
        """Ends the connection in the middle of a body: a FIN ("fin") or an abortive close with RST ("reset"),
        after close_delay_ms so the client has consumed the bytes sent and is waiting for more. Neither sends a
        TLS close_notify, so a TLS client sees a truncated stream too."""
        self.close_connection = True
        if delivery.close_delay_ms:
            time.sleep(delivery.close_delay_ms / 1000.0)
        try:
            if delivery.close_mode == "reset":
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.rfile.close()  # drops the makefile reference so close() really closes the socket
                self.connection.close()
            else:
                self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def _send_simple(self, status, record, extra_headers=(), delivery=None):
        """A short text answer for statuses that carry no configured body (401, 404, 504...)."""
        try:
            phrase = HTTPStatus(status).phrase
        except ValueError:
            phrase = "Status"
        text = ("%d %s\n" % (status, phrase)).encode("ascii")
        headers = _merge_headers([("Content-Type", "text/plain")], extra_headers)
        delivery = (delivery or Delivery())._replace(headers=(), close_after=None)
        self._send(status, headers, InlineBody(text), record=record, delivery=delivery)

    def _send_json(self, status, value):
        data = json.dumps(value).encode("utf-8")
        self._send(status, [("Content-Type", "application/json")], InlineBody(data))

    def _send_content(self, body, content_type, honour_ranges, record, delivery=None):
        """200 with the whole body, 206 with the asked range, or 416 when the range starts past the end."""
        delivery = delivery or Delivery()
        try:
            size = body.size()
        except OSError as error:
            return self._send_simple(500, record, [("X-Vtserver-Error", str(error))], delivery)
        wanted = None
        if honour_ranges and self.command in _RANGE_METHODS:
            wanted = parse_range(self.headers.get("Range"), size)
        defaults = [("Content-Type", content_type)]
        if honour_ranges:
            defaults.append(("Accept-Ranges", "bytes"))
        if wanted == UNSATISFIABLE:
            defaults.append(("Content-Range", "bytes */%d" % size))
            return self._send(416, _merge_headers(defaults, delivery.headers), InlineBody(b""), record=record,
                              delivery=delivery._replace(close_after=None))
        status, first, length = 200, 0, size
        if wanted is not None:
            status, first, length = 206, wanted[0], wanted[1] - wanted[0] + 1
            defaults.append(("Content-Range", "bytes %d-%d/%d" % (wanted[0], wanted[1], size)))
        self._send(status, _merge_headers(defaults, delivery.headers), body, first, length, record=record,
                   delivery=delivery)

    # --- the origin's behaviour -------------------------------------------------------------------

    def _serve_origin(self, path, record):
        state = self.context.state
        behaviour = state.find_behaviour(path)
        if behaviour is None:
            return self._serve_docroot(path, record)
        if behaviour.delay_ms:
            time.sleep(behaviour.delay_ms / 1000.0)
        delivery = Delivery(behaviour.headers, None, behaviour.close_mode, behaviour.close_delay_ms,
                            behaviour.chunk_size, behaviour.chunk_delay_ms, behaviour.keep_alive)
        if behaviour.authorization is not None and not credentials_match(
                self.headers.get("Authorization"), behaviour.authorization):
            # A refused request does not use up an entry of the status sequence.
            challenge = [("WWW-Authenticate", 'Basic realm="vtserver"')]
            return self._send_simple(401, record, _merge_headers(challenge, behaviour.headers), delivery)
        attempt = state.take_attempt(behaviour)
        status = behaviour.status_for(attempt)
        if status != 200:
            return self._send_simple(status, record, behaviour.headers, delivery)
        self._send_content(behaviour.body, behaviour.content_type, behaviour.ranges == "honour", record,
                           delivery._replace(close_after=behaviour.close_after_for(attempt)))

    def _serve_docroot(self, path, record):
        found = self._docroot_file(path)
        if found is None:
            return self._send_simple(404, record)
        content_type = mimetypes.guess_type(found)[0] or "application/octet-stream"
        self._send_content(FileBody(found), content_type, True, record)

    def _docroot_file(self, path):
        """The file under the static folder for a URL path; None outside it (no "..", no symlink escape)."""
        root = self.context.docroot
        if root is None:
            return None
        relative = urllib.parse.unquote(urllib.parse.urlsplit(path).path).lstrip("/")
        try:
            candidate = os.path.realpath(os.path.join(root, relative))
        except ValueError:  # an encoded NUL byte
            return None
        if candidate != root and not candidate.startswith(root + os.sep):
            return None
        if os.path.isdir(candidate):
            candidate = os.path.join(candidate, "index.html")
        return candidate if os.path.isfile(candidate) else None


class OriginHandler(_Handler):
    """Plain HTTP and HTTPS listeners. The control API is served on the plain listener only."""

    def _dispatch(self):
        body = self._read_body()
        if body is None:
            return
        path = _origin_form(self.path)
        if path.startswith(CONTROL_PREFIX) and self.server.control:
            return self._control(path, body)
        self._serve_origin(path, self._new_record(path, body))

    do_GET = do_HEAD = do_POST = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = _dispatch

    def _control(self, path, body):
        parts = urllib.parse.urlsplit(path)
        call = (self.command, parts.path[len(CONTROL_PREFIX):])
        query = dict(urllib.parse.parse_qsl(parts.query))
        state = self.context.state
        try:
            data = json.loads(body.decode("utf-8")) if body.strip() else {}
            if call[0] == "POST" and not isinstance(data, dict):
                raise BehaviourError("the request body must be a JSON object")
            prefix = query.get("prefix") if call[0] == "GET" else data.get("prefix")
            if prefix is not None and not isinstance(prefix, str):
                raise BehaviourError("prefix must be a string")
            if call == ("GET", "ping"):
                return self._send_json(200, {"ok": True})
            if call == ("GET", "ports"):
                return self._send_json(200, self.context.ports)
            if call == ("POST", "reset"):
                state.reset(prefix)
            elif call == ("POST", "behaviour"):
                if "behaviour" not in data:
                    raise BehaviourError('give "path" and "behaviour" (null removes it)')
                state.set_behaviour(data.get("path"), data["behaviour"])
            elif call == ("GET", "requests"):
                return self._send_json(200, {"requests": state.records(prefix)})
            elif call == ("POST", "clear_requests"):
                state.clear_records(prefix)
            elif call == ("POST", "proxy"):
                state.set_proxy(data)
            elif call == ("GET", "proxy"):
                return self._send_json(200, state.proxy_description())
            else:
                return self._send_json(404, {"error": "no control call %s %s" % call})
        except (ValueError, BehaviourError) as error:
            return self._send_json(400, {"error": str(error)})
        self._send_json(200, {"ok": True})


class ProxyHandler(_Handler):
    """Forward proxy with optional Basic proxy authentication, for requests to this server's loopback ports."""

    def _connection_header_names(self):
        return ("Connection", "Proxy-Connection")

    def _dispatch(self):
        body = self._read_body()
        if body is None:
            return
        try:
            target = urllib.parse.urlsplit(self.path)
            port = target.port
        except ValueError:
            target, port = None, None
        if target is None or target.scheme != "http" or not target.hostname:
            # Not an absolute http URI, so not a proxy request.
            return self._send_simple(400, self._new_record(self.path, body))
        path = _origin_form(self.path)
        record = self._new_record(path, body)
        if not self._admitted(record):
            return
        if target.hostname not in LOOPBACK_HOSTS or (port or 80) != self.context.ports.get("http"):
            return self._send_simple(502, record, [("X-Vtserver-Error", "only this server's http port is served")])
        self._serve_origin(path, record)

    do_GET = do_HEAD = do_POST = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = _dispatch

    def _admitted(self, record):
        admitted, realm = self.context.state.proxy_admits(self.headers.get("Proxy-Authorization"))
        if not admitted:
            self._send_simple(407, record, [("Proxy-Authenticate", 'Basic realm="%s"' % realm)])
        return admitted

    def do_CONNECT(self):
        body = self._read_body()
        if body is None:
            return
        record = self._new_record(self.path, body)
        host, _, port_text = self.path.rpartition(":")
        host = host.strip("[]")
        if host not in LOOPBACK_HOSTS or not port_text.isdigit():
            return self._send_simple(403, record, [("X-Vtserver-Error", "tunnels go to loopback ports only")])
        if not self._admitted(record):
            return
        try:
            upstream = socket.create_connection((host, int(port_text)), timeout=10)
        except OSError as error:
            return self._send_simple(502, record, [("X-Vtserver-Error", str(error))])
        try:
            record["status"] = 200
            self.send_response(200, "Connection established")
            self.end_headers()
            self._relay(upstream)
        finally:
            upstream.close()
            self.close_connection = True

    def _relay(self, upstream):
        """Copies bytes both ways until one side closes or the tunnel stays idle too long."""
        client = self.connection
        client.settimeout(None)
        upstream.settimeout(None)
        peers = {client: upstream, upstream: client}
        try:
            while True:
                readable, _, _ = select.select(list(peers), [], [], IDLE_TIMEOUT_S)
                if not readable:
                    return
                for source in readable:
                    data = source.recv(65536)
                    if not data:
                        return
                    peers[source].sendall(data)
        except OSError:
            pass
