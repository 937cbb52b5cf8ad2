#!/usr/bin/env python3
"""Renders every picture of assets/pictures.tsv and lays out the install tree.

SVG text is produced here, rendered with rsvg-convert and, for the skin bitmaps, turned into
24-bit BMP by ImageMagick. Lime is only ever produced by keying: alpha is cut hard at 50 % before
the picture is flattened on lime, so no blended lime-ish pixel can appear at an edge.

Every picture but the icons also gets a 2x copy ("name@2x.bmp", "name@2x.png"), rendered from
the same vector scene at twice the size, for screens set above 100 %.
"""

import argparse
import concurrent.futures
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import osd  # noqa: E402
import scenes  # noqa: E402
import widgets as wg  # noqa: E402
from svg import PANEL  # noqa: E402


def read_table(path):
    rows, header = [], None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            s = raw.rstrip("\n")
            if not s or s.startswith("#"):
                continue
            cells = s.split("\t")
            if header is None:
                header = cells
                continue
            if len(cells) != len(header):
                raise SystemExit(f"{path}: row has {len(cells)} cells, header {len(header)}: {s}")
            rows.append(dict(zip(header, cells)))
    return rows


def svg_for(row):
    """The SVG document of one picture that is drawn on its own (not cut out of a scene)."""
    style, state, label = row["style"], row["state"], row["label"]
    w, h = int(row["width"]), int(row["height"])
    kind, _, arg = style.partition(":")
    if kind == "scene":
        return scenes.SCENES[arg]({})
    if kind == "text":
        return wg.text_button(w, h, state, label)
    if kind == "topicon":
        return wg.top_icon(w, h, state, label)
    if kind == "profile":
        return wg.profile_tab(w, h, state, label)
    if kind == "function":
        return wg.function_button(w, h, state, label, arg)
    if kind == "tall":
        return wg.tall_button(w, h, state, label, arg)
    if kind == "kindicon":
        return wg.kind_icon(w, h, state)
    if kind == "marker":
        return wg.marker_keyed(w, h)
    if kind == "droparrow":
        return wg.drop_arrow_keyed(w, h, state)
    if kind == "optionbox":
        return wg.option_box(w, h, state)
    if kind == "arrow":
        return wg.arrow(w, h, state, arg)
    if kind == "tab":
        return wg.side_tab(w, h, state, arg)
    if kind == "imagelist":
        return wg.image_list(w, h)
    if kind == "knob":
        return wg.knob(w, h, state)
    if kind == "levelmark":
        return wg.level_mark(w, h)
    if kind == "valuemark":
        return wg.value_mark(w, h)
    if kind == "bar":
        return wg.dpi_bar(w, h, int(arg))
    if kind == "rate":
        return wg.rate_choice(w, h, state, label)
    if kind == "toggle":
        return wg.toggle(w, h, state, label)
    if kind == "spinner":
        return osd.spinner(int(arg), w, h)
    if kind == "osd":
        if arg == "lv-bg":
            return osd.dpi_background(w, h)
        if arg == "poll":
            return osd.poll_background(w, h)
        return osd.single(arg, w, h)
    if kind == "digit":
        size, d = arg.split(":")
        return osd.digit(int(d), w, size == "big")
    raise SystemExit(f"unknown style {style!r} for {row['file']}")


class Renderer:
    def __init__(self, tools, work):
        self.rsvg, self.convert = tools
        self.work = work

    def run(self, *cmd):
        r = subprocess.run(cmd, capture_output=True, text=True)
        if r.returncode != 0:
            raise RuntimeError(f"{' '.join(cmd)}: {r.stderr.strip()}")

    def svg_to_png(self, svg, png, zoom=1):
        fd, src = tempfile.mkstemp(suffix=".svg", dir=self.work)
        with os.fdopen(fd, "w", encoding="utf-8") as f:
            f.write(svg)
        self.run(self.rsvg, "--format=png", f"--zoom={zoom}", "-o", png, src)

    def png_to_bmp(self, png, bmp, keyed, crop=None):
        cmd = [self.convert, png]
        if crop:
            cmd += ["-crop", "%dx%d+%d+%d" % crop, "+repage"]
        if keyed:
            cmd += ["-channel", "A", "-threshold", "50%", "+channel", "-background", "#00ff00"]
        else:
            cmd += ["-background", PANEL]
        cmd += ["-flatten", "-alpha", "off", "-type", "TrueColor", "BMP3:" + bmp]
        self.run(*cmd)


