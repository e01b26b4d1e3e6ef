"""The test server's listening sockets: plain HTTP (with the control API), three HTTPS variants and the proxy.

Each listener is a ThreadingHTTPServer, one thread per connection, so a kept-alive or slowed-down connection
never holds up another. TLS handshakes run in the connection's thread: a client that stalls or rejects the
certificate cannot block the accept loop.
"""

import socketserver
import ssl
import sys
from http.server import ThreadingHTTPServer

from vtserver_certs import EXPIRED, GOOD, WRONG_NAME
from vtserver_handlers import OriginHandler, ProxyHandler

HANDSHAKE_TIMEOUT_S = 10

HTTP = "http"
PROXY = "proxy"
# Listener names in the order of the port file.
LISTENER_NAMES = (HTTP, GOOD, EXPIRED, WRONG_NAME, PROXY)


class PlainListener(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, handler, context, name, control):
        self.context = context
        self.listener = name
        self.control = control
        super().__init__(address, handler)

    def server_bind(self):
        # HTTPServer.server_bind would also look the address up in DNS for a server name nobody uses here.
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]

    def handle_error(self, request, client_address):
        # A client that hangs up or times out is normal in these tests (early closes, aborted downloads).
        error = sys.exc_info()[1]
        if isinstance(error, (ConnectionError, TimeoutError, ssl.SSLError)) and not self.context.verbose:
            return
        super().handle_error(request, client_address)


class TlsListener(PlainListener):
    def __init__(self, address, handler, context, name, certificate):
        self.ssl_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        self.ssl_context.load_cert_chain(*certificate)
        super().__init__(address, handler, context, name, control=False)

    def finish_request(self, request, client_address):
        try:
            request.settimeout(HANDSHAKE_TIMEOUT_S)
            tls = self.ssl_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            if self.context.verbose:
                sys.stderr.write("%s: TLS handshake with %s failed: %s\n" % (self.listener, client_address, error))
            return
        try:
            self.RequestHandlerClass(tls, client_address, self)
        finally:
            tls.close()


def make_listeners(bind_address, ports, context, certificates):
    """ports: {listener name: port, 0 for a free one}. Returns {listener name: listener}, all listening."""
    made = {}
    try:
        made[HTTP] = PlainListener((bind_address, ports[HTTP]), OriginHandler, context, HTTP, control=True)
        for name in (GOOD, EXPIRED, WRONG_NAME):
            made[name] = TlsListener((bind_address, ports[name]), OriginHandler, context, name, certificates[name])
        made[PROXY] = PlainListener((bind_address, ports[PROXY]), ProxyHandler, context, PROXY, control=False)
    except BaseException:
        for listener in made.values():
            listener.server_close()
        raise
    return made
