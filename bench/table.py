#!/usr/bin/env python3
"""Turns the figures the benchmarks printed ("@ name value" lines) into the comparison table.

Usage: table.py <figures file> <csv out> <svg out> <label>
Every figure is set against a baseline measured in the same run; a row whose program or figure
is missing says so instead of a number.
"""
import csv
import sys
from xml.sax.saxutils import escape


def load(path):
    figures = {}
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 3 and parts[0] == "@":
                try:
                    figures[parts[1]] = float(parts[2])
                except ValueError:
                    pass
    return figures


def rows(f):
    """(figure, suite, baseline, unit, goal text, met, goal limit) for each row; met is the
    verdict text where the row has no figures."""
    def get(*names):
        return None if any(n not in f for n in names) else [f[n] for n in names]

    def row(name, unit, goal, values, met, baseline_of=lambda v: v[1], suite_of=lambda v: v[0],
            limit=None, absent="not measured"):
        """limit(baseline): the highest figure that meets the goal, drawn on the chart; absent:
        what the row says when its figures are missing."""
        if values is None:
            return (name, None, None, unit, goal, absent, None)
        suite, base = suite_of(values), baseline_of(values)
        return (name, suite, base, unit, goal, met(suite, base), limit(base) if limit else None)

    out = []
    out.append(row("start -> main window shown", "ms", "<= baseline + 100 ms",
                   get("start_shown_ms", "empty_shown_ms"), lambda s, b: s <= b + 100,
                   limit=lambda b: b + 100))
    out.append(row("start -> controls enabled (attach)", "ms", "<= 1.05 x baseline",
                   get("start_enabled_ms", "start_shown_ms"), lambda s, b: s <= 1.05 * b,
                   baseline_of=lambda v: 1500 + v[1], limit=lambda b: 1.05 * b))
    out.append(row("Portivo Set/GetKbdFeatures per call", "us", "<= 1.10 x baseline",
                   get("portivo_call_us", "raw_walk_call_us"), lambda s, b: s <= 1.10 * b,
                   limit=lambda b: 1.10 * b))
    out.append(row("Apply -> write ended", "ms", "<= 1.05 x baseline",
                   get("write_ending_ms", "raw_walk_set_us", "ack_ms"),
                   lambda s, b: s <= 1.05 * b,
                   baseline_of=lambda v: 100 + 35 * (3 + v[1] / 1000 + v[2]),
                   limit=lambda b: 1.05 * b))
    out.append(row("private bytes after a write", "MB", "<= baseline + 10 MB",
                   get("private_mb", "empty_private_mb"), lambda s, b: s <= b + 10,
                   limit=lambda b: b + 10))
    out.append(row("CPU at rest 30 s, mouse attached", "% core", "<= 0.1 %",
                   get("idle_cpu_percent"), lambda s, b: s <= 0.1, baseline_of=lambda v: 0))
    moves = f.get("hover_moves")
    for key, name in (("profile_hover", "profile-tab hover"), ("button_hover", "button hover")):
        values = get(key + "_opens", "hover_moves")
        out.append(row(f"{name}: pictures read per move", "files", "0 when nothing changed",
                       values, lambda s, b: s == 0, baseline_of=lambda v: 0,
                       suite_of=lambda v: v[0] / v[1] if moves else v[0]))
    out.append(row("Vistrel event -> popup", "ms", "<= baseline + 100 ms",
                   get("osd_popup_ms", "osd_waits_ms"), lambda s, b: s <= b + 100,
                   limit=lambda b: b + 100))
    out.append(row("Vistrel private bytes at rest", "MB", "<= baseline + 10 MB",
                   get("osd_private_mb", "empty_private_mb"), lambda s, b: s <= b + 10,
                   limit=lambda b: b + 10))
    # One frame at 60 Hz beyond the bare delivery: a row that comes later is seen to lag.
    out.append(row("macro editor keystroke -> row", "ms", "<= baseline + 16 ms",
                   get("macro_row_ms", "key_delivery_ms"), lambda s, b: s <= b + 16,
                   limit=lambda b: b + 16))
    out.append(row("macro editor keystroke -> row, 90th percentile", "ms", "<= baseline + 16 ms",
                   get("macro_row_p90_ms", "key_delivery_p90_ms"), lambda s, b: s <= b + 16,
                   limit=lambda b: b + 16))
    out.append(row("watcher CPU at rest 30 s, rules loaded", "% core", "0.000 %",
                   get("watch_idle_cpu_percent"), lambda s, b: s < 0.0005, baseline_of=lambda v: 0))
    out.append(row("watcher private bytes", "MB", "<= baseline + 2 MB",
                   get("watch_private_mb", "watch_empty_private_mb"), lambda s, b: s <= b + 2,
                   limit=lambda b: b + 2))
    out.append(row("foreground change -> switch write", "ms", "<= settling time + 50 ms",
                   get("watch_switch_ms", "watch_settle_ms"), lambda s, b: 0 <= s <= b + 50,
                   limit=lambda b: b + 50))
    out.append(row("1,000 changes in a burst: profile writes", "writes", "1 (the last program's)",
                   get("watch_burst_writes"), lambda s, b: s == 1, baseline_of=lambda v: 1))
    out.append(row("watcher answers after the burst", "yes=1", "1",
                   get("watch_burst_answers"), lambda s, b: s == 1, baseline_of=lambda v: 1))
    out.append(row("installer size", "MB", "<= 1.0 x the files it installs",
                   get("installer_mb", "payload_mb"), lambda s, b: s <= b,
                   limit=lambda b: b,
                   absent="not built" if "installer_not_built" in f else "not measured"))
    return out