def bmp_size(path):
    with open(path, "rb") as f:
        head = f.read(30)
    if head[:2] != b"BM":
        raise RuntimeError(f"{path}: not a BMP")
    w, h = struct.unpack_from("<ii", head, 18)
    bits = struct.unpack_from("<H", head, 28)[0]
    return w, abs(h), bits


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(26)
    w, h = struct.unpack_from(">II", head, 16)
    return w, h, head[25]


def ico_largest(path):
    with open(path, "rb") as f:
        head = f.read(6 + 16 * 8)
    count = struct.unpack_from("<H", head, 4)[0]
    sizes = [(head[6 + 16 * k] or 256, head[7 + 16 * k] or 256) for k in range(min(count, 8))]
    return max(sizes)


def target_path(row, out, gen):
    folder = row["folder"]
    if folder == "-":
        return os.path.join(gen, "builtin", row["file"])
    if folder == ".":
        return os.path.join(out, row["file"])
    return os.path.join(out, folder, row["file"])


def two_x_path(path):
    """The 2x copy of an installed picture: "Img_Ok1.bmp" -> "Img_Ok1@2x.bmp"."""
    stem, ext = os.path.splitext(path)
    return f"{stem}@2x{ext}"


def has_two_x(row):
    """Every picture but the icons has a 2x copy; a built-in-only one is built in at both sizes."""
    return row["lime"] != "icon"


def render_all(rows, out, gen, tools, jobs):
    work = tempfile.mkdtemp(prefix="tavrine-art-")
    r = Renderer(tools, work)
    try:
        # Scenes that pictures are cut from are rendered once per state.
        scene_jobs = {}
        for row in rows:
            kind, _, arg = row["style"].partition(":")
            if kind == "crop":
                scene = arg.split(":")[0]
                st = scenes.crop_state(scene, row["component"], row["state"])
                key = (scene, tuple(sorted(st.items())))
                scene_jobs.setdefault(key, st)
        scene_png = {(key, zoom): os.path.join(work, f"scene{i}x{zoom}.png")
                     for i, key in enumerate(scene_jobs) for zoom in (1, 2)}

        with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
            list(pool.map(lambda k: r.svg_to_png(scenes.SCENES[k[0][0]](scene_jobs[k[0]]), scene_png[k], k[1]),
                          scene_png))

            def draw(i, row, dest, zoom):
                kind, _, arg = row["style"].partition(":")
                w, h = int(row["width"]) * zoom, int(row["height"]) * zoom
                keyed = row["lime"] == "key"
                if kind == "crop":
                    scene, x, y = arg.split(":")
                    st = scenes.crop_state(scene, row["component"], row["state"])
                    png = scene_png[((scene, tuple(sorted(st.items()))), zoom)]
                    r.png_to_bmp(png, dest, keyed, (w, h, int(x) * zoom, int(y) * zoom))
                elif dest.endswith(".png"):
                    r.svg_to_png(svg_for(row), dest, zoom)
                else:
                    png = os.path.join(work, f"p{i}x{zoom}.png")
                    r.svg_to_png(svg_for(row), png, zoom)
                    r.png_to_bmp(png, dest, keyed)
                got = png_size(dest)[:2] if dest.endswith(".png") else bmp_size(dest)[:2]
                if got != (w, h):
                    raise RuntimeError(f"{dest}: {got[0]}x{got[1]}, the table says {w}x{h}")

            def one(item):
                i, row = item
                dest = target_path(row, out, gen)
                os.makedirs(os.path.dirname(dest), exist_ok=True)
                kind, _, arg = row["style"].partition(":")
                w, h = int(row["width"]), int(row["height"])
                if kind == "icon":
                    sizes = []
                    for size in (16, 32, 48):
                        png = os.path.join(work, f"p{i}_{size}.png")
                        r.svg_to_png(osd.app_icon(size, arg), png)
                        sizes.append(png)
                    r.run(r.convert, *sizes, dest)
                    got = ico_largest(dest)
                    if got != (w, h):
                        raise RuntimeError(f"{dest}: {got[0]}x{got[1]}, the table says {w}x{h}")
                    return dest
                draw(i, row, dest, 1)
                # Written after the 1x picture, so that the 2x one is never the older of the two.
                if has_two_x(row):
                    draw(i, row, two_x_path(dest), 2)
                return dest

            return list(pool.map(one, enumerate(rows)))
    finally:
        shutil.rmtree(work, ignore_errors=True)


