#!/usr/bin/env python3
"""Loopback HTTP and HTTPS server for the update agent's network tests.

Usage: ua-test-server.py <state-dir>

Listens on 127.0.0.1 only, on ports the system picks: plain HTTP, and HTTPS
with the server certificate signed by the test authority ("https"), with one
for another name ("https_wrongname") and with a self-signed one
("https_selfsigned"); the certificates come from scripts/ua-test-certs in the
same folder. Once every port listens it writes "<name>=<port>" lines to
ports.txt. Every request is appended to requests.log as "<METHOD> <path>"
before it is answered.

What an answer looks like is chosen by the path: its segments of the form
key=value set options, the last segment is the file name. Options:
  s=<status>       status code (200)
  size=<bytes>     body size (1000); the body is a fixed byte pattern
  body=upper|lower an HTML page holding "<HTML>" or "<html>" instead
  len=none         no Content-Length; the connection closes after the body
  cut=<bytes>      announce the full size but send only this much, then close
  delay=<ms>       wait before the status line
  stall=<ms>       after the first 4000 bytes of the body, wait before the rest
  file=<name>      the body is the file <state-dir>/files/<name> instead
  get=<status>     status code of GET requests only (HEAD keeps s=)
"""
import http.server
import os
import signal
import socket
import ssl
import sys
import threading
import time

STATE = sys.argv[1] if len(sys.argv) > 1 else "."
LOG_LOCK = threading.Lock()


def log_request_line(method, path):
    with LOG_LOCK:
        with open(os.path.join(STATE, "requests.log"), "a") as log:
            log.write("%s %s\n" % (method, path))
            log.flush()


def pattern(size):
    return bytes((i * 7 + 13) % 251 for i in range(size))


def html_page(upper, size):
    tag = b"<HTML>" if upper else b"<html>"
    close = b"</HTML>" if upper else b"</html>"
    page = tag + b"<body>Not found</body>" + close
    return page + b" " * max(0, size - len(page))


def served_file(name):
    """A file the tests placed in the state folder's "files" folder."""
    if "/" in name or "\\" in name or name.startswith("."):
        return b""
    try:
        with open(os.path.join(STATE, "files", name), "rb") as handle:
            return handle.read()
    except OSError:
        return b""


def parse_options(path):
    options = {}
    for segment in path.split("?", 1)[0].split("/"):
        if "=" in segment:
            key, value = segment.split("=", 1)
            options[key] = value
    return options


def pause(milliseconds, connection):
    """Waits, but gives up early when the client went away."""
    deadline = time.monotonic() + milliseconds / 1000.0
    while time.monotonic() < deadline:
        try:
            connection.settimeout(0.05)
            if connection.recv(1, socket.MSG_PEEK) == b"":
                return False
        except (socket.timeout, BlockingIOError, ssl.SSLWantReadError):
            pass
        except (OSError, ValueError):
            return False
        finally:
            try:
                connection.settimeout(None)
            except OSError:
                pass
    return True


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, with_body):
        log_request_line(self.command, self.path)
        options = parse_options(self.path)
        if "delay" in options and not pause(int(options["delay"]), self.connection):
            self.close_connection = True
            return
        size = int(options.get("size", "1000"))
        if options.get("body") in ("upper", "lower"):
            body = html_page(options["body"] == "upper", size)
        elif "file" in options:
            body = served_file(options["file"])
        else:
            body = pattern(size)
        status = options.get("s", "200")
        if with_body and "get" in options:
            status = options["get"]
        self.send_response(int(status))
        self.send_header("Content-Type", "application/octet-stream")
        if options.get("len") == "none":
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not with_body:
            return
        if "cut" in options:
            body = body[: int(options["cut"])]
            self.close_connection = True
        first, rest = body[:4000], body[4000:]
        self.wfile.write(first)
        self.wfile.flush()
        if "stall" in options and not pause(int(options["stall"]), self.connection):
            self.close_connection = True
            return
        self.wfile.write(rest)
        self.wfile.flush()

    def do_HEAD(self):
        self.answer(False)

    def do_GET(self):
        self.answer(True)

    def handle_one_request(self):
        try:
            super().handle_one_request()
        except (ConnectionError, ssl.SSLError, OSError):
            self.close_connection = True


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    context = None

    def get_request(self):
        connection, address = self.socket.accept()
        if self.context:
            # The handshake runs on the request's own thread, so a client that
            # refuses the certificate holds up nobody else.
            connection = self.context.wrap_socket(connection, server_side=True, do_handshake_on_connect=False)
        return connection, address

    def handle_error(self, request, client_address):
        pass


def make_server(cert=None, key=None):
    server = Server(("127.0.0.1", 0), Handler)
    if cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(STATE, cert), os.path.join(STATE, key))
        server.context = context
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    servers = {
        "http": make_server(),
        "https": make_server("server.pem", "server.key"),
        "https_wrongname": make_server("wrongname.pem", "wrongname.key"),
        "https_selfsigned": make_server("selfsigned.pem", "selfsigned.key"),
    }
    ports = "".join("%s=%d\n" % (name, s.server_address[1]) for name, s in servers.items())
    with open(os.path.join(STATE, "ports.txt.tmp"), "w") as out:
        out.write(ports)
    os.replace(os.path.join(STATE, "ports.txt.tmp"), os.path.join(STATE, "ports.txt"))
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *args: stop.set())
    signal.signal(signal.SIGINT, lambda *args: stop.set())
    while not stop.wait(0.5):
        pass
    for server in servers.values():
        server.shutdown()


if __name__ == "__main__":
    main()