def number(v):
    if v is None:
        return "-"
    return f"{v:.3f}" if abs(v) < 10 else f"{v:.1f}"


def ratio(s, b):
    return None if s is None or b is None or b == 0 else s / b


def main():
    figures, csv_out, svg_out, label = sys.argv[1:5]
    table = rows(load(figures))
    header = ("figure", "unit", "this suite", "baseline", "ratio", "goal", "met")
    lines = []
    for name, s, b, unit, goal, met, _ in table:
        verdict = met if isinstance(met, str) else ("met" if met else "MISSED")
        lines.append((name, unit, number(s), number(b), number(ratio(s, b)), goal, verdict))
    widths = [max(len(str(r[i])) for r in [header] + lines) for i in range(len(header))]
    print(f"benchmarks, {label}")
    for r in [header] + lines:
        print("  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
    f = load(figures)
    if all(k in f for k in ("sleep3_ms", "write_ending_ms", "raw_walk_set_us", "ack_ms")):
        # Not a row: the formula's 3 ms is a request; what Sleep(3) takes here is measured too.
        real = 100 + 35 * (f["sleep3_ms"] + f["raw_walk_set_us"] / 1000 + f["ack_ms"])
        print(f"note: Sleep(3) takes {f['sleep3_ms']:.2f} ms here; with that for the 3 ms the "
              f"write's baseline is {real:.1f} ms, ratio {f['write_ending_ms'] / real:.3f}")
    with open(csv_out, "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(header)
        w.writerows(lines)

    # One bar per row: the figure's ratio to its baseline, the goal's limit as a black mark on
    # the same scale; green met, red missed, grey not measured. Rows against a baseline of 0 show
    # a dot and their figure.
    bar_h, top, left, width = 26, 66, 330, 420
    scale_max = 5.0
    svg = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{left + width + 150}" '
           f'height="{top + bar_h * len(table) + 20}" font-family="sans-serif" font-size="13">',
           '<rect width="100%" height="100%" fill="white"/>',
           '<text x="10" y="22" font-size="16">Tavrine benchmarks: ratio to the baseline of the '
           'same run (black mark: goal)</text>',
           f'<text x="10" y="40" fill="#555">{escape(label)}</text>']
    for i in range(int(scale_max) + 1):
        x = left + width * i / scale_max
        svg.append(f'<line x1="{x}" y1="{top - 6}" x2="{x}" '
                   f'y2="{top + bar_h * len(table)}" stroke="#ccc"/>')
        svg.append(f'<text x="{x - 4}" y="{top - 9}" fill="#666">{i}</text>')
    for n, (name, s, b, unit, goal, met, limit) in enumerate(table):
        y = top + n * bar_h
        r = ratio(s, b)
        colour = "#999" if isinstance(met, str) else ("#3a3" if met else "#d33")
        svg.append(f'<text x="10" y="{y + 17}">{escape(name)}</text>')
        if r is not None:
            w = width * min(r, scale_max) / scale_max
            svg.append(f'<rect x="{left}" y="{y + 5}" width="{w:.1f}" height="{bar_h - 10}" '
                       f'fill="{colour}"/>')
            text = f"{r:.2f}x"
            goal_ratio = ratio(limit, b)
            if goal_ratio is not None:
                gx = left + width * min(goal_ratio, scale_max) / scale_max
                svg.append(f'<rect x="{gx - 1.5:.1f}" y="{y + 1}" width="3" height="{bar_h - 2}" '
                           f'fill="black"/>')
        elif s is not None:
            svg.append(f'<circle cx="{left + 6}" cy="{y + bar_h / 2}" r="6" fill="{colour}"/>')
            text = f"{number(s)} {unit}"
        else:
            text = met
        svg.append(f'<text x="{left + width + 8}" y="{y + 17}" fill="{colour}">'
                   f'{escape(text)}</text>')
    svg.append("</svg>")
    with open(svg_out, "w") as f:
        f.write("\n".join(svg))


if __name__ == "__main__":
    main()