def inputs_key(table, tools):
    """What the pictures depend on: the table, the generator's own code, the tools' versions and
    the fonts the text is set in."""
    h = hashlib.sha256()
    with open(table, "rb") as f:
        h.update(f.read())
    here = os.path.dirname(os.path.abspath(__file__))
    for name in sorted(os.listdir(here)):
        if name.endswith(".py"):
            h.update(name.encode())
            with open(os.path.join(here, name), "rb") as f:
                h.update(f.read())
    for tool in tools:
        h.update(subprocess.run([tool, "--version"], capture_output=True).stdout)
    if shutil.which("fc-list"):
        fonts = subprocess.run(["fc-list", "--format", "%{file} %{fontversion}\n"],
                               capture_output=True, text=True).stdout
        h.update("".join(sorted(fonts.splitlines(True))).encode())
    return h.hexdigest()[:24]


def render_cached(rows, out, gen, tools, jobs, cache, key, keep=3):
    """Renders into the cache once per set of inputs and copies from there, so that the builds of
    one work tree (Linux, both Windows architectures) render the same pictures only once. Copies
    keep their times: a 2x copy stays no older than its 1x picture."""
    entry = os.path.join(cache, key)
    if not os.path.isdir(entry):
        os.makedirs(cache, exist_ok=True)
        stage = tempfile.mkdtemp(prefix=key + ".", dir=cache)
        try:
            render_all(rows, os.path.join(stage, "out"), os.path.join(stage, "gen"), tools, jobs)
            os.rename(stage, entry)
        except OSError:
            if not os.path.isdir(entry):  # not another build that got there first
                raise
        finally:
            shutil.rmtree(stage, ignore_errors=True)
        older = sorted((e for e in os.listdir(cache) if e != key and "." not in e),
                       key=lambda e: os.path.getmtime(os.path.join(cache, e)))
        for old in older[:max(0, len(older) - (keep - 1))]:
            shutil.rmtree(os.path.join(cache, old), ignore_errors=True)
    os.utime(entry)  # the newest used is kept longest
    shutil.copytree(os.path.join(entry, "out"), out, dirs_exist_ok=True)
    shutil.copytree(os.path.join(entry, "gen"), gen, dirs_exist_ok=True)


def alias_resource(row, component):
    """Resource name of a component that shows another component's pictures: built by the same rule
    (skin folder + component, upper case), so a lookup by name finds it too."""
    return f"{row['folder'].split('/')[-1]}_{component}".upper()


def builtin_entries(rows):
    """(form, component, resource, row) for every picture a component shows before any file load."""
    out = []
    for row in rows:
        if row["resource"] == "-":
            continue
        comps = [(row["component"], row["resource"])]
        if row["alsoshownby"] != "-":
            comps += [(c, alias_resource(row, c)) for c in row["alsoshownby"].split()]
        for form in row["form"].split(","):
            for comp, name in comps:
                out.append((form, comp, name, row))
    return out


