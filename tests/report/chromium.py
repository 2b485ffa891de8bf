"""Headless Chromium driven over the DevTools protocol on a pipe (python3 stdlib only).

Chromium started with --remote-debugging-pipe reads commands from its file
descriptor 3 and writes answers and events to descriptor 4, each message a
JSON object ended by a NUL byte. One page is opened and attached; everything
it logs, throws or requests is kept for the caller to inspect.
"""

import base64
import json
import os
import select
import shutil
import subprocess
import tempfile
import time


class ChromiumError(RuntimeError):
    pass


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    raise ChromiumError("no chromium found (Debian: apt-get install chromium; `make deps` does it)")


class Page:
    def __init__(self, width=1400, height=1000, timeout=60):
        self.timeout = timeout
        self.profile = tempfile.mkdtemp(prefix="gang-horse-chromium-")
        to_child_r, self._to_child = os.pipe()
        self._from_child, from_child_w = os.pipe()

        # In the child, the two pipe ends become its descriptors 3 and 4: moved out of the way
        # first, then into place. Python's own descriptors are not inheritable, so only these
        # and the standard ones reach chromium (close_fds=False keeps 3 and 4 open).
        def child_fds():
            a, b = os.dup(to_child_r), os.dup(from_child_w)
            a, b = os.dup2(a, 100), os.dup2(b, 101)
            os.dup2(a, 3)
            os.dup2(b, 4)

        args = [find_chromium(), "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-extensions", "--disable-dev-shm-usage", "--hide-scrollbars",
                "--remote-debugging-pipe", "--user-data-dir=" + self.profile,
                "--window-size=%d,%d" % (width, height), "about:blank"]
        self.process = subprocess.Popen(args, preexec_fn=child_fds, close_fds=False,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        os.close(to_child_r)
        os.close(from_child_w)
        self._buffer = b""
        self._next_id = 0
        self.events = []  # every event of the page's session, in order
        self.session = None
        try:
            target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
            self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True},
                                     session=False)["sessionId"]
            for domain in ("Page", "Runtime", "Log", "Network"):
                self.call(domain + ".enable")
            self.call("Emulation.setDeviceMetricsOverride",
                      {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        except Exception:
            self.close()
            raise

    # -- the protocol --------------------------------------------------------

    def _send(self, message):
        data = json.dumps(message).encode() + b"\0"
        while data:
            data = data[os.write(self._to_child, data):]

    def _receive(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise ChromiumError("chromium did not answer in time")
            ready, _, _ = select.select([self._from_child], [], [], left)
            if ready:
                chunk = os.read(self._from_child, 1 << 20)
                if not chunk:
                    raise ChromiumError("chromium closed its pipe (exit code %s)" % self.process.poll())
                self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=True):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = self.session
        self._send(message)
        deadline = time.monotonic() + self.timeout
        while True:
            answer = self._receive(deadline)
            if answer.get("id") == self._next_id:
                if "error" in answer:
                    raise ChromiumError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            if "method" in answer and answer.get("sessionId") == self.session:
                self.events.append(answer)

    def pump(self, seconds):
        """Takes in the events that arrive within the given time."""
        deadline = time.monotonic() + seconds
        try:
            while True:
                answer = self._receive(deadline)
                if "method" in answer and answer.get("sessionId") == self.session:
                    self.events.append(answer)
        except ChromiumError as e:
            if "in time" not in str(e):
                raise

    # -- what tests ask --------------------------------------------------------

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        if "exceptionDetails" in result:
            raise ChromiumError("evaluating %s: %s" % (expression, result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_for(self, expression, seconds=None):
        deadline = time.monotonic() + (seconds or self.timeout)
        guarded = "(() => { try { return !!(%s); } catch (e) { return false; } })()" % expression
        while time.monotonic() < deadline:
            if self.evaluate(guarded):
                return
            time.sleep(0.01)
        raise ChromiumError("timed out waiting for " + expression)

    def open(self, url, ready="document.readyState === 'complete'"):
        """Loads url; returns the seconds from the request to `ready` being true."""
        started = time.monotonic()
        self.call("Page.navigate", {"url": url})
        self.wait_for(ready)
        return time.monotonic() - started

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", {"format": "png", "captureBeyondViewport": False})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def problems(self):
        """Console errors and warnings, uncaught exceptions, dialogs, as text."""
        found = []
        for e in self.events:
            method, params = e["method"], e.get("params", {})
            if method == "Runtime.exceptionThrown":
                found.append("exception: " + json.dumps(params["exceptionDetails"])[:500])
            elif method == "Runtime.consoleAPICalled" and params["type"] in ("error", "warning", "assert"):
                found.append("console.%s: %s" % (params["type"], json.dumps(params["args"])[:500]))
            elif method == "Log.entryAdded" and params["entry"]["level"] in ("error", "warning"):
                found.append("log: " + params["entry"].get("text", "")[:500])
            elif method == "Page.javascriptDialogOpening":
                found.append("dialog: " + params.get("message", ""))
        return found

    def requests(self):
        return [e["params"]["request"]["url"] for e in self.events if e["method"] == "Network.requestWillBeSent"]

    def close(self):
        try:
            if self.process.poll() is None:
                try:
                    self.call("Browser.close", session=False)
                except (ChromiumError, OSError):
                    pass
                try:
                    self.process.wait(10)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
        finally:
            for fd in (self._to_child, self._from_child):
                try:
                    os.close(fd)
                except OSError:
                    pass
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def png_pixels(data):
    """(width, height, rows) of an 8-bit RGB or RGBA PNG, rows as lists of (r, g, b)."""
    import struct
    import zlib
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, chunks, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and interlace == 0, "only 8-bit RGB(A), not interlaced"
    channels = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(b"".join(chunks)), width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, channels)])
        previous = line
    return width, height, rows
