"""Window backgrounds. Outside the window's outline nothing is drawn: that becomes lime (see-through).

Every control that lies on a background sits on flat PANEL, so its own picture (drawn on PANEL)
joins without a seam; pictures that are part of the mouse are cut out of the same scene instead.
"""

import mouse
from svg import (ACC, ACC_D, ACC_L, BG, DIM, EDGE, EDGE2, FIELD, MUTED, PANEL, PANEL2, TEXT, chamfer_path,
                 doc, line, path, rect, text)


def shell(w, h, c=14, title=None, sub=None):
    """Chamfered dark panel with an accent trim and an optional title at the top left."""
    out = path(chamfer_path(0, 0, w, h, c), fill=PANEL)
    out += path(chamfer_path(2.5, 2.5, w - 2.5, h - 2.5, c - 1), stroke=EDGE, sw=1)
    out += path(f"M2.5,{c + 24} L2.5,{c + 1.5} L{c + 1.5},2.5 L{c + 60},2.5", stroke=ACC, sw=2)
    out += path(f"M{w - 2.5},{h - c - 24} L{w - 2.5},{h - c - 1.5} L{w - c - 1.5},{h - 2.5} L{w - c - 60},{h - 2.5}",
                stroke=ACC, sw=2)
    if title:
        out += text(32, 40, title, size=15, fill=TEXT, spacing=2)
        out += rect(32, 47, 28, 2, fill=ACC)
    if sub:
        out += text(32 + 9.8 * len(title) + 16, 40, sub, size=10, fill=MUTED, weight="normal", spacing=1)
    return out


def field(x, y, w, h):
    """Frame behind an edit field, slightly larger than the edit."""
    return rect(x + 0.5, y + 0.5, w - 1, h - 1, fill=FIELD, stroke=EDGE2, rx=2)


def caption(x, y, s, size=11, fill=MUTED, anchor="start", weight="bold"):
    return text(x, y, s, size=size, fill=fill, anchor=anchor, weight=weight, spacing=1)


# ---------------------------------------------------------------- main window (980 x 750)

