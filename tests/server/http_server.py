#!/usr/bin/python3
"""HTTP/1.1 server for the download tests, bound to 127.0.0.1 only.

Usage: http_server.py --state-dir DIR [--max-seconds N] [--tls CERT KEY]...

Writes DIR/port ("<port> <refused port> <tls port>... <unanswered port>":
the second a port nobody listens on, then one https port per --tls pair, in
order, and last a port whose listener never accepts), records
every request's raw bytes (request line, headers exactly as received, body)
as DIR/requests/<sequence>.txt before answering and the count of body bytes
sent as DIR/requests/<sequence>.sent after, and serves the files of
DIR/files under /files/<name>. Ends on SIGTERM, or by itself after
--max-seconds so that nothing outlives a test run.

Each --tls pair (PEM certificate chain, PEM key) adds a listener that
speaks https with that certificate and otherwise answers exactly like the
plain one: same content, options and per-URL counts, one request log
(a request that came over TLS also gets DIR/requests/<sequence>.tls). The
keys are read once at start, so the caller may delete them as soon as the
port file is there.

Every other path answers generated content, shaped by query parameters
(all optional, combinable; the path only names the request for the log):

  size=N          body of N pattern bytes: byte i is (i*7 + i//251 + seed) & 0xFF
  seed=N          shifts the pattern (another "version" of the file)
  body=TEXT       literal body instead of the pattern
  status=N        status code (default 200)
  redirects=N     answer 302 whose Location is this URL with redirects=N-1
  location=URL    Location of a 302 ("none": send no Location header)
  firstlocation=URL  Location of the first 302 for this exact URL only
  ranges=ignore   answer 200 with the whole body to a Range request
  disposition=V   "Content-Disposition: V"
  length=none     no length header; the body ends when the connection closes
  length=underscore  "Content_Length" instead of "Content-Length"
  length=N        claim N as the length, whatever the body is
  rangelength=N   a 206 answer carries only N bytes of its range (and says so)
  trickle=MS      send the body in pieces of chunk=B bytes (default 1), MS apart
  cut=N           close the connection after N body bytes
  cutfirst=N      like cut, but only on the first request for this exact URL
  dropfirst=1     reset the connection of the first request for this exact
                  URL instead of answering (a plain close would read as an
                  empty HTTP/0.9 answer)
  stall=N         send N body bytes, then nothing until the client goes away
  stallfirst=N    like stall, but only on the first request for this exact URL
  seedafter=N     from the second request for this exact URL on, the pattern
                  uses seed N (the file changed on the server meanwhile)
  hang=1          answer nothing at all until the client goes away
  delay=MS        wait MS milliseconds before answering (a slow server)
  header=N:V      an extra response header (repeatable)

"POST /sign/<name>?leaf=LEAF" whose body is a folder signs DIR/files/<name>
in place with the leaf key that make-certs.sh kept there (FOLDER/LEAF.key
and FOLDER/LEAF.chain.pem; FOLDER as Wine names it on drive Z:, which is
/) and answers 200, or 500 with the signing tool's complaint: a Windows
test patches a program and has it signed again, which only tools of this
side can do.

A TLS handshake (a client speaking https to this plain server) is
recorded as a request with method "TLS" and the connection closed.

Ranged requests ("Range: bytes=A-" or "bytes=A-B") get 206 with
"Content-Range: bytes A-B/TOTAL". Every answer carries "Connection: close".
To add a behaviour, add a parameter to Reply.options and a branch in
Handler.answer; per-URL request counts (Server.count) serve "only the
n-th time" behaviours.
"""

import argparse
import os
import signal
import socket
import socketserver
import ssl
import struct
import subprocess
import threading
import time
import urllib.parse

LAST_MODIFIED = "Tue, 15 Nov 1994 08:12:31 GMT"
SIGN_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "verify", "sign-file.sh")
MAX_HEAD = 65536
TLS_HANDSHAKE = b"\x16"


# The pattern repeats every 256 * 251 bytes: both terms then advance by a
# multiple of 256.
PATTERN_PERIOD = 256 * 251


