"""A terminal screen (tmux capture-pane -e) as an HTML page: SGR colours, bold, reverse."""
import html
import re
import sys

BASE = ["#000000", "#cd3131", "#0dbc79", "#e5e510", "#2472c8", "#bc3fbc", "#11a8cd", "#e5e5e5",
        "#666666", "#f14c4c", "#23d18b", "#f5f543", "#3b8eea", "#d670d6", "#29b8db", "#ffffff"]


def color256(n):
    if n < 16:
        return BASE[n]
    if n < 232:
        n -= 16
        steps = [0, 95, 135, 175, 215, 255]
        return "#%02x%02x%02x" % (steps[n // 36], steps[(n // 6) % 6], steps[n % 6])
    v = 8 + (n - 232) * 10
    return "#%02x%02x%02x" % (v, v, v)


def main():
    fg, bg, bold, rev = None, None, False, False
    out = []
    for line in sys.stdin.read().split("\n"):
        parts = re.split(r"\x1b\[([0-9;]*)m", line)
        row = []
        for i, part in enumerate(parts):
            if i % 2 == 1:
                codes = [int(c) if c else 0 for c in part.split(";")] if part else [0]
                k = 0
                while k < len(codes):
                    c = codes[k]
                    if c == 0:
                        fg, bg, bold, rev = None, None, False, False
                    elif c == 1:
                        bold = True
                    elif c == 22:
                        bold = False
                    elif c == 7:
                        rev = True
                    elif c == 27:
                        rev = False
                    elif 30 <= c <= 37:
                        fg = BASE[c - 30]
                    elif 90 <= c <= 97:
                        fg = BASE[c - 90 + 8]
                    elif 40 <= c <= 47:
                        bg = BASE[c - 40]
                    elif 100 <= c <= 107:
                        bg = BASE[c - 100 + 8]
                    elif c == 39:
                        fg = None
                    elif c == 49:
                        bg = None
                    elif c in (38, 48) and k + 1 < len(codes):
                        if codes[k + 1] == 5 and k + 2 < len(codes):
                            value = color256(codes[k + 2])
                            k += 2
                        elif codes[k + 1] == 2 and k + 4 < len(codes):
                            value = "#%02x%02x%02x" % tuple(codes[k + 2:k + 5])
                            k += 4
                        else:
                            value = None
                        if c == 38:
                            fg = value
                        else:
                            bg = value
                    k += 1
                continue
            if not part:
                continue
            f, b = (bg or "#1e1e1e", fg or "#d4d4d4") if rev else (fg, bg)
            style = ""
            if f:
                style += "color:%s;" % f
            if b:
                style += "background:%s;" % b
            if bold:
                style += "font-weight:bold;"
            row.append('<span style="%s">%s</span>' % (style, html.escape(part)))
        out.append("".join(row))
    sys.stdout.write(
        "<!DOCTYPE html><html><head><meta charset='utf-8'><style>"
        "body{margin:0;background:#1e1e1e;color:#d4d4d4}"
        "pre{margin:8px;font:13px/1.2 'DejaVu Sans Mono',monospace}</style></head><body><pre>"
        + "\n".join(out) + "</pre></body></html>\n")


main()
