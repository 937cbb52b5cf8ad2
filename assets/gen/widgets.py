"""Picture buttons, boxes, arrows, knobs and icons: each drawn opaque on the colour it sits on."""

from svg import (ACC, ACC_D, ACC_L, BG, DIM, EDGE, EDGE2, FIELD, MUTED, PANEL, PANEL2, TEXT, doc,
                 lingrad, line, mix, path, rect, text)


def _look(state):
    """Fill gradient, border and label colour of a button in state 0 normal, 1 hover, 2 pressed, 3 disabled."""
    return {
        "0": (("#252b35", "#181c23"), EDGE2, TEXT),
        "1": (("#23323d", "#151d25"), ACC, ACC_L),
        "2": (("#0d6a8d", "#083446"), ACC, "#ffffff"),
        "3": (("#171a20", "#13161b"), "#242931", DIM),
    }[state]


def button_frame(w, h, state, rx=4, under=PANEL):
    (g0, g1), border, label = _look(state)
    body = rect(0, 0, w, h, fill=under)
    body += rect(0.5, 0.5, w - 1, h - 1, fill="url(#bf)", stroke=border, sw=1, rx=rx)
    if state == "1":
        body += line(rx + 2, h - 2, w - rx - 2, h - 2, stroke=ACC, sw=1, extra='opacity="0.6"')
    if state == "2":
        body += line(rx + 2, 1.5, w - rx - 2, 1.5, stroke="#000000", sw=1, extra='opacity="0.35"')
    return body, lingrad("bf", [(0, g0), (1, g1)]), label


def text_button(w, h, state, label, under=PANEL):
    body, defs, colour = button_frame(w, h, state, under=under)
    size = 13 if h >= 30 else (11 if h >= 24 else 10)
    # bold DejaVu runs about 0.66 em per capital plus the letter spacing
    size = min(size, int(((w - 12) / max(1, len(label)) - 0.6) / 0.66))
    dy = 1 if state == "2" else 0
    body += text(w / 2, h / 2 + size * 0.36 + dy, label, size=size, fill=colour, anchor="middle", spacing=0.6)
    return doc(w, h, body, defs)


# Kind glyphs, drawn in a 24 x 24 box: T macro, S single key, D default, L launch program.
def glyph(kind, colour, sw=2):
    if kind == "T":  # a recorded sequence: three lines and a play mark
        return (line(3, 6, 14, 6, colour, sw) + line(3, 12, 12, 12, colour, sw) + line(3, 18, 14, 18, colour, sw)
                + path("M16,8 L22,12 L16,16 Z", fill=colour))
    if kind == "S":  # one key cap
        return (rect(3, 3, 18, 18, stroke=colour, sw=sw, rx=4)
                + rect(8, 8, 8, 7, fill=colour, rx=1.5))
    if kind == "D":  # the plain mouse: its factory function
        return (path("M12,3 C17,3 19,6 19,11 L19,15 C19,19 16,21 12,21 C8,21 5,19 5,15 L5,11 C5,6 7,3 12,3 Z",
                     stroke=colour, sw=sw) + line(12, 4, 12, 10, colour, sw))
    if kind == "L":  # start a program: arrow leaving a box
        return (path("M10,5 L4,5 L4,20 L19,20 L19,14", stroke=colour, sw=sw)
                + line(11, 13, 20, 4, colour, sw) + path("M14,3 L21,3 L21,10", stroke=colour, sw=sw))
    raise ValueError(kind)


def kind_icon(w, h, kind):
    body = rect(0, 0, w, h, fill=PANEL2)
    body += rect(0.5, 0.5, w - 1, h - 1, fill="#0f1217", stroke=EDGE2, rx=5)
    body += f'<g transform="translate({(w - 24) / 2},{(h - 24) / 2})">{glyph(kind, ACC)}</g>'
    return doc(w, h, body)


