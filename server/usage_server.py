#!/usr/bin/env python3
"""Valvenix usage server: counts the actions the program reports (one HEAD per solve or curve
drawing), serves the welcome file and renders the statistics page, over HTTPS only.

    python3 server/usage_server.py --bind 127.0.0.1 --port 8443 --cert CERT.pem --key KEY.pem \
        --db usage.sqlite --welcome introduction.rtf [--notice NOTE.txt]

Only the action name and the day are stored: no address, no header. --port 0 picks a free port;
the address actually bound is printed on the first line of standard output."""

import argparse
import datetime
import os
import signal
import socket
import sqlite3
import ssl
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import urlsplit

sys.dont_write_bytecode = True  # leave no cache files beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from usage_page import CURVE_ACTION, circuit_of, render_statistics, RECENT_DAYS  # noqa: E402
from usage_store import UsageStore  # noqa: E402

LOG_PATH = "/log/desktop.php"
WELCOME_PATH = "/log/introduction.rtf"
STATISTICS_PATH = "/log/getNewDatalog.php"
MAX_TARGET = 200  # longest request target accepted, in characters
MAX_FILE = 4 << 20  # largest welcome file served
MAX_NOTICE = 16 << 10
MAX_CONNECTIONS = 32
CONNECTION_TIMEOUT = 10  # seconds for the TLS handshake and each read


def is_action(name):
    return name == CURVE_ACTION or circuit_of(name) is not None


def today():
    return datetime.datetime.now(datetime.timezone.utc).date()


def read_limited(path, limit):
    """The file's bytes, or None when it is missing, unreadable or larger than `limit`."""
    try:
        with open(path, "rb") as f:
            data = f.read(limit + 1)
    except OSError:
        return None
    return data if len(data) <= limit else None


class UsageHandler(BaseHTTPRequestHandler):
    server_version = "ValvenixUsage/1"

    def version_string(self):
        return self.server_version
    protocol_version = "HTTP/1.0"  # one request per connection

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        if self.server.verbose:
            sys.stderr.write("%s\n" % (format % args))

    def _target(self):
        """(path, query) of a well-formed target, or None after answering 400."""
        if len(self.path) > MAX_TARGET or not self.path.startswith("/") or "#" in self.path:
            self.send_error(400, "Malformed request")
            return None
        parts = urlsplit(self.path)
        return parts.path, parts.query

    def _send(self, status, body, content_type, with_body):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        if with_body:
            self.wfile.write(body)

    def do_HEAD(self):
        self._answer(with_body=False)

    def do_GET(self):
        self._answer(with_body=True)

    def _answer(self, with_body):
        target = self._target()
        if target is None:
            return
        path, query = target
        if path == LOG_PATH:
            self._log(query, with_body)
        elif path in (WELCOME_PATH, STATISTICS_PATH):
            if query:
                self.send_error(400, "No parameters expected")
            elif path == WELCOME_PATH:
                self._welcome(with_body)
            else:
                self._statistics(with_body)
        else:
            self.send_error(404, "Unknown path")

    def _log(self, query, with_body):
        if with_body:  # actions are logged with HEAD only
            self.send_error(405, "Use HEAD")
            return
        key, _, name = query.partition("=")
        if key != "action" or not is_action(name):
            self.send_error(400, "Unknown action")
            return
        try:
            self.server.store.count(name, today().isoformat())
        except sqlite3.Error:
            self.send_error(503, "Counts unavailable")
            return
        self._send(200, b"", "text/plain", False)

    def _welcome(self, with_body):
        data = read_limited(self.server.welcome, MAX_FILE)
        if data is None:
            self.send_error(404, "No welcome file")
            return
        self._send(200, data, "application/rtf", with_body)

    def _statistics(self, with_body):
        store, day = self.server.store, today()
        notice = b""
        if self.server.notice:
            notice = read_limited(self.server.notice, MAX_NOTICE) or b""
        since = (day - datetime.timedelta(days=RECENT_DAYS - 1)).isoformat()
        try:
            totals, first, recent = store.totals(), store.first_day(), store.days_since(since)
        except sqlite3.Error:
            self.send_error(503, "Counts unavailable")
            return
        page = render_statistics(totals, first, recent, day, notice.decode("utf-8", "replace"))
        self._send(200, page.encode("utf-8"), "text/html; charset=utf-8", with_body)


class UsageServer(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False  # stopping does not wait for slow clients

    def __init__(self, address, context, store, welcome, notice, verbose):
        family = socket.AF_INET6 if ":" in address[0] else socket.AF_INET
        self.address_family = family
        super().__init__(address, UsageHandler)
        # The handshake runs in the connection's own thread, so a silent client blocks nobody.
        self.socket = context.wrap_socket(self.socket, server_side=True, do_handshake_on_connect=False)
        self.store, self.welcome, self.notice, self.verbose = store, welcome, notice, verbose
        self._slots = threading.BoundedSemaphore(MAX_CONNECTIONS)

    def process_request(self, request, client_address):
        if not self._slots.acquire(blocking=False):
            self.shutdown_request(request)
            return
        try:
            super().process_request(request, client_address)
        except Exception:
            self._slots.release()
            raise

    def process_request_thread(self, request, client_address):
        try:
            request.settimeout(CONNECTION_TIMEOUT)
            request.do_handshake()
        except (OSError, ValueError):
            self.shutdown_request(request)
            self._slots.release()
            return
        try:
            super().process_request_thread(request, client_address)
        finally:
            self._slots.release()

    def handle_error(self, request, client_address):
        if self.verbose:
            super().handle_error(request, client_address)


def tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    return context


def parse_args(argv):
    p = argparse.ArgumentParser(description="Valvenix usage statistics server (HTTPS).")
    p.add_argument("--bind", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    p.add_argument("--port", type=int, default=8443, help="port (default 8443; 0 picks a free one)")
    p.add_argument("--cert", required=True, help="server certificate chain, PEM")
    p.add_argument("--key", required=True, help="private key of the certificate, PEM")
    p.add_argument("--db", required=True, help="SQLite file of the counts (created when missing)")
    p.add_argument("--welcome", required=True, help="file served as the welcome text")
    p.add_argument("--notice", help="markup shown above the statistics (optional)")
    p.add_argument("--verbose", action="store_true", help="log requests and errors to stderr")
    return p.parse_args(argv)


def main(argv=None):
    args = parse_args(argv)
    if not os.path.isfile(args.welcome):
        sys.exit("usage_server: no welcome file %s" % args.welcome)
    try:
        context = tls_context(args.cert, args.key)
        store = UsageStore(args.db)
        server = UsageServer((args.bind, args.port), context, store, args.welcome, args.notice,
                             args.verbose)
    except (OSError, ssl.SSLError, ValueError, sqlite3.Error) as e:
        sys.exit("usage_server: %s" % e)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    host, port = server.server_address[:2]
    print("listening on https://%s:%d" % (host if ":" not in host else "[%s]" % host, port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