def write_resources(rows, out, gen):
    entries = builtin_entries(rows)
    seen = {}
    for _, _, name, row in entries:
        if seen.setdefault(name, row) is not row:
            raise SystemExit(f"resource {name} named twice")
    rc = ["// Built-in pictures: what each picture component shows until a skin file replaces it.",
          "// Generated from assets/pictures.tsv; do not edit."]
    for name, row in seen.items():
        rc.append(f'{name} BITMAP "{target_path(row, out, gen)}"')
        # A picture with no skin file to take a 2x copy from carries its 2x copy built in.
        if row["folder"] == "-" and has_two_x(row):
            rc.append(f'{name}_2X BITMAP "{two_x_path(target_path(row, out, gen))}"')
    hdr = ["#pragma once", "// Generated from assets/pictures.tsv by assets/gen/generate.py; do not edit.",
           "// Resource names of the built-in pictures (BITMAP resources of BuiltinPictures.rc).", "",
           "namespace BuiltinPictures {", ""]
    for name in seen:
        hdr.append(f'inline constexpr const wchar_t* {name} = L"{name}";')
    hdr += ["", "struct Entry {",
            "    const wchar_t* form;       // instance name of the window, e.g. L\"TavrineMainForm1\"",
            "    const wchar_t* component;  // component that shows the picture",
            "    const wchar_t* resource;   // BITMAP resource name",
            "    int width;",
            "    int height;",
            "    bool keyed;                // lime parts are see-through",
            "};", "", "inline constexpr Entry kEntries[] = {"]
    for form, comp, name, row in entries:
        hdr.append(f'    {{L"{form}", L"{comp}", {name}, {row["width"]}, {row["height"]}, '
                   f'{"true" if row["lime"] == "key" else "false"}}},')
    hdr += ["};", "", "}  // namespace BuiltinPictures", ""]
    os.makedirs(gen, exist_ok=True)
    for name, lines in (("BuiltinPictures.rc", rc), ("BuiltinPictures.h", hdr)):
        tmp = os.path.join(gen, name + ".tmp")
        with open(tmp, "w", encoding="utf-8", newline="\n") as f:
            f.write("\n".join(lines) + "\n")
        os.replace(tmp, os.path.join(gen, name))


def write_ini_utf16(src, dest):
    """The language files ship as UTF-16 with a byte-order mark, the encoding the Windows reader
    takes for any character; a translator's editor keeps it when saving."""
    with open(src, encoding="utf-8") as f:
        content = f.read()
    os.makedirs(os.path.dirname(dest), exist_ok=True)
    with open(dest, "wb") as f:
        f.write(b"\xff\xfe" + content.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-16-le"))


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--table", required=True)
    ap.add_argument("--out", required=True, help="program folder: the install tree goes here")
    ap.add_argument("--gen", required=True, help="folder for BuiltinPictures.rc/.h and built-in-only pictures")
    ap.add_argument("--lang", required=True, help="folder with UILANG.ini and samples/")
    ap.add_argument("--help-page", required=True)
    ap.add_argument("--rsvg", default="rsvg-convert")
    ap.add_argument("--convert", default="convert")
    ap.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    ap.add_argument("--stamp")
    ap.add_argument("--cache", help="folder of pictures already rendered, shared by builds")
    a = ap.parse_args()

    rows = read_table(a.table)
    tools = (a.rsvg, a.convert)
    if a.cache:
        render_cached(rows, a.out, a.gen, tools, a.jobs, a.cache, inputs_key(a.table, tools))
    else:
        render_all(rows, a.out, a.gen, tools, a.jobs)
    write_resources(rows, a.out, a.gen)
    write_ini_utf16(os.path.join(a.lang, "UILANG.ini"), os.path.join(a.out, "lang", "UILANG.ini"))
    samples = os.path.join(a.lang, "samples")
    for name in sorted(os.listdir(samples)):
        if name.endswith(".ini"):
            write_ini_utf16(os.path.join(samples, name), os.path.join(a.out, "lang", "samples", name))
    os.makedirs(os.path.join(a.out, "help"), exist_ok=True)
    shutil.copyfile(a.help_page, os.path.join(a.out, "help", os.path.basename(a.help_page)))
    if a.stamp:
        with open(a.stamp, "w") as f:
            f.write(f"{len(rows)} pictures\n")
    print(f"assets: {len(rows)} pictures in {a.out}")


if __name__ == "__main__":
    main()
