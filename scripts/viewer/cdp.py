"""Headless Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe):
no network port, no package beyond the Python standard library."""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time

CHROMIUM = os.environ.get("SB_CHROMIUM", "/usr/bin/chromium")


class Browser:
    def __init__(self, width=1400, height=900):
        self.profile = tempfile.mkdtemp(prefix="sb-chromium-")
        to_chrome_r, self._to_chrome = os.pipe()
        self._from_chrome, from_chrome_w = os.pipe()

        def child():  # the pipe ends the browser reads (3) and writes (4)
            r, w = os.dup(to_chrome_r), os.dup(from_chrome_w)  # above 4: dup2 cannot clash
            os.dup2(r, 3)
            os.dup2(w, 4)

        args = [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                "--no-first-run", "--disable-background-networking", "--disable-component-update",
                "--disable-sync", "--disable-extensions", "--hide-scrollbars",
                "--remote-debugging-pipe", "--user-data-dir=" + self.profile,
                "--window-size=%d,%d" % (width, height), "about:blank"]
        self.proc = subprocess.Popen(args, preexec_fn=child, close_fds=False,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self._buf = b""
        self._id = 0
        self.events = []
        self.session = None
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"],
                                 flatten=True, session=False)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                  deviceScaleFactor=1, mobile=False)

    def _read_message(self, timeout):
        deadline = time.time() + timeout
        while b"\0" not in self._buf:
            if time.time() > deadline:
                raise TimeoutError("no answer from the browser")
            import select
            ready, _, _ = select.select([self._from_chrome], [], [], 0.2)
            if ready:
                chunk = os.read(self._from_chrome, 1 << 20)
                if not chunk:
                    raise RuntimeError("the browser closed its pipe")
                self._buf += chunk
        message, self._buf = self._buf.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, timeout=30, session=True, **params):
        self._id += 1
        message = {"id": self._id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_chrome, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._read_message(timeout)
            if reply.get("id") == self._id:
                if "error" in reply:
                    raise RuntimeError("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def pump(self, seconds):
        """Collects the events that arrive in the next `seconds`."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            try:
                self.events.append(self._read_message(max(0.05, deadline - time.time())))
            except TimeoutError:
                break

    def open(self, url):
        self.call("Page.navigate", url=url)
        for _ in range(200):
            if self.eval("document.readyState") == "complete":
                return
            time.sleep(0.05)
        raise TimeoutError("the page did not load: " + url)

    def eval(self, expression, await_promise=False):
        r = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                      awaitPromise=await_promise)
        if "exceptionDetails" in r:
            raise RuntimeError("in the page: %s" % json.dumps(r["exceptionDetails"])[:800])
        return r["result"].get("value")

    def mouse(self, kind, x, y, **extra):
        self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, **extra)

    def key(self, key, code=None, text=None):
        params = {"key": key, "code": code or key}
        if text:
            params["text"] = text
        self.call("Input.dispatchKeyEvent", type="keyDown", **params)
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, code=code or key)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def errors(self):
        """What the page logged as an error: exceptions, console errors, log entries."""
        out = []
        for e in self.events:
            m, p = e.get("method"), e.get("params", {})
            if m == "Runtime.exceptionThrown":
                out.append(json.dumps(p.get("exceptionDetails", {}))[:500])
            elif m == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
                out.append("console: " + json.dumps(p.get("args", []))[:500])
            elif m == "Log.entryAdded" and p.get("entry", {}).get("level") == "error":
                out.append("log: " + p["entry"].get("text", "")[:500])
        return out

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        os.close(self._to_chrome)
        os.close(self._from_chrome)
        shutil.rmtree(self.profile, ignore_errors=True)


class Checks:
    def __init__(self, name):
        self.name, self.passed, self.failed = name, 0, 0

    def check(self, what, ok, detail=""):
        if ok:
            self.passed += 1
            print("ok: " + what)
        else:
            self.failed += 1
            print("FAILED: " + what + (" (" + str(detail) + ")" if detail != "" else ""))

    def end(self):
        print("%s: %d passed, %d failed" % (self.name, self.passed, self.failed))
        return 1 if self.failed else 0