def function_button(w, h, state, label, kind):
    body, defs, colour = button_frame(w, h, state, rx=5)
    icol = {"0": ACC, "1": ACC_L, "2": "#ffffff", "3": DIM}[state]
    body += rect(8.5, 8.5, h - 17, h - 17, fill="#0f1217" if state != "2" else "#073040",
                 stroke=EDGE2 if state != "1" else ACC, rx=5)
    s = (h - 17) / 2 - 12 + 8.5
    body += f'<g transform="translate({s},{s})">{glyph(kind, icol)}</g>'
    body += text(h + 4, h / 2 + 5, label, size=13, fill=colour, spacing=1)
    return doc(w, h, body, defs)


def top_icon(w, h, state, what):
    body, defs, colour = button_frame(w, h, state, rx=6)
    c = colour if state != "0" else MUTED
    cx, cy = w / 2, h / 2
    if what == "close":
        body += line(cx - 8, cy - 8, cx + 8, cy + 8, c, 2.5) + line(cx + 8, cy - 8, cx - 8, cy + 8, c, 2.5)
    elif what == "help":
        body += f'<circle cx="{cx}" cy="{cy}" r="12" fill="none" stroke="{c}" stroke-width="2"/>'
        body += text(cx, cy + 6, "?", size=17, fill=c, anchor="middle")
    elif what == "web":
        body += f'<circle cx="{cx}" cy="{cy}" r="12" fill="none" stroke="{c}" stroke-width="2"/>'
        body += f'<ellipse cx="{cx}" cy="{cy}" rx="5" ry="12" fill="none" stroke="{c}" stroke-width="1.6"/>'
        body += line(cx - 12, cy, cx + 12, cy, c, 1.6)
        body += line(cx - 10, cy - 6, cx + 10, cy - 6, c, 1.2) + line(cx - 10, cy + 6, cx + 10, cy + 6, c, 1.2)
    elif what == "reset":
        body += path(f"M{cx + 10},{cy} A10,10 0 1 1 {cx + 6},{cy - 8}", stroke=c, sw=2.4)
        body += path(f"M{cx + 3},{cy - 13} L{cx + 9},{cy - 8} L{cx + 3},{cy - 3}", stroke=c, sw=2.4)
    return doc(w, h, body, defs)


def profile_tab(w, h, state, label):
    word, number = label.rsplit(" ", 1)
    chosen = state == "2"
    fill = ("#0d6a8d", "#083446") if chosen else (("#23323d", "#151d25") if state == "1" else ("#1f242d", "#171b22"))
    border = ACC if state != "0" else EDGE2
    body = rect(0, 0, w, h, fill=PANEL)
    body += rect(0.5, 0.5, w - 1, h - 1, fill="url(#pf)", stroke=border, rx=4)
    if chosen:
        body += rect(6, h - 5, w - 12, 3, fill=ACC_L, rx=1.5)
    wc = "#ffffff" if chosen else (ACC_L if state == "1" else MUTED)
    nc = "#ffffff" if chosen else (ACC_L if state == "1" else TEXT)
    body += text(12, 27, word, size=10, fill=wc, spacing=1.5)
    body += text(w - 14, 32, number, size=22, fill=nc, anchor="end")
    return doc(w, h, body, lingrad("pf", [(0, fill[0]), (1, fill[1])]))