def pattern_period(seed):
    return bytes(((i * 7 + i // 251 + seed) & 0xFF) for i in range(PATTERN_PERIOD))


PERIODS = {}


def pattern(offset, size, seed=0):
    key = seed & 0xFF
    if key not in PERIODS:
        PERIODS[key] = pattern_period(key)
    period = PERIODS[key]
    start = offset % PATTERN_PERIOD
    repeats = (start + size) // PATTERN_PERIOD + 1
    return (period * repeats)[start:start + size]


def write_atomic(path, data):
    temp = path + ".part"
    with open(temp, "wb") as out:
        out.write(data)
    os.replace(temp, path)


class Request:
    def __init__(self, head, body):
        self.raw = head + body
        self.body = body
        lines = head.decode("latin-1").split("\r\n")
        self.method, self.target, self.version = (lines[0].split(" ") + ["", "", ""])[:3]
        self.headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                self.headers.setdefault(name.strip().lower(), value.strip())
        url = urllib.parse.urlsplit(self.target)
        self.path = url.path
        self.query = urllib.parse.parse_qs(url.query, keep_blank_values=True)

    def option(self, name, default=None):
        values = self.query.get(name)
        return values[0] if values else default

    def int_option(self, name, default=None):
        value = self.option(name)
        return int(value) if value not in (None, "") else default


class RequestLog:
    """The state every listener shares: the folders, the log and the per-URL counts."""

    def __init__(self, state_dir):
        self.state_dir = state_dir
        self.files_dir = os.path.join(state_dir, "files")
        self.requests_dir = os.path.join(state_dir, "requests")
        os.makedirs(self.files_dir, exist_ok=True)
        os.makedirs(self.requests_dir, exist_ok=True)
        self.lock = threading.Lock()
        self.sequence = 0
        self.counts = {}

    def record(self, request, secure):
        """Logs the request; answers how often its exact URL has been asked for."""
        with self.lock:
            self.sequence += 1
            sequence = self.sequence
            self.counts[request.target] = self.counts.get(request.target, 0) + 1
            count = self.counts[request.target]
        request.sequence = sequence
        if secure:
            write_atomic(os.path.join(self.requests_dir, "%06d.tls" % sequence), b"")
        write_atomic(os.path.join(self.requests_dir, "%06d.txt" % sequence), request.raw)
        return count


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, log, tls_context=None):
        super().__init__(("127.0.0.1", 0), Handler)
        self.log = log
        self.files_dir = log.files_dir
        self.requests_dir = log.requests_dir
        self.tls_context = tls_context
        self.scheme = "https" if tls_context else "http"

    def record(self, request):
        return self.log.record(request, self.tls_context is not None)


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.request.settimeout(60)
        if self.server.tls_context is None:
            return
        # The handshake runs here, on the connection's own thread: a client
        # that refuses the certificate must not hold up the other ones.
        try:
            self.request = self.server.tls_context.wrap_socket(self.request, server_side=True)
        except (ssl.SSLError, OSError):
            self.request.close()
            self.request = None

    def finish(self):
        # The TLS socket took over the connection, so the server's own
        # close of the plain socket no longer reaches it. No close_notify is
        # sent: a cut stays as abrupt as on the plain listener.
        if self.server.tls_context is not None and self.request is not None:
            self.request.close()

    def handle(self):
        if self.request is None:
            return
        try:
            request = self.read_request()
        except (ssl.SSLError, ConnectionResetError, socket.timeout):
            return
        if request is None:
            return
        count = self.server.record(request)
        if request.method == "TLS":
            return
        if request.option("hang"):
            self.wait_for_client_to_leave()
            return
        if request.method == "POST" and request.path.startswith("/sign/"):
            self.sign(request)
            return
        delay = request.int_option("delay")
        if delay:
            time.sleep(delay / 1000.0)
        if count == 1 and request.option("dropfirst"):
            self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        try:
            self.answer(request, count)
        except (BrokenPipeError, ConnectionResetError, socket.timeout, ssl.SSLError):
            pass
        finally:
            if not getattr(request, "sent_recorded", False):
                self.record_sent(request, 0)

    def read_request(self):
        data = b""
        while b"\r\n\r\n" not in data:
            piece = self.request.recv(4096)
            if not piece or len(data) > MAX_HEAD:
                return None
            if not data and piece[:1] == TLS_HANDSHAKE and self.server.tls_context is None:
                return Request(b"TLS / -\r\n\r\n", piece)
            data += piece
        head, _, rest = data.partition(b"\r\n\r\n")
        head += b"\r\n\r\n"
        request = Request(head, b"")
        length = int(request.headers.get("content-length", "0") or 0)
        while len(rest) < length:
            piece = self.request.recv(65536)
            if not piece:
                break
            rest += piece
        return Request(head, rest[:length])

    def send_head(self, status, headers):
        reasons = {200: "OK", 206: "Partial Content", 302: "Found", 404: "Not Found",
                   416: "Range Not Satisfiable", 500: "Internal Server Error"}
        lines = ["HTTP/1.1 %d %s" % (status, reasons.get(status, "Status"))]
        lines += ["%s: %s" % item for item in headers]
        lines += ["Connection: close", "", ""]
        self.request.sendall("\r\n".join(lines).encode("latin-1"))

    def answer(self, request, count):
        host = "127.0.0.1:%d" % self.server.server_address[1]
        headers = [("Last-Modified", LAST_MODIFIED)]
        for extra in request.query.get("header", []):
            name, _, value = extra.partition(":")
            headers.append((name.strip(), value.strip()))
        disposition = request.option("disposition")
        if disposition is not None:
            headers.append(("Content-Disposition", disposition))

        redirects = request.int_option("redirects", 0)
        status = request.int_option("status", 302 if redirects > 0 else 200)
        if status == 302:
            location = request.option("location")
            if count == 1 and request.option("firstlocation") is not None:
                location = request.option("firstlocation")
            if location is None and redirects > 0:
                query = dict(request.query)
                query["redirects"] = [str(redirects - 1)]
                location = "%s://%s%s?%s" % (self.server.scheme, host, request.path,
                                             urllib.parse.urlencode(query, doseq=True))
            if location not in (None, "none"):
                headers.append(("Location", location))
            self.send_head(302, headers + [("Content-Length", "0")])
            return

        body = self.content(request, count)
        if body is None:
            self.send_head(404, headers + [("Content-Length", "0")])
            return
        total = len(body)
        wanted = request.headers.get("range", "")
        if wanted.startswith("bytes=") and request.option("ranges") != "ignore" and status == 200:
            first, _, last = wanted[len("bytes="):].partition("-")
            first = int(first)
            last = int(last) if last else total - 1
            if first >= total:
                self.send_head(416, headers + [("Content-Range", "bytes */%d" % total), ("Content-Length", "0")])
                return
            last = min(last, total - 1)
            body = body[first:last + 1]
            if request.int_option("rangelength") is not None:
                body = body[:request.int_option("rangelength")]
            status = 206
            headers.append(("Content-Range", "bytes %d-%d/%d" % (first, last, total)))

        length = request.option("length")
        if length == "underscore":
            headers.append(("Content_Length", str(len(body))))
        elif length not in ("none", None):
            headers.append(("Content-Length", length))
        elif length is None:
            headers.append(("Content-Length", str(len(body))))
        self.send_head(status, headers)
        if request.method != "HEAD":
            self.send_body(request, count, body)

    def sign(self, request):
        name = os.path.basename(urllib.parse.unquote(request.path[len("/sign/"):]))
        keys = unix_path(request.body.decode("utf-8", "replace"))
        leaf = os.path.basename(request.option("leaf", ""))
        target = os.path.join(self.server.files_dir, name)
        done = subprocess.run([SIGN_FILE, os.path.join(keys, leaf + ".key"), os.path.join(keys, leaf + ".chain.pem"),
                               target, target], stdin=subprocess.DEVNULL, capture_output=True)
        body = done.stdout + done.stderr
        self.send_head(200 if done.returncode == 0 else 500, [("Content-Length", str(len(body)))])
        self.request.sendall(body)
        self.record_sent(request, len(body))

    def content(self, request, count):
        if request.path.startswith("/files/"):
            name = os.path.basename(urllib.parse.unquote(request.path[len("/files/"):]))
            try:
                with open(os.path.join(self.server.files_dir, name), "rb") as source:
                    return source.read()
            except OSError:
                return None
        literal = request.option("body")
        if literal is not None:
            return literal.encode("utf-8")
        seed = request.int_option("seed", 0)
        if count > 1:
            seed = request.int_option("seedafter", seed)
        return pattern(0, request.int_option("size", 0), seed)

    def send_body(self, request, count, body):
        cut = request.int_option("cut")
        if cut is None and count == 1:
            cut = request.int_option("cutfirst")
        stall = request.int_option("stall")
        if stall is None and count == 1:
            stall = request.int_option("stallfirst")
        limit = min(x for x in (cut, stall, len(body)) if x is not None)
        trickle = request.int_option("trickle")
        sent = 0
        try:
            if trickle is None:
                # One sendall's timeout covers its whole buffer, so a slow
                # client of a large file would be cut; the 60 s limit is
                # meant for a client that stops reading, so send in pieces.
                piece_size = 1 << 20
                for start in range(0, limit, piece_size):
                    end = min(start + piece_size, limit)
                    self.request.sendall(body[start:end])
                    sent = end
            else:
                chunk = max(1, request.int_option("chunk", 1))
                for start in range(0, limit, chunk):
                    piece = body[start:min(start + chunk, limit)]
                    self.request.sendall(piece)
                    sent += len(piece)
                    time.sleep(trickle / 1000.0)
        finally:
            self.record_sent(request, sent)
        if stall is not None and (cut is None or stall < cut):
            self.wait_for_client_to_leave()

    def record_sent(self, request, sent):
        """DIR/requests/<sequence>.sent: how many body bytes the answer handed to the socket."""
        write_atomic(os.path.join(self.server.requests_dir, "%06d.sent" % request.sequence), b"%d" % sent)
        request.sent_recorded = True

    def wait_for_client_to_leave(self):
        self.request.settimeout(None)
        try:
            while self.request.recv(4096):
                pass
        except OSError:
            pass


def unix_path(wine_path):
    """The Unix path of a Wine path on drive Z: (the root folder)."""
    if wine_path[:2].upper() != "Z:":
        return ""
    return wine_path[2:].replace("\\", "/")


def refused_port():
    """A port on 127.0.0.1 that nobody listens on (bound once, then freed)."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


class UnansweredListener:
    """A port on 127.0.0.1 where connections are never accepted: a server
    too busy to take them, or an address whose packets are dropped.

    The listener's queue takes one connection (backlog 0), which its own
    filler connections take up; the kernel then drops the SYN of every
    further client, whose connect neither succeeds nor fails until its own
    timeout runs out. The sockets live as long as the server."""

    FILLERS = 2

    def __init__(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(0)
        self.port = self.listener.getsockname()[1]
        self.fillers = []
        for _ in range(self.FILLERS):
            filler = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            filler.setblocking(False)
            filler.connect_ex(("127.0.0.1", self.port))
            self.fillers.append(filler)


def tls_context(cert, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--state-dir", required=True)
    parser.add_argument("--max-seconds", type=float, default=3600)
    parser.add_argument("--tls", nargs=2, action="append", default=[], metavar=("CERT", "KEY"))
    args = parser.parse_args()

    log = RequestLog(os.path.abspath(args.state_dir))
    server = Server(log)
    secure = [Server(log, tls_context(cert, key)) for cert, key in args.tls]
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    lifetime = threading.Timer(args.max_seconds, lambda: os._exit(0))
    lifetime.daemon = True
    lifetime.start()
    for listener in secure:
        threading.Thread(target=listener.serve_forever, daemon=True).start()
    unanswered = UnansweredListener()
    ports = ([server.server_address[1], refused_port()] + [listener.server_address[1] for listener in secure] +
             [unanswered.port])
    write_atomic(os.path.join(log.state_dir, "port"), (" ".join(map(str, ports)) + "\n").encode())
    server.serve_forever()


if __name__ == "__main__":
    main()
