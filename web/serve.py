#!/usr/bin/env python3
"""Serves the web page from a folder on this machine only (127.0.0.1), as a web server would:
the right media types (application/wasm, the manifest's), gzip where the browser accepts it,
and no caching by the browser itself (the page's service worker does the caching).

    web/serve.py [--port PORT] [--max-age SECONDS] FOLDER       PORT 0 picks a free one

--max-age has the browser keep every file for SECONDS without asking again, as static hosts
commonly tell it to ("Cache-Control: max-age=600"): the page must update whole even so.

It prints "serving http://127.0.0.1:PORT/" once it listens, and serves until stopped; with
--log, a line "sent PATH STATUS BYTES" for every response that was sent whole, and one
"connection BYTES" for every connection when it closes (headers and bodies, as they went over
the wire), for the benchmark.
"""
import argparse
import email.utils
import gzip
import http.server
import os
import sys

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".wasm": "application/wasm",
    ".webmanifest": "application/manifest+json",
    ".png": "image/png",
}


class PageHandler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, folder, log, cache_control, **kwargs):
        self.log = log
        self.cache_control = cache_control
        self.sent = 0
        super().__init__(*args, directory=folder, **kwargs)

    def setup(self):
        super().setup()
        handler = self
        raw = self.wfile

        class Counting:
            def write(self, data):
                handler.sent += len(data)
                return raw.write(data)

            def __getattr__(self, name):
                return getattr(raw, name)

        self.wfile = Counting()

    def handle_one_request(self):
        self.status = 0
        before = self.sent
        super().handle_one_request()
        if self.log and getattr(self, "command", None):
            print(f"sent {self.path} {self.status} {self.sent - before}", flush=True)

    def finish(self):
        # What a connection sent in all, whether its requests ended well or were cut off (a
        # browser may drop a download it started and fetch the file again).
        if self.log:
            print(f"connection {self.sent}", flush=True)
        super().finish()

    def send_response(self, code, message=None):
        self.status = code
        super().send_response(code, message)

    def guess_type(self, path):
        return TYPES.get(os.path.splitext(path)[1], "application/octet-stream")

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepts_gzip = "gzip" in self.headers.get("Accept-Encoding", "")
        if not os.path.isfile(path) or not accepts_gzip:
            return super().send_head()
        modified = int(os.stat(path).st_mtime)
        since = self.headers.get("If-Modified-Since")
        if since:
            try:
                if int(email.utils.parsedate_to_datetime(since).timestamp()) >= modified:
                    self.send_response(304)
                    self.end_headers()
                    return None
            except (TypeError, ValueError):
                pass
        body = _compressed(path, modified)
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Last-Modified", self.date_time_string(modified))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return _Body(body)

    def end_headers(self):
        self.send_header("Cache-Control", self.cache_control)
        super().end_headers()

    def log_message(self, format, *args):  # quiet: the tests read stdout
        pass


_compressed_files = {}


def _compressed(path, modified):
    """The file gzipped, kept until it changes: as a server that compresses ahead does, so that
    a request does not wait for the compression."""
    cached = _compressed_files.get(path)
    if cached is None or cached[0] != modified:
        with open(path, "rb") as source:
            cached = (modified, gzip.compress(source.read(), compresslevel=9, mtime=0))
        _compressed_files[path] = cached
    return cached[1]


class _Body:
    """The compressed body as the file-like object send_head hands to copyfile."""

    def __init__(self, data):
        self.data = data

    def read(self, size=-1):
        data, self.data = (self.data, b"") if size < 0 else (self.data[:size], self.data[size:])
        return data

    def close(self):
        pass


def main():
    parser = argparse.ArgumentParser(description="Serve the Tarvel web page on 127.0.0.1.")
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=8080)
    parser.add_argument("--log", action="store_true", help="print what each response sent")
    parser.add_argument("--max-age", type=int, metavar="SECONDS",
                        help="let the browser keep every file this long (default: ask each time)")
    options = parser.parse_args()
    if not os.path.isfile(os.path.join(options.folder, "index.html")):
        parser.error(f"{options.folder} has no index.html: build the page with scripts/web")
    if not 0 <= options.port <= 65535:
        parser.error(f"bad port {options.port}: expected 0 to 65535")
    if options.max_age is not None and not 0 <= options.max_age <= 31536000:
        parser.error(f"bad --max-age {options.max_age}: expected 0 to 31536000 seconds")
    cache_control = "no-cache" if options.max_age is None else f"max-age={options.max_age}"
    folder = os.path.abspath(options.folder)
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if os.path.isfile(path):
            _compressed(path, int(os.stat(path).st_mtime))
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", options.port),
        lambda *args, **kwargs: PageHandler(
            *args, folder=folder, log=options.log, cache_control=cache_control, **kwargs))
    print(f"serving http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