def tall_button(w, h, state, label, what):
    body, defs, colour = button_frame(w, h, state, rx=6)
    c = {"0": ACC, "1": ACC_L, "2": "#ffffff"}[state]
    cx = w / 2
    if what == "light":  # a bulb with rays
        body += f'<circle cx="{cx}" cy="26" r="8" fill="none" stroke="{c}" stroke-width="2"/>'
        body += rect(cx - 4, 35, 8, 5, fill=c, rx=1)
        for x1, y1, x2, y2 in [(-14, 26, -11, 26), (11, 26, 14, 26), (-10, 15, -8, 17), (10, 15, 8, 17), (0, 11, 0, 14)]:
            body += line(cx + x1, y1, cx + x2, y2 if y2 != 14 else 14, c, 1.8)
    elif what == "performance":  # a gauge
        body += path(f"M{cx - 13},33 A13,13 0 1 1 {cx + 13},33", stroke=c, sw=2.2)
        body += line(cx, 30, cx + 7, 20, c, 2.2) + f'<circle cx="{cx}" cy="30" r="2.5" fill="{c}"/>'
    elif what == "macro":  # key caps
        for i, (x, y) in enumerate([(-13, 14), (1, 14), (-13, 28), (1, 28)]):
            body += rect(cx + x, y, 12, 11, stroke=c, sw=1.6, rx=2)
    # fit the rotated label into the length below the icon
    size = min(13, (h - 62) / (len(label) * 0.78 + 0.2 * len(label)))
    ty = 50 + (h - 50) / 2
    body += text(cx + size * 0.36, ty, label, size=size, fill=colour, anchor="middle", spacing=2,
                 extra=f'transform="rotate(-90 {cx + size * 0.36} {ty})"')
    return doc(w, h, body, defs)


def option_box(w, h, state, under=PANEL):
    body = rect(0, 0, w, h, fill=under)
    border = {"0": EDGE2, "1": ACC, "2": ACC}[state]
    body += rect(1.5, 1.5, w - 3, h - 3, fill="#0f1217" if state != "2" else ACC_D, stroke=border, sw=1.5, rx=3)
    if state == "2":
        body += path(f"M4.5,{h / 2} L{w * 0.42},{h - 5} L{w - 4},4.5", stroke="#ffffff", sw=2.2)
    return doc(w, h, body)


def toggle(w, h, state, label):
    on = state == "1"
    body = rect(0, 0, w, h, fill=PANEL)
    body += rect(0.5, 0.5, w - 1, h - 1, fill="#1a1f27" if state != "2" else "#10161c",
                 stroke=ACC if on else EDGE2, rx=4)
    bx = 7
    body += rect(bx, 6.5, 15, 15, fill=ACC_D if on else "#0f1217", stroke=ACC if state != "0" else EDGE2, sw=1.5, rx=3)
    if on:
        body += path(f"M{bx + 3},14 L{bx + 6.5},18 L{bx + 12.5},10", stroke="#ffffff", sw=2)
    body += text(bx + 23, 18.5, label.upper(), size=10, fill=TEXT if on else MUTED, spacing=0.5)
    return doc(w, h, body)


def rate_choice(w, h, state, label):
    fill = {"0": "#1a1f27", "1": "#0d3d52", "2": "#0d6a8d"}[state]
    border = {"0": EDGE2, "1": ACC, "2": ACC_L}[state]
    colour = {"0": MUTED, "1": ACC_L, "2": "#ffffff"}[state]
    body = rect(0, 0, w, h, fill=PANEL) + rect(0.5, 0.5, w - 1, h - 1, fill=fill, stroke=border, rx=8)
    body += text(w / 2, h / 2 + 4, label, size=11, fill=colour, anchor="middle", spacing=0.5)
    return doc(w, h, body)


def arrow(w, h, state, direction, under=PANEL):
    c = ACC_L if state == "1" else MUTED
    body = rect(0, 0, w, h, fill=under)
    if direction == "down":
        body += path(f"M1.5,2 L{w - 1.5},2 L{w / 2},{h - 1.5} Z", fill=c)
    else:
        body += path(f"M1.5,{h - 2} L{w - 1.5},{h - 2} L{w / 2},1.5 Z", fill=c)
    return doc(w, h, body)


def drop_arrow_keyed(w, h, state):
    """Drawn on transparency; the lime key goes around the hard-edged arrow."""
    c = ACC_L if state == "1" else "#c9d2dc"
    return doc(w, h, path(f"M3,4 L{w - 4},4 L{(w - 1) / 2},{h - 4} Z", fill=c, stroke=c, sw=1))


