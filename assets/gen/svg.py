"""Palette and small SVG helpers shared by every picture."""

from xml.sax.saxutils import escape

# One look everywhere: near-black panels, cool grey text, a single cyan accent.
BG = "#0c0e12"
PANEL = "#151920"
PANEL2 = "#1d222b"
EDGE = "#2b323d"
EDGE2 = "#3a4350"
TEXT = "#e9eef4"
MUTED = "#8d98a8"
DIM = "#4b5562"
ACC = "#19c6ff"
ACC_D = "#0b5673"
ACC_L = "#8fe6ff"
FIELD = "#2b2b2b"  # edit fields are painted RGB 43,43,43 by the program
FONT = "DejaVu Sans"
FONT_C = "DejaVu Sans Condensed"

LIME = (0, 255, 0)


def doc(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}"><defs>{GLOW_DEFS}{defs}</defs>{body}</svg>')


# Blur-based glows; each user clips them to its own rectangle so that cut-outs stay seamless.
GLOW_DEFS = (
    '<filter id="glow" x="-50%" y="-50%" width="200%" height="200%">'
    '<feGaussianBlur stdDeviation="3"/></filter>'
    '<filter id="glow2" x="-50%" y="-50%" width="200%" height="200%">'
    '<feGaussianBlur stdDeviation="1.5"/></filter>'
    '<filter id="soft" x="-50%" y="-50%" width="200%" height="200%">'
    '<feGaussianBlur stdDeviation="8"/></filter>')


def rect(x, y, w, h, fill="none", stroke="none", sw=1, rx=0, extra=""):
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="{fill}" '
            f'stroke="{stroke}" stroke-width="{sw}" {extra}/>')


def text(x, y, s, size=12, fill=TEXT, weight="bold", anchor="start", family=FONT, spacing=0, extra=""):
    return (f'<text x="{x}" y="{y}" font-family="{family}" font-size="{size}" font-weight="{weight}" '
            f'fill="{fill}" text-anchor="{anchor}" letter-spacing="{spacing}" {extra}>{escape(s)}</text>')


def line(x1, y1, x2, y2, stroke=EDGE, sw=1, extra=""):
    return f'<line x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}" stroke="{stroke}" stroke-width="{sw}" {extra}/>'


def path(d, fill="none", stroke="none", sw=1, extra=""):
    return f'<path d="{d}" fill="{fill}" stroke="{stroke}" stroke-width="{sw}" {extra}/>'


def lingrad(gid, stops, x2=0, y2=1):
    s = "".join(f'<stop offset="{o}" stop-color="{c}"/>' for o, c in stops)
    return f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">{s}</linearGradient>'


def chamfer_path(x0, y0, x1, y1, c):
    """Closed outline of a rectangle with 45-degree corners cut by c."""
    return (f"M{x0 + c},{y0} L{x1 - c},{y0} L{x1},{y0 + c} L{x1},{y1 - c} L{x1 - c},{y1} "
            f"L{x0 + c},{y1} L{x0},{y1 - c} L{x0},{y0 + c} Z")


def mix(a, b, t):
    """Colour between a and b (hex texts) at 0 <= t <= 1."""
    pa = [int(a[i:i + 2], 16) for i in (1, 3, 5)]
    pb = [int(b[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join(f"{round(x + (y - x) * t):02x}" for x, y in zip(pa, pb))
