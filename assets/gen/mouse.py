"""The five-button mouse seen from above, in the main window's coordinates (body centre x 334.5).

The button shapes fill the main window's hover areas: left 254..335 x 223..396, right 334..415,
side buttons 231..244 x 316..360 and 230..241 x 364..443; the wheel slot is 321..351 x 257..320.
The light dialog draws the same body through a transform and places wheel and logo itself.
"""

from svg import ACC, ACC_L, DIM, EDGE2, MUTED, line, lingrad, path, rect

BODY = ("M334.5,206 C372,206 404,208 418,226 C430,244 433,300 433,360 C433,430 430,520 418,575 "
        "C404,622 372,640 334.5,640 C297,640 265,622 251,575 C240,530 237,470 236,420 "
        "C235,360 236,300 240,262 C244,232 252,210 296,207 C310,206 322,206 334.5,206 Z")
LEFT = ("M333.5,224 L333.5,394 C310,398 280,396 262,388 C257,340 255,290 256,245 "
        "C257,232 263,225 280,224 Z")
RIGHT = ("M335.5,224 L335.5,394 C359,398 389,396 407,388 C412,340 414,290 413,245 "
         "C412,232 406,225 389,224 Z")
SIDE1 = (229, 318, 16, 41)
SIDE2 = (228, 366, 15, 75)

DEFS = (lingrad("mb", [(0, "#20252e"), (1, "#0f1216")], 0.3, 1)
        + lingrad("mk", [(0, "#2a303a"), (1, "#171b21")])
        + lingrad("mh", [(0, "#14465a"), (1, "#0d2531")])
        + lingrad("wh", [(0, "#3a414c"), (0.5, "#262b33"), (1, "#3a414c")], 1, 0)
        + lingrad("wl", [(0, "#1aa8d8"), (0.5, "#0b5673"), (1, "#1aa8d8")], 1, 0))


def body(hover=None):
    """Shell, buttons, groove and side buttons; hover is 'left', 'right', 'side1' or 'side2'."""
    out = path(BODY, fill="url(#mb)", stroke=EDGE2, sw=1.5)
    out += path("M258,560 C290,600 380,600 411,560", stroke="#262c35", sw=1.2)  # palm contour
    for name, d in (("left", LEFT), ("right", RIGHT)):
        if hover == name:
            out += path(d, fill="url(#mh)", stroke=ACC, sw=2)
            out += path(d, stroke=ACC, sw=3, extra='filter="url(#glow2)" opacity="0.6"')
        else:
            out += path(d, fill="url(#mk)", stroke="#39414d", sw=1.2)
    out += line(334.5, 226, 334.5, 393, "#07090c", 2)
    for name, (x, y, w, h) in (("side1", SIDE1), ("side2", SIDE2)):
        if hover == name:
            out += rect(x, y, w, h, fill="url(#mh)", stroke=ACC, sw=2, rx=6)
            out += rect(x, y, w, h, stroke=ACC, sw=3, rx=6, extra='filter="url(#glow2)" opacity="0.6"')
        else:
            out += rect(x, y, w, h, fill="url(#mk)", stroke="#39414d", sw=1.2, rx=6)
    return out


def wheel(cx, cy, w, h, lit=False, hover=False, slot_rx=None, clip=None):
    """Wheel slot and wheel centred on cx, cy; the slot is w x h. With clip, the wheel and its glow
    stay inside the slot (the slot itself is drawn the same in every state)."""
    x, y = cx - w / 2, cy - h / 2
    slot = rect(x + 0.5, y + 0.5, w - 1, h - 1, fill="#050608", stroke="#2a303a", sw=1,
                rx=w / 3 if slot_rx is None else slot_rx)
    inner = _wheel(cx, cy, w, h, lit, hover)
    if clip:
        inner = (f'<clipPath id="{clip}"><rect x="{x + 1}" y="{y + 1}" width="{w - 2}" height="{h - 2}"/></clipPath>'
                 f'<g clip-path="url(#{clip})">{inner}</g>')
    return slot + inner


def _wheel(cx, cy, w, h, lit, hover):
    out = ""
    ww, wh = min(w * 0.6, 20), h - 8
    wx, wy = cx - ww / 2, cy - wh / 2
    if lit:
        out += rect(wx - 2, wy - 2, ww + 4, wh + 4, fill=ACC, rx=ww / 2, extra='filter="url(#glow2)" opacity="0.9"')
    out += rect(wx, wy, ww, wh, fill="url(#wl)" if lit else "url(#wh)",
                stroke=ACC_L if hover else (ACC if lit else "#4a525e"), sw=1.6 if hover else 1, rx=ww / 2)
    step = max(4, h / 12)
    yy = wy + step
    while yy < wy + wh - step / 2:
        out += line(wx + 2, yy, wx + ww - 2, yy, ACC_L if lit else "#1a1e24", 1)
        yy += step
    return out


def logo(cx, cy, size, lit=False):
    """The maker's emblem: a hexagon around a stylised T."""
    r = size / 2
    pts = " ".join(f"{cx + r * dx:.2f},{cy + r * dy:.2f}" for dx, dy in
                   ((0, -1), (0.866, -0.5), (0.866, 0.5), (0, 1), (-0.866, 0.5), (-0.866, -0.5)))
    c = ACC if lit else DIM
    out = ""
    if lit:
        out += f'<polygon points="{pts}" fill="{ACC}" opacity="0.55" filter="url(#glow2)"/>'
    out += f'<polygon points="{pts}" fill="#0b0e12" stroke="{c}" stroke-width="{max(1.5, size / 22):.2f}"/>'
    t = size * 0.26
    out += path(f"M{cx - t},{cy - t * 0.9} L{cx + t},{cy - t * 0.9} L{cx + t * 0.55},{cy - t * 0.35} "
                f"L{cx + t * 0.2},{cy - t * 0.35} L{cx + t * 0.2},{cy + t * 1.1} L{cx - t * 0.2},{cy + t * 1.1} "
                f"L{cx - t * 0.2},{cy - t * 0.35} L{cx - t * 0.55},{cy - t * 0.35} Z",
                fill=ACC_L if lit else MUTED)
    return out