def marker_keyed(w, h):
    cx, cy = w / 2, h / 2
    body = f'<circle cx="{cx}" cy="{cy}" r="8.2" fill="none" stroke="#05080b" stroke-width="3.6"/>'
    body += f'<circle cx="{cx}" cy="{cy}" r="8.2" fill="none" stroke="{ACC}" stroke-width="2"/>'
    body += f'<circle cx="{cx}" cy="{cy}" r="3.2" fill="#05080b"/><circle cx="{cx}" cy="{cy}" r="2.2" fill="{ACC_L}"/>'
    return doc(w, h, body)


def side_tab(w, h, state, what):
    body, defs, colour = button_frame(w, h, state, rx=5)
    c = {"0": ACC, "1": ACC_L, "2": "#ffffff", "3": DIM}[state]
    cx, cy = w / 2, h / 2
    if what == "delay":  # clock
        body += f'<circle cx="{cx}" cy="{cy}" r="8" fill="none" stroke="{c}" stroke-width="1.8"/>'
        body += line(cx, cy, cx, cy - 5, c, 1.8) + line(cx, cy, cx + 4, cy + 2, c, 1.8)
    elif what == "rec":  # recording dot
        body += f'<circle cx="{cx}" cy="{cy}" r="7" fill="none" stroke="{c}" stroke-width="1.6"/>'
        body += f'<circle cx="{cx}" cy="{cy}" r="3.6" fill="{c}"/>'
    elif what == "insert":  # plus into the list
        body += line(cx, cy - 8, cx, cy + 8, c, 2.2) + line(cx - 8, cy, cx + 8, cy, c, 2.2)
    return doc(w, h, body, defs)


def knob(w, h, state):
    """Slider knob; the track runs through it at mid-height so the slider looks unbroken."""
    body = rect(0, 0, w, h, fill=PANEL) + rect(0, h / 2 - 1, w, 2, fill=EDGE2)
    fill = "#2e3540" if state == "0" else "#1b5b73"
    border = EDGE2 if state == "0" else ACC
    body += rect(3.5, 1.5, w - 7, h - 3, fill=fill, stroke=border, sw=1.4, rx=4)
    gc = MUTED if state == "0" else ACC_L
    for dy in (-4, 0, 4):
        body += line(8, h / 2 + dy, w - 8, h / 2 + dy, gc, 1.2)
    return doc(w, h, body)


def level_mark(w, h):
    body = rect(0, 0, w, h, fill=PANEL)
    body += rect(6, 1, w - 12, 4, fill=ACC, rx=2)
    body += path(f"M{w / 2 - 5},5 L{w / 2 + 5},5 L{w / 2},{h} Z", fill=ACC)
    return doc(w, h, body)


def value_mark(w, h):
    body = rect(0, 0, w, h, fill=PANEL)
    body += rect(3, 1, w - 6, 9, fill=ACC_D, stroke=ACC, sw=1, rx=3)
    body += path(f"M{w / 2 - 4},10 L{w / 2 + 4},10 L{w / 2},{h - 1} Z", fill=ACC)
    return doc(w, h, body)


def dpi_bar(w, h, n):
    c = mix(ACC_D, ACC_L, (n - 1) / 34)
    body = rect(0, 0, w, h, fill=PANEL) + rect(0, 0, w, h - 1, fill=c, rx=1.5)
    body += rect(0, 0, w, 1, fill="#ffffff", extra='opacity="0.18"')
    return doc(w, h, body)


def image_list(w, h):
    """Three 19 x 18 cells on the event list's black: press (arrow down), unused, release (arrow up)."""
    body = rect(0, 0, w, h, fill="#000000")
    body += path("M5,4 L14,4 L9.5,13 Z", fill=ACC) + line(4, 15, 15, 15, ACC, 1.5)
    body += path("M43,14 L52,14 L47.5,5 Z", fill=MUTED) + line(42, 3, 53, 3, MUTED, 1.5)
    return doc(w, h, body)
