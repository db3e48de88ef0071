"""An HTTP server of the test's own on 127.0.0.1, for the web word files.

Each path has an answer: a status and a body sent as bytes, or silence (the connection is taken
and never answered). The server keeps every request's path and headers, and for a silent path
notes when the client gave up and closed the connection.
"""

import http.server
import select
import threading
import time

SILENT = object()


class WordServer:
    def __init__(self, answers):
        """answers: {path: (status, body bytes) or SILENT}; other paths get a 404."""
        self.answers = dict(answers)
        self.requests = []  # (path, {header name: [values]}, time.monotonic())
        self.given_up = {}  # silent path -> time.monotonic() the client closed
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                headers = {}
                for name, value in self.headers.items():
                    headers.setdefault(name.lower(), []).append(value)
                with server.lock:
                    server.requests.append((self.path, headers, time.monotonic()))
                answer = server.answers.get(self.path, (404, b"not here"))
                if answer is SILENT:
                    self.close_connection = True
                    server._hold(self.path, self.connection)
                    return
                status, body = answer
                self.send_response(status)
                self.send_header("Content-Type", "text/plain")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(body)
                self.close_connection = True

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.daemon_threads = True
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, path):
        return f"http://127.0.0.1:{self.port}{path}"

    def _hold(self, path, connection):
        """Says nothing until the client closes the connection or the server stops."""
        while not self.stopping.is_set():
            readable, _, _ = select.select([connection], [], [], 0.2)
            if readable:
                try:
                    data = connection.recv(4096)
                except OSError:
                    data = b""
                if not data:
                    with self.lock:
                        self.given_up[path] = time.monotonic()
                    return

    def requests_for(self, path):
        with self.lock:
            return [(headers, at) for p, headers, at in self.requests if p == path]

    def gave_up_at(self, path):
        with self.lock:
            return self.given_up.get(path)

    def close(self):
        self.stopping.set()
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join(timeout=10)
