"""The usage server over real HTTPS on 127.0.0.1, each test with its own server process, free port,
database and certificate: counting per day, refusals that store nothing, the welcome file, the
statistics page, and clients that misbehave."""

import datetime
import http.client
import os
import re
import socket
import sqlite3
import ssl
import subprocess
import sys
import tempfile
import unittest
import warnings

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "..", "server", "usage_server.py")
OPENSSL = os.environ.get("VALVENIX_OPENSSL", "openssl")
BOUND = 20  # seconds: no start, request or stop waits longer

WELCOME = b"{\\rtf1\\ansi Welcome \\'e9\\par}\n\x00\xff"  # any bytes, served as they are


def make_certificate(folder):
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run([OPENSSL, "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True, timeout=BOUND)
    return cert, key


def today():
    return datetime.datetime.now(datetime.timezone.utc).date()


def day(back):
    return (today() - datetime.timedelta(days=back)).isoformat()


class UsageServerCase(unittest.TestCase):
    seed = ()  # (day, action, n) rows stored before the server starts
    notice = None

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.folder = self._tmp.name
        self.addCleanup(self._tmp.cleanup)
        self.cert, self.key = make_certificate(self.folder)
        self.db = os.path.join(self.folder, "usage.sqlite")
        self.welcome = os.path.join(self.folder, "welcome.rtf")
        with open(self.welcome, "wb") as f:
            f.write(WELCOME)
        if self.seed:
            with sqlite3.connect(self.db) as conn:
                conn.execute("CREATE TABLE counts (day TEXT NOT NULL, action TEXT NOT NULL, "
                             "n INTEGER NOT NULL, PRIMARY KEY (day, action))")
                conn.executemany("INSERT INTO counts VALUES (?, ?, ?)", self.seed)
            conn.close()
        args = [sys.executable, SERVER, "--bind", "127.0.0.1", "--port", "0", "--cert", self.cert,
                "--key", self.key, "--db", self.db, "--welcome", self.welcome]
        if self.notice is not None:
            path = os.path.join(self.folder, "notice.txt")
            with open(path, "w", encoding="utf-8") as f:
                f.write(self.notice)
            args += ["--notice", path]
        self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.addCleanup(self.stop)
        line = self.process.stdout.readline().strip()
        m = re.fullmatch(r"listening on https://127\.0\.0\.1:(\d+)", line)
        self.assertIsNotNone(m, "first line %r" % line)
        self.port = int(m.group(1))
        self.context = ssl.create_default_context(cafile=self.cert)

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=BOUND)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(timeout=BOUND)
        self.process.stdout.close()
        self.process.stderr.close()

    def request(self, method, target):
        """(status, headers, body) of one request sent exactly as given."""
        conn = http.client.HTTPSConnection("127.0.0.1", self.port, context=self.context, timeout=BOUND)
        try:
            conn.putrequest(method, target, skip_accept_encoding=True)
            conn.endheaders()
            reply = conn.getresponse()
            return reply.status, dict(reply.getheaders()), reply.read()
        finally:
            conn.close()

    def rows(self):
        with sqlite3.connect(self.db) as conn:
            result = sorted(conn.execute("SELECT day, action, n FROM counts"))
        conn.close()
        return result


class CountingTest(UsageServerCase):
    seed = ((day(1), "schema7", 5),)

    def test_each_action_is_counted_per_day(self):
        for action in ("schema7", "schema7", "schema42", "tube", "schema1"):
            status, _, body = self.request("HEAD", "/log/desktop.php?action=" + action)
            self.assertEqual((status, body), (200, b""), action)
        self.assertEqual(self.rows(), sorted([
            (day(1), "schema7", 5),
            (day(0), "schema7", 2),
            (day(0), "schema42", 1),
            (day(0), "tube", 1),
            (day(0), "schema1", 1),
        ]))


class RefusalTest(UsageServerCase):
    def test_malformed_requests_are_refused_and_store_nothing(self):
        cases = [
            ("HEAD", "/log/desktop.php?action=schema0", 400),
            ("HEAD", "/log/desktop.php?action=schema43", 400),
            ("HEAD", "/log/desktop.php?action=schema07", 400),
            ("HEAD", "/log/desktop.php?action=Schema7", 400),
            ("HEAD", "/log/desktop.php?action=ECC83", 400),
            ("HEAD", "/log/desktop.php?action=", 400),
            ("HEAD", "/log/desktop.php", 400),
            ("HEAD", "/log/desktop.php?act=tube", 400),
            ("HEAD", "/log/desktop.php?action=tube&action=tube", 400),
            ("HEAD", "/log/desktop.php?action=tube%00", 400),
            ("HEAD", "/log/desktop.php?action=tube'%3B--", 400),
            ("HEAD", "/log/desktop.php?action=" + "schema7" * 40, 400),
            ("HEAD", "/log/desktop.php?action=tube#top", 400),
            ("HEAD", "https://127.0.0.1/log/desktop.php?action=tube", 400),
            ("GET", "/log/desktop.php?action=tube", 405),
            ("POST", "/log/desktop.php?action=tube", 501),
            ("PUT", "/log/desktop.php?action=tube", 501),
            ("HEAD", "/log/other.php?action=tube", 404),
            ("HEAD", "/log/desktop.php/?action=tube", 404),
            ("GET", "/log/../../etc/passwd", 404),
            ("GET", "/", 404),
            ("GET", "/log/getNewDatalog.php?all=1", 400),
            ("GET", "/log/introduction.rtf?x", 400),
        ]
        for method, target, status in cases:
            self.assertEqual(self.request(method, target)[0], status, "%s %s" % (method, target))
        self.assertEqual(self.rows(), [])

    def test_over_long_request_line_is_refused(self):
        status, _, _ = self.request("GET", "/log/getNewDatalog.php" + "x" * 70000)
        self.assertIn(status, (400, 414))
        self.assertEqual(self.request("HEAD", "/log/desktop.php?action=tube")[0], 200, "still serving")


class WelcomeTest(UsageServerCase):
    def test_welcome_file_is_served_byte_for_byte(self):
        status, headers, body = self.request("GET", "/log/introduction.rtf")
        self.assertEqual((status, body), (200, WELCOME))
        self.assertEqual(headers["Content-Length"], str(len(WELCOME)))
        status, headers, body = self.request("HEAD", "/log/introduction.rtf")
        self.assertEqual((status, body, headers["Content-Length"]), (200, b"", str(len(WELCOME))))

    def test_welcome_file_removed_while_running_gives_404(self):
        os.remove(self.welcome)
        self.assertEqual(self.request("GET", "/log/introduction.rtf")[0], 404)


ALLOWED_TAGS = {"<css=h1>", "<css=rou>", "</css>", "<b>", "</b>", "<br>"}


class StatisticsTest(UsageServerCase):
    seed = (
        (day(40), "schema1", 100),  # before the last 30 days: in the totals only
        (day(2), "schema12", 1),
        (day(2), "tube", 2),
        (day(0), "schema7", 3),
    )

    def page(self):
        status, headers, body = self.request("GET", "/log/getNewDatalog.php")
        self.assertEqual(status, 200)
        self.assertEqual(headers["Content-Type"], "text/html; charset=utf-8")
        return body.decode("utf-8")

    def test_page_is_markup_with_the_usage_classes_only(self):
        page = self.page()
        tags = set(re.findall(r"<[^<>]*>", page))
        self.assertEqual(tags - ALLOWED_TAGS, set())
        self.assertEqual(re.sub(r"<[^<>]*>", "", page).count("<"), 0, "a bare '<' would swallow text")
        self.assertEqual(page.count("<css="), page.count("</css>"))
        self.assertEqual(page.count("<b>"), page.count("</b>"))

    def test_totals_most_solved_and_last_30_days(self):
        lines = self.page().split("<br>")
        expected_in_order = [
            "<css=h1>Valvenix usage statistics</css>",
            "<css=h1>Totals</css>",
            "Since " + day(40),
            "Solves: <css=rou>104</css>",
            "Curve drawings: <css=rou>2</css>",
            "Circuits solved at least once: <css=rou>3</css> of 42",
            "<css=h1>Most solved circuits</css>",
            "1. <b>C1</b>: <css=rou>100</css> solves",
            "2. <b>C7</b>: <css=rou>3</css> solves",
            "3. <b>C12</b>: <css=rou>1</css> solve",
            "<css=h1>Last 30 days</css>",
            "<b>In all: 4 solves, 2 curve drawings</b>",
            day(0) + ": <css=rou>3</css> solves, <css=rou>0</css> curve drawings",
            day(2) + ": <css=rou>1</css> solve, <css=rou>2</css> curve drawings",
        ]
        positions = [lines.index(line) for line in expected_in_order]
        self.assertEqual(positions, sorted(positions))
        self.assertFalse(any(line.startswith(day(40) + ":") for line in lines))

    def test_counts_logged_now_show_on_the_next_page(self):
        self.request("HEAD", "/log/desktop.php?action=schema7")
        self.assertIn("2. <b>C7</b>: <css=rou>4</css> solves", self.page())


class EmptyStatisticsTest(UsageServerCase):
    notice = "Operator's <B>note</B>\n"

    def test_fresh_server_says_nothing_was_recorded_below_the_notice(self):
        page = self.request("GET", "/log/getNewDatalog.php")[2].decode("utf-8")
        self.assertEqual(page, "<css=h1>Valvenix usage statistics</css><br>Operator's <B>note</B><br><br>"
                               "No usage has been recorded yet.<br>")


class MisbehavingClientTest(UsageServerCase):
    def test_silent_and_plain_text_clients_do_not_stop_the_others(self):
        silent = socket.create_connection(("127.0.0.1", self.port), timeout=BOUND)
        self.addCleanup(silent.close)
        plain = socket.create_connection(("127.0.0.1", self.port), timeout=BOUND)
        self.addCleanup(plain.close)
        plain.sendall(b"HEAD /log/desktop.php?action=tube HTTP/1.0\r\n\r\n")
        self.assertEqual(self.request("HEAD", "/log/desktop.php?action=schema7")[0], 200)
        self.assertEqual(self.rows(), [(day(0), "schema7", 1)], "the plain-text request is not counted")

    def test_tls_older_than_1_2_is_refused(self):
        old = ssl.SSLContext(ssl.PROTOCOL_TLS_CLIENT)
        old.load_verify_locations(self.cert)
        old.set_ciphers("DEFAULT:@SECLEVEL=0")
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", DeprecationWarning)  # old on purpose
            old.minimum_version = old.maximum_version = ssl.TLSVersion.TLSv1_1
        conn = http.client.HTTPSConnection("127.0.0.1", self.port, context=old, timeout=BOUND)
        self.addCleanup(conn.close)
        with self.assertRaises(ssl.SSLError):
            conn.request("HEAD", "/log/desktop.php?action=tube")
        self.assertEqual(self.rows(), [])


class StartupTest(unittest.TestCase):
    def test_missing_files_stop_the_server_with_a_message(self):
        with tempfile.TemporaryDirectory() as folder:
            cert, key = make_certificate(folder)
            welcome = os.path.join(folder, "welcome.rtf")
            open(welcome, "wb").close()
            base = {"--cert": cert, "--key": key, "--db": os.path.join(folder, "u.sqlite"), "--welcome": welcome}
            cases = [
                ("--cert", os.path.join(folder, "none.pem"), "No such file"),
                ("--key", cert, "usage_server:"),
                ("--welcome", os.path.join(folder, "none.rtf"), "no welcome file"),
                ("--db", os.path.join(folder, "no", "dir", "u.sqlite"), "unable to open"),
            ]
            for option, value, message in cases:
                args = dict(base, **{option: value})
                argv = [sys.executable, SERVER, "--port", "0"] + [x for kv in args.items() for x in kv]
                done = subprocess.run(argv, capture_output=True, text=True, timeout=BOUND)
                self.assertNotEqual(done.returncode, 0, option)
                self.assertEqual(done.stdout, "", option)
                self.assertIn(message, done.stderr, option)


if __name__ == "__main__":
    unittest.main()
