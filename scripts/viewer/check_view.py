"""Checks the page of `view` in headless Chromium: the built-in line (layers, a tooltip, the
zoom by wheel, keys, dragging and the box, no error logged, two screenshots), then the
1,000 km line (page size, redraw time of a zoom step).

usage: check_view.py EXECUTABLE WORK_DIR SHOTS_DIR"""

import os
import statistics
import subprocess
import sys

from cdp import Browser, Checks

exe, work, shots = (os.path.abspath(a) for a in sys.argv[1:4])
os.makedirs(shots, exist_ok=True)
c = Checks("viewer page")


def run(*args, cwd):
    return subprocess.run([exe, *args], cwd=cwd, capture_output=True, text=True)


# --- the built-in line ------------------------------------------------------------------------
builtin = os.path.join(work, "builtin")
os.makedirs(builtin, exist_ok=True)
run("sources", ".", "--force", cwd=builtin)
r = run("view", "--out", "line.html", cwd=builtin)
c.check("view of the built-in texts ends with status 0", r.returncode == 0, r.stderr)
page = os.path.join(builtin, "line.html")

b = Browser()
try:
    b.open("file://" + page)
    b.pump(0.5)
    data = b.eval("({st: sbViewer.data.stations.length,"
                  " sig: sbViewer.data.items.filter(i => i.k === 'signal').length,"
                  " red: sbViewer.data.items.filter(i => i.k === 'code reduction' ||"
                  "      (i.k === 'limit marker' && !i.added)).length,"
                  " boards: sbViewer.data.items.filter(i => i.k === 'indication board').length,"
                  " speedboards: sbViewer.data.items.filter(i => i.k === 'speed indicator boards').length,"
                  " length: sbViewer.data.length, levels: sbViewer.data.plan.length})")
    c.check("the page holds 23 stations and 132 signals", data["st"] == 23 and data["sig"] == 132, data)
    c.check("it holds the two code reductions, the speed boards and indication boards",
            data["red"] == 2 and data["speedboards"] == 8 and data["boards"] > 0, data)
    c.check("the line is 376 km long, the plan in several levels of detail",
            data["length"] == 376000 and data["levels"] >= 3, data)
    lanes = b.eval("sbViewer.layers()")
    want = ["stations", "signals", "slowdowns", "reductions", "speedboards", "boards", "kmrefs",
            "faults", "speed", "gradient", "adhesion"]
    c.check("every layer is drawn", all(w in lanes for w in want), lanes)
    c.check("twelve layer switches", b.eval("document.querySelectorAll('#layers input').length") == 12)
    b.eval("document.querySelector('[data-layer=signals]').click()")
    off = b.eval("sbViewer.layers()")
    b.eval("document.querySelector('[data-layer=signals]').click()")
    c.check("a switch takes its layer away and brings it back",
            "signals" not in off and "signals" in b.eval("sbViewer.layers()"), off)
    b.pump(0.3)
    b.screenshot(os.path.join(shots, "view-full.png"))

    # The box: a station by name.
    name = b.eval("sbViewer.data.stations[5].name")
    st = b.eval("sbViewer.data.stations[5]")
    b.eval("document.getElementById('goto').focus()")
    b.call("Input.insertText", text=name)
    b.key("Enter", text="\r")
    b.pump(0.3)
    v = b.eval("({a: sbViewer.view.a, b: sbViewer.view.b})")
    c.check("the box zooms to the station '%s'" % name,
            v["a"] < st["p"] < v["b"] and v["b"] - v["a"] < 10000, v)
    b.eval("document.getElementById('goto').blur()")
    b.screenshot(os.path.join(shots, "view-station.png"))

    # A tooltip: the mouse over a signal of the profile.
    sig = b.eval("sbViewer.items().signals.find(i => i.p > sbViewer.view.a && i.p < sbViewer.view.b)"
                 " || sbViewer.items().signals[0]")
    if not (v["a"] < sig["p"] < v["b"]):
        b.eval("sbViewer.setView(%d, %d)" % (sig["p"] - 1500, sig["p"] + 1500))
        b.pump(0.2)
    at = b.eval("sbViewer.at(%d, 'signals')" % sig["p"])
    b.mouse("mouseMoved", at["x"], at["y"])
    b.pump(0.2)
    tip = b.eval("({hidden: document.getElementById('tip').hidden,"
                 " text: document.getElementById('tip').innerText,"
                 " link: (document.querySelector('#tip a') || {}).href || ''})")
    c.check("hovering a signal shows its values in words",
            not tip["hidden"] and "signal in cell" in tip["text"] and "aspect codes" in tip["text"], tip)
    c.check("the tooltip names its source line with an editor link",
            tip["link"].startswith("vscode://file/") and "_47302-.txt:" in tip["link"]
            and "segnale" in tip["text"], tip)
    b.screenshot(os.path.join(shots, "view-tooltip.png"))
    b.mouse("mouseMoved", 5, 5)

    # Wheel, keys, dragging.
    before = b.eval("sbViewer.view.b - sbViewer.view.a")
    b.mouse("mouseWheel", at["x"], at["y"], deltaX=0, deltaY=-400)
    b.pump(0.2)
    after = b.eval("sbViewer.view.b - sbViewer.view.a")
    c.check("the wheel zooms in", after < before * 0.8, (before, after))
    b.key("-", code="Minus", text="-")
    b.pump(0.1)
    c.check("the key - zooms out", b.eval("sbViewer.view.b - sbViewer.view.a") > after * 1.3)
    a0 = b.eval("sbViewer.view.a")
    b.key("ArrowRight")
    c.check("the right arrow moves on along the line", b.eval("sbViewer.view.a") > a0)
    a0 = b.eval("sbViewer.view.a")
    b.mouse("mousePressed", 700, at["y"], button="left", clickCount=1)
    b.mouse("mouseMoved", 500, at["y"], button="left")
    b.mouse("mouseReleased", 500, at["y"], button="left", clickCount=1)
    c.check("dragging to the left moves on along the line", b.eval("sbViewer.view.a") > a0)
    b.key("Home")
    b.pump(0.2)
    c.check("Home shows the whole line", b.eval("sbViewer.view.a <= 0 && sbViewer.view.b >= 376000"))
    b.eval("sbViewer.go('100-110')")
    c.check("the box takes a km range",
            b.eval("Math.round(sbViewer.view.a) === 100000 && Math.round(sbViewer.view.b) === 110000"))
    b.pump(0.3)
    errors = b.errors()
    c.check("the page logged no error", not errors, errors)
