"""End to end test of `serve`: starts it on the built-in texts, loads its page in headless
Chromium, adds a signal to the train text (written to a new file and renamed over, as
editors save) and waits for the page to show it; checks that the zoom is kept, that a
request with a foreign Host header and a path outside the page are refused, and that
Ctrl+C stops the server.

usage: check_serve.py EXECUTABLE WORK_DIR SHOTS_DIR"""

import http.client
import os
import re
import signal
import subprocess
import sys
import time

from cdp import Browser, Checks

exe, work, shots = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(shots, exist_ok=True)
c = Checks("serve")
folder = os.path.join(work, "serve")
os.makedirs(folder, exist_ok=True)
subprocess.run([exe, "sources", ".", "--force"], cwd=folder, check=True, capture_output=True)
train = os.path.join(folder, "Torbena-Sarvico-Zeva_47302-.txt")

out_path, err_path = os.path.join(work, "serve.out"), os.path.join(work, "serve.err")
with open(out_path, "w") as out, open(err_path, "w") as err:
    server = subprocess.Popen([exe, "serve", "."], cwd=folder, stdout=out, stderr=err)
port = None
for _ in range(100):
    m = re.search(r"serving http://127\.0\.0\.1:(\d+)/", open(out_path).read())
    if m:
        port = int(m.group(1))
        break
    time.sleep(0.05)
c.check("serve prints its address", port is not None, open(out_path).read())


def get(path, host):
    conn = http.client.HTTPConnection("127.0.0.1", port, timeout=5)
    conn.putrequest("GET", path, skip_host=True)
    conn.putheader("Host", host)
    conn.endheaders()
    r = conn.getresponse()
    body = r.read().decode("utf-8", "replace")
    conn.close()
    return r.status, body


try:
    status, body = get("/", "127.0.0.1:%d" % port)
    c.check("the page is served to its own address", status == 200 and "sbViewer" in body, status)
    status, body = get("/", "attacker.example:%d" % port)
    c.check("a foreign Host header is refused (403)", status == 403 and "refused" in body, (status, body))
    status, _ = get("/data.json", "localhost.attacker.example")
    c.check("also for the data", status == 403, status)
    status, _ = get("/../Torbena-Sarvico-Zeva_47302-.txt", "127.0.0.1:%d" % port)
    c.check("no path reaches the files of the folder (404)", status == 404, status)

    b = Browser()
    try:
        b.open("http://127.0.0.1:%d/" % port)
        b.pump(0.5)
        before = b.eval("sbViewer.data.items.filter(i => i.k === 'signal').length")
        c.check("the page shows the 132 signals", before == 132, before)
        b.eval("sbViewer.setView(360000, 366000)")
        b.pump(0.2)
        gen = b.eval("sbViewer.data.generation")
        # A new signal at 363,000 m, saved by writing a new file and renaming it over.
        text = open(train, "rb").read()
        line = b"segnale, 363000, 2,4,1, 1, 0, 2, 2,1,1, 0\r\n"
        text = text.replace(b"[fine]", line + b"[fine]", 1)
        with open(train + ".tmp", "wb") as f:
            f.write(text)
        os.replace(train + ".tmp", train)
        saved = time.time()
        seen = None
        while time.time() - saved < 3:
            if b.eval("sbViewer.data.items.some(i => i.k === 'signal' && i.p === 363000)"):
                seen = time.time() - saved
                break
            time.sleep(0.02)
        print("the new signal was in the page %s after the save"
              % ("%.0f ms" % (seen * 1000) if seen is not None else "not"))
        c.check("the new signal is in the page within a second", seen is not None and seen < 1.0, seen)
        b.pump(0.2)
        v = b.eval("({a: sbViewer.view.a, b: sbViewer.view.b, gen: sbViewer.data.generation})")
        c.check("the page kept its zoom and position", v["a"] == 360000 and v["b"] == 366000, v)
        c.check("the page has the next compile", v["gen"] > gen, v)
        at = b.eval("sbViewer.at(363000, 'signals')")
        b.mouse("mouseMoved", at["x"], at["y"])
        b.pump(0.2)
        tip = b.eval("document.getElementById('tip').innerText")
        c.check("hovering it names its new line", "segnale, 363000" in tip, tip)
        b.screenshot(os.path.join(shots, "serve-new-signal.png"))
        c.check("the page logged no error", not b.errors(), b.errors())
    finally:
        b.close()
    err = open(err_path).read()
    c.check("the diagnostics were printed anew (two summaries)", err.count("scenario-builder: ") >= 2, err)
finally:
    server.send_signal(signal.SIGINT)
    try:
        code = server.wait(timeout=5)
    except subprocess.TimeoutExpired:
        server.kill()
        code = None
c.check("Ctrl+C stops the server cleanly (status 0)", code == 0 and "stopped" in open(out_path).read(), code)
sys.exit(c.end())