def main(state):
    w, h = 980, 750
    outline = ("M30,58 L696,58 L712,0 L934,0 L950,16 L950,58 L972,80 L972,720 L950,742 L30,742 "
               "L8,720 L8,80 Z")
    out = path(outline, fill=PANEL)
    out += path("M31,61 L698,61 L714,3 L932,3 L947,18 L947,61 L969,82 L969,718 L948,739 L32,739 L11,718 L11,82 Z",
                stroke=EDGE, sw=1)
    out += path("M11,140 L11,82 L31,61 L200,61", stroke=ACC, sw=2.5)
    out += path("M969,640 L969,718 L948,739 L760,739", stroke=ACC, sw=2.5)
    out += path("M698,61 L714,3 L800,3", stroke=ACC, sw=2)
    # title block
    out += text(40, 92, "NORVEX", size=12, fill=ACC, spacing=6)
    out += text(38, 132, "TAVRINE", size=40, fill=TEXT, spacing=5)
    out += text(40, 156, "GAMING MOUSE CONFIGURATION", size=10, fill=MUTED, spacing=2.2)
    # profile strip
    out += caption(344, 110, "SELECT PROFILE", size=10)
    out += rect(336.5, 117.5, 536, 61, stroke=EDGE, rx=6)
    out += line(30, 196, 950, 196, EDGE, 1) + rect(30, 195, 80, 3, fill=ACC)
    # stage behind the mouse
    out += '<radialGradient id="stage" cx="0.5" cy="0.5" r="0.5">' \
           '<stop offset="0" stop-color="#1b2733"/><stop offset="1" stop-color="#151920"/></radialGradient>'
    out += f'<circle cx="334.5" cy="420" r="215" fill="url(#stage)"/>'
    out += f'<circle cx="334.5" cy="420" r="200" fill="none" stroke="#1e2631" stroke-width="1" stroke-dasharray="3 6"/>'
    # callouts for the side buttons
    out += line(120, 338, 224, 338, EDGE2, 1) + caption(60, 342, "BUTTON 4", size=10)
    out += line(120, 404, 223, 404, EDGE2, 1) + caption(60, 408, "BUTTON 5", size=10)
    out += caption(60, 260, "CLICK A BUTTON", size=10, fill=TEXT)
    out += caption(60, 276, "ON THE MOUSE", size=10, fill=TEXT)
    out += caption(60, 292, "TO EDIT IT", size=10, fill=TEXT)
    out += rect(60, 300, 24, 2, fill=ACC)
    # the mouse; its highlights stay inside the hover pictures' rectangles
    hover = state.get("hover")
    clip = {"left": (251, 223, 84, 173), "right": (334, 223, 85, 173),
            "side1": (219, 314, 29, 53), "side2": (219, 360, 29, 83)}
    out += mouse.body()
    if hover:
        x, y, cw, ch = clip[hover]
        spill = ""
        if state.get("spill"):  # the lit wheel casts its colour on the highlighted button
            spill = ('<radialGradient id="sp"><stop offset="0" stop-color="#19c6ff" stop-opacity="0.45"/>'
                     '<stop offset="1" stop-color="#19c6ff" stop-opacity="0"/></radialGradient>'
                     '<circle cx="336" cy="288" r="48" fill="url(#sp)"/>')
        out += (f'<clipPath id="hv"><rect x="{x + 1}" y="{y + 1}" width="{cw - 2}" height="{ch - 2}"/></clipPath>'
                f'<g clip-path="url(#hv)">{mouse.body(hover)}{spill}</g>')
    # the wheel picture is all slot, so it covers any button highlight under it without a seam
    out += mouse.wheel(335.5, 289, 33, 64, state.get("wheel"), state.get("wheelhover"), slot_rx=3, clip="wc")
    out += ('<clipPath id="lc"><rect x="311" y="479" width="48" height="48"/></clipPath>'
            f'<g clip-path="url(#lc)">{mouse.logo(335, 503, 40, state.get("logo"))}</g>')
    # status box under the mouse (the kind icon and the description label sit in it)
    out += rect(259.5, 646.5, 170, 46, fill=PANEL2, stroke=EDGE, rx=6)
    # function area
    out += caption(604, 224, "1  CHOOSE A BUTTON ON THE MOUSE", size=10)
    out += caption(604, 241, "2  GIVE IT A FUNCTION", size=10)
    out += caption(604, 258, "3  APPLY TO WRITE IT INTO THE MOUSE", size=10)
    out += rect(596.5, 268.5, 241, 254, stroke=EDGE, rx=6)
    out += caption(604, 284, "BUTTON FUNCTION", size=9, fill=ACC)
    out += caption(886, 292, "EDITOR", size=9, fill=ACC, anchor="middle")
    out += caption(604, 566, "TIPS", size=9, fill=ACC)
    for i, tip in enumerate(("Point at a mouse button to see its function below the mouse.",
                             "Changes reach the mouse only with APPLY or OK.",
                             "Drag the window by its background.")):
        out += text(604, 586 + 18 * i, tip, size=11, fill=MUTED, weight="normal")
    # footer
    out += line(600, 688, 950, 688, EDGE, 1)
    out += text(40, 724, "KVR-5502  \u00b7  5 PROFILES  \u00b7  5 BUTTONS", size=9, fill=DIM, spacing=1.5)
    return doc(w, h, out, mouse.DEFS)


# ---------------------------------------------------------------- light dialog (398 x 638)

LIGHT_T = (204, 86.3, 1.17, 0.96)  # body centre x, top, x scale, y scale


