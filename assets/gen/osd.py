"""PNG pictures with alpha: the display program's popups and the progress animation's frames."""

import math

from svg import ACC, ACC_D, ACC_L, EDGE2, MUTED, TEXT, doc, line, path, rect, text

CARD = "#0c0e12"


def card(w, h):
    """Translucent rounded card with an accent edge: the base of every popup."""
    out = rect(1, 1, w - 2, h - 2, fill=CARD, stroke=ACC, sw=2, rx=16, extra='fill-opacity="0.86"')
    out += rect(18, h - 10, 60, 3, fill=ACC, rx=1.5)
    return out


def _icon(kind, cx, cy):
    c = ACC_L
    if kind in ("web_back", "web_forward"):
        s = 1 if kind == "web_back" else -1  # the arrow head sits at cx - 24 * s
        return (path(f"M{cx - 24 * s},{cy} L{cx + 20 * s},{cy}", stroke=c, sw=6, extra='stroke-linecap="round"')
                + path(f"M{cx - 4 * s},{cy - 20} L{cx - 24 * s},{cy} L{cx - 4 * s},{cy + 20}", stroke=c, sw=6,
                       extra='stroke-linecap="round" stroke-linejoin="round"'))
    if kind in ("lock", "unlock"):
        shackle = (f"M{cx - 13},{cy - 2} L{cx - 13},{cy - 14} A13,13 0 0 1 {cx + 13},{cy - 14} L{cx + 13},{cy - 8}"
                   if kind == "unlock" else
                   f"M{cx - 13},{cy - 2} L{cx - 13},{cy - 14} A13,13 0 0 1 {cx + 13},{cy - 14} L{cx + 13},{cy - 2}")
        return (path(shackle, stroke=c, sw=5) + rect(cx - 20, cy - 4, 40, 30, fill=c, rx=5)
                + rect(cx - 2.5, cy + 5, 5, 11, fill=CARD, rx=2))
    raise ValueError(kind)


def single(kind, w, h):
    out = card(w, h)
    if kind.startswith("profile:"):
        n = kind.split(":")[1]
        out += text(32, 58, "PROFILE", size=20, fill=MUTED, spacing=4)
        out += text(32, 84, "ACTIVE", size=11, fill=ACC, spacing=3)
        out += text(w - 36, 118, n, size=96, fill=TEXT, anchor="end")
        return doc(w, h, out)
    words = {"web_back": ("BACK", "SIDE BUTTON 4"), "web_forward": ("FORWARD", "SIDE BUTTON 5"),
             "lock": ("LOCKED", "BUTTONS LOCKED"), "unlock": ("UNLOCKED", "BUTTONS FREE")}[kind]
    out += _icon(kind, 72, h / 2 - 4)
    out += text(124, h / 2 + 4, words[0], size=28 if len(words[0]) <= 6 else 22, fill=TEXT, spacing=2)
    out += text(126, h / 2 + 26, words[1], size=10, fill=ACC, spacing=2)
    return doc(w, h, out)


def dpi_background(w, h):
    out = card(w, h)
    out += text(26, 40, "DPI", size=22, fill=TEXT, spacing=3)
    out += text(80, 40, "SENSITIVITY", size=10, fill=MUTED, spacing=2)
    out += text(202, 38, "LV", size=11, fill=ACC, anchor="end", spacing=1)
    out += rect(208.5, 18.5, 27, 27, stroke=EDGE2, rx=5)  # the level digit is drawn into this frame
    return doc(w, h, out)


def poll_background(w, h):
    out = card(w, h)
    out += text(26, 44, "POLLING RATE", size=20, fill=TEXT, spacing=2)
    # a pulse line: reports per second
    pts = [(26, 92), (70, 92), (80, 70), (92, 116), (104, 78), (114, 92), (w - 26, 92)]
    out += path("M" + " L".join(f"{x},{y}" for x, y in pts), stroke=ACC, sw=3,
                extra='stroke-linejoin="round" stroke-linecap="round"')
    out += text(220, 172, "Hz", size=26, fill=ACC_L)
    return doc(w, h, out)


def digit(d, size, big):
    """One digit, cropped so that the program's fixed cell size lines the digits up."""
    fill = TEXT if big else ACC_L
    out = text(size / 2, size * 0.84, str(d), size=size * 0.98, fill="#000000", anchor="middle",
               extra='opacity="0.6" filter="url(#glow2)"')
    out += text(size / 2, size * 0.84, str(d), size=size * 0.98, fill=fill, anchor="middle")
    return doc(size, size, out)


def spinner(n, w=200, h=200):
    """Frame n of 12: a ring of twelve segments with the lit one moving clockwise."""
    cx, cy = w / 2, h / 2
    out = f'<circle cx="{cx}" cy="{cy}" r="92" fill="{CARD}" fill-opacity="0.86" stroke="{ACC_D}" stroke-width="2"/>'
    for k in range(12):
        a = math.radians(k * 30 - 90)
        age = (n - 1 - k) % 12  # 0 = lit now, then fading
        op = max(0.12, 1 - age * 0.22)
        col = ACC_L if age == 0 else ACC
        x1, y1 = cx + 52 * math.cos(a), cy + 52 * math.sin(a)
        x2, y2 = cx + 76 * math.cos(a), cy + 76 * math.sin(a)
        out += line(f"{x1:.2f}", f"{y1:.2f}", f"{x2:.2f}", f"{y2:.2f}", col, 11,
                    extra=f'stroke-linecap="round" opacity="{op:.2f}"')
    out += text(cx, cy - 2, "SAVING", size=15, fill=TEXT, anchor="middle", spacing=2)
    out += text(cx, cy + 16, "TO MOUSE", size=9, fill=MUTED, anchor="middle", spacing=2)
    return doc(w, h, out)


def app_icon(size, which):
    """Program icon at one size: the emblem on a dark tile; the display program's has a popup bar."""
    import mouse
    s = size
    out = rect(0, 0, s, s, fill="#0c0e12", stroke=ACC, sw=max(1, s / 24), rx=s / 5)
    out += mouse.logo(s / 2, s * (0.46 if which == "vistrel" else 0.5), s * 0.7, lit=True)
    if which == "vistrel":
        out += rect(s * 0.18, s * 0.8, s * 0.64, max(2, s * 0.1), fill=ACC_L, rx=s * 0.04)
    return doc(s, s, out)