finally:
    b.close()

# --- from the binary files ----------------------------------------------------------------------
binary = os.path.join(work, "binary")
os.makedirs(binary, exist_ok=True)
run("sources", ".", "--force", cwd=binary)
run("compile", ".", cwd=binary)
for f in os.listdir(binary):
    if f.endswith(".txt"):
        os.remove(os.path.join(binary, f))
r = run("view", "--out", "bin.html", cwd=binary)
c.check("view of the binary files alone ends with status 0", r.returncode == 0, r.stderr)
b = Browser()
try:
    b.open("file://" + os.path.join(binary, "bin.html"))
    b.pump(0.3)
    c.check("drawn from the binary files: 132 signals, no source lines",
            b.eval("sbViewer.data.items.filter(i => i.k === 'signal').length === 132"
                   " && !sbViewer.data.sourcesKnown"))
    c.check("that page logged no error", not b.errors(), b.errors())
finally:
    b.close()

# --- the 1,000 km line --------------------------------------------------------------------------
long_dir = os.path.join(work, "long")
os.makedirs(long_dir, exist_ok=True)
route = ["[generale]", "lunghezza percorso,    1000000"]
for k in ("uno", "due", "tre"):
    route.append("progressiva chilometrica %s,    0,    0,    0" % k)
route += ["sfondo uno,    1", "sfondo due,    0", "sfondo tre,    0",
          "ripetizione segnali 9 codici,    1500,    360000", "[curve]"]
keys = "curvas1 curvad2 curvas3 curvad1 curvas2 curvad3".split()
for s in range(0, 1000000, 2000):
    route.append("%s,  %d,  %d" % (keys[(s // 2000) % 6], s, 2000 if s + 2000 <= 999999 else 999999 - s))
route += ["[pendenze]", "pendenza,   0,    0", "pendenza,  500000,   2", "[fine]"]
train = ["[generale]", "numero vetture,    10", "[aderenze]", "aderenza,   0,    100",
         "[vel_limite]", "velocita,   0,    30", "velocita,    2000,   160", "[stazioni]",
         "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, PARTENZA"]
for k in range(1, 40):
    train.append("stazione,  %d,  2, 600,  0, 0, 0,  1,1,0,  4,1,1,    0,  12, %d, 0, STAZIONE %d"
                 % (k * 25000, k % 60, k))
train.append("stazione,  999000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ARRIVO")
train.append("[segnali]")
for p in range(5000, 995000, 1350):
    if min(abs(p - k * 25000) for k in range(41)) < 2000:
        continue  # clear of the stations' marks
    if not 2000 <= (p - 1000) % 50000 <= 46000:
        continue  # and of the slowdowns, their warning points and limit markers
    train.append("segnale, %d, 2,4,1, 1, 0, 2, 2,1,1, 0" % p)
train += ["[rallentamenti]"] + ["rallentamento, %d, 60, 1000, 0, 1, 0" % p
                                 for p in range(51000, 990000, 50000)]
train.append("[fine]")
for name, lines in (("Torbena-Sarvico-Zeva_linea.txt", route), ("Torbena-Sarvico-Zeva_47302-.txt", train)):
    with open(os.path.join(long_dir, name), "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode("cp1252"))
r = run("view", "--out", "long.html", cwd=long_dir)
size = os.path.getsize(os.path.join(long_dir, "long.html"))
print("the 1,000 km page: %.2f MB; %s" % (size / 1e6, r.stderr.strip().splitlines()[-1]))
c.check("the page of the 1,000 km line is under 5 MB", size < 5e6, size)
b = Browser()
try:
    b.open("file://" + os.path.join(long_dir, "long.html"))
    b.pump(0.5)
    info = b.eval("({n: sbViewer.data.items.length, points: sbViewer.data.plan.map(l => l.p.length / 3),"
                  " length: sbViewer.data.length})")
    print("items: %d; plan points per level: %s" % (info["n"], info["points"]))
    # Zoom steps from the whole line down to 200 m and back, each drawn at once.
    times = b.eval("""(() => {
      const t = []; sbViewer.whole(); sbViewer.draw();
      for (let i = 0; i < 40; i++) {
        sbViewer.zoom(i < 20 ? 1 / 1.6 : 1.6, 512300);
        const t0 = performance.now(); sbViewer.draw(); t.push(performance.now() - t0);
      }
      return t;
    })()""")
    med, worst = statistics.median(times), max(times)
    print("zoom step redraw on the 1,000 km line: median %.1f ms, slowest %.1f ms (of %d)"
          % (med, worst, len(times)))
    c.check("a zoom step redraws in under 50 ms", worst < 50, worst)
    b.screenshot(os.path.join(shots, "view-long.png"))
    c.check("the long page logged no error", not b.errors(), b.errors())
finally:
    b.close()
sys.exit(c.end())