def light(state):
    w, h = 398, 638
    out = shell(w, h, 16, "LIGHT OPTION")
    out += caption(32, 70, "SELECT A LIGHT, THEN SWITCH IT ON OR OFF", size=9)
    cx, top, sx, sy = LIGHT_T
    out += (f'<g transform="translate({cx - 334.5 * sx},{top - 206 * sy}) scale({sx},{sy})">'
            f'{mouse.body()}</g>')
    out += line(24, 166, 92, 166, EDGE2) + caption(24, 160, "WHEEL", size=10, fill=TEXT)
    out += line(24, 417, 96, 417, EDGE2) + caption(24, 411, "LOGO", size=10, fill=TEXT)
    for key, (x, y, rw, rh), draw in (
            ("wheel", (165, 130, 87, 71), lambda lit: mouse.wheel(208.5, 165.5, 34, 64, lit)),
            ("logo", (163, 379, 74, 76), lambda lit: mouse.logo(200, 417, 54, lit))):
        lit, sel = state.get(key + "_on", False), state.get(key + "_sel", False)
        body = draw(lit)
        if sel:  # corner brackets mark the selected light
            k = 12
            for px, py, dx, dy in ((x + 4, y + 4, 1, 1), (x + rw - 4, y + 4, -1, 1),
                                   (x + 4, y + rh - 4, 1, -1), (x + rw - 4, y + rh - 4, -1, -1)):
                body += path(f"M{px},{py + dy * k} L{px},{py} L{px + dx * k},{py}", stroke=ACC_L, sw=2.5)
        out += (f'<clipPath id="c{key}"><rect x="{x + 1}" y="{y + 1}" width="{rw - 2}" height="{rh - 2}"/></clipPath>'
                f'<g clip-path="url(#c{key})">{body}</g>')
    out += line(32, 575, 366, 575, EDGE)
    return doc(w, h, out, mouse.DEFS)


# ---------------------------------------------------------------- performance dialog (603 x 537)

BAR_TOPS = [357, 350, 342, 335, 327, 320, 312, 304, 297, 289, 282, 274, 266, 258, 251, 243, 236, 228, 220, 213,
            205, 197, 189, 182, 175, 167, 160, 152, 145, 137, 130, 122, 114, 106, 99]
STOPS = [235, 264, 293, 322, 351, 378, 405, 433, 462, 491]


def perform(state):
    w, h = 603, 537
    out = shell(w, h, 16, "PERFORMANCE")
    # DPI column: unlit slots behind the bar pictures, so hidden bars read as dark segments
    out += caption(64, 86, "DPI", fill=ACC)
    out += rect(63.5, 95.5, 102, 270, stroke=EDGE, rx=4)
    for top in BAR_TOPS:
        out += rect(76, top, 89, 5, fill="#1c222b", rx=1.5)
    for step, label in ((35, "3500"), (20, "2000"), (10, "1000"), (1, "100")):
        out += text(172, BAR_TOPS[step - 1] + 6, label, size=8, fill=DIM)
    out += field(73, 373, 62, 26) + caption(139, 391, "DPI", size=10)
    out += caption(64, 414, "PRESS ENTER", size=8, fill=DIM)
    # level slider: stops at knob lefts 257, 329, 401, 473
    out += caption(232, 104, "DPI LEVELS")
    out += line(268.5, 145, 484.5, 145, EDGE2, 2)
    for i in range(4):
        x = 268.5 + 72 * i
        out += rect(x - 3, 142, 6, 6, fill=EDGE2, rx=3)
        out += text(x, 180, str(i + 1), size=11, fill=MUTED, anchor="middle")
    # three ten-stop sliders
    for cap_y, knob_top, name, lo, hi in ((198, 218, "DOUBLE CLICK SPEED", "SLOW", "FAST"),
                                         (286, 306, "CURSOR SPEED", "SLOW", "FAST"),
                                         (373, 392, "SCROLL SPEED", "1", "10 LINES")):
        out += caption(232, cap_y, name)
        out += text(514, cap_y, f"{lo}  \u2013  {hi}", size=8, fill=DIM, anchor="end")
        ty = knob_top + 14
        out += line(246.5, ty, 502.5, ty, EDGE2, 2)
        for x in STOPS:
            out += line(x + 11.5, ty + 6, x + 11.5, ty + 9, DIM, 1)
    out += line(215, 92, 215, 470, EDGE)
    out += caption(48, 436, "POLLING RATE")
    out += line(32, 476, 571, 476, EDGE)
    return doc(w, h, out)


# ---------------------------------------------------------------- macro editor (603 x 474)

def macro(state):
    w, h = 603, 474
    out = shell(w, h, 16, "MACRO EDITOR")
    out += caption(41, 90, "EVENTS", size=9, fill=ACC)
    out += rect(38.5, 95.5, 260, 262, fill="#000000", stroke=EDGE2, rx=2)
    out += line(305, 80, 305, 412, EDGE)
    out += caption(316, 147, "MACRO NAME", size=9)
    out += field(413, 129, 144, 27)
    out += caption(352, 201, "DELAY", size=9, fill=TEXT)
    out += caption(352, 223, "TIME", size=9)
    out += field(411, 205, 67, 27) + caption(482, 224, "ms", size=9)
    out += caption(352, 253, "RECORDING OPTIONS", size=8, fill=DIM)
    out += caption(390, 273, "Ignore Delay Time", size=10, fill=TEXT, weight="normal")
    out += caption(390, 304, "Insert Default Delay Time", size=10, fill=TEXT, weight="normal")
    out += caption(390, 334, "Default delay", size=10, weight="normal")
    out += field(474, 316, 51, 27) + caption(529, 334, "ms", size=9)
    out += caption(375, 363, "INSERT COMMAND", size=8)
    out += field(372, 367, 166, 27)
    out += line(32, 419, 571, 419, EDGE)
    return doc(w, h, out)


# ---------------------------------------------------------------- small dialogs

def skey(state):
    out = shell(281, 188, 12, "SINGLE KEY")
    out += line(32, 133, 249, 133, EDGE)
    return doc(281, 188, out)


def tkey(state):
    out = shell(281, 328, 12, "MACRO KEY")
    out += line(32, 122, 249, 122, EDGE)
    out += line(32, 256, 249, 256, EDGE)
    return doc(281, 328, out)


def repeat(state):
    # no see-through colour on this dialog: a plain rectangle
    w, h = 280, 123
    out = rect(0, 0, w, h, fill=PANEL) + rect(1.5, 1.5, w - 3, h - 3, stroke=EDGE2, sw=1)
    out += rect(0, 0, w, 3, fill=ACC) + line(32, 66, 248, 66, EDGE)
    out += field(173, 29, 56, 27)
    return doc(w, h, out)


def newmacro(state):
    out = shell(340, 166, 12, "NEW MACRO")
    out += field(133, 70, 135, 31)
    return doc(340, 166, out)


def _warning(w, title, mark):
    h = 172
    out = shell(w, h, 14)
    out += path("M44,18 L58,44 L30,44 Z", fill="none", stroke=ACC, sw=2.2) if mark == "!" else \
        f'<circle cx="44" cy="32" r="13" fill="none" stroke="{ACC}" stroke-width="2.2"/>'
    out += text(44, 41 if mark == "!" else 37.5, mark, size=13 if mark == "!" else 15, fill=ACC, anchor="middle")
    out += text(68, 38, title, size=15, fill=TEXT, spacing=2)
    out += line(32, 58, w - 32, 58, EDGE)
    return doc(w, h, out)


def warning1(state):
    return _warning(494, "CONFIRM", "!")


def warning2(state):
    return _warning(600, "NOTICE", "i")


SCENES = {"main": main, "light": light, "perform": perform, "macro": macro, "skey": skey, "tkey": tkey,
          "repeat": repeat, "newmacro": newmacro, "warning1": warning1, "warning2": warning2}


def crop_state(scene, component, state):
    """Which scene state a cut-out picture shows."""
    if scene == "main":
        return {
            ("Img_LBtn", "00"): {"hover": "left"}, ("Img_LBtn", "10"): {"hover": "left", "spill": True},
            ("Img_RBtn", "00"): {"hover": "right"}, ("Img_RBtn", "10"): {"hover": "right", "spill": True},
            ("Img_MBtn", "00"): {}, ("Img_MBtn", "11"): {"wheel": True}, ("Img_MBtn", "0"): {"wheelhover": True},
            ("Img_XBtn1", "0"): {"hover": "side1"}, ("Img_XBtn2", "0"): {"hover": "side2"},
            ("Img_Logo", "0"): {}, ("Img_Logo", "1"): {"logo": True},
        }[(component, state)]
    if scene == "light":
        key = "wheel" if component == "Img_Wheel" else "logo"
        return {f"{key}_on": state.startswith("On"), f"{key}_sel": state.endswith("1")}
    raise KeyError(scene)
