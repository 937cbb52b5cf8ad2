#!/usr/bin/env python3
"""Writes the installer's generated NSIS includes, so that the installer cannot drift from the
programs it installs:

- SuiteNames.nsh: every `inline constexpr std::wstring_view kName = L"...";` of the given C++
  headers as `!define kName "..."` (registry keys, value names, the program's mutex, the display
  program's window). Key paths lose their leading and trailing backslash, the form NSIS takes.
- InstallFiles.nsh / UninstallFiles.nsh: the install tree, from the artwork table (every picture
  that is installed into a folder), the language samples, the help page and the programs.
"""
import argparse
import os
import re

NAME = re.compile(r'inline\s+constexpr\s+std::wstring_view\s+(k\w+)\s*=\s*L"((?:[^"\\]|\\.)*)"\s*;')


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def nsis_string(text):
    # NSIS strings: "$" starts a variable, "$\" an escape.
    return text.replace("$", "$$").replace('"', '$\\"')


def suite_names(headers):
    lines = ["; Generated from " + ", ".join(os.path.basename(h) for h in headers) + "."]
    for header in headers:
        with open(header, encoding="utf-8") as f:
            for name, value in NAME.findall(f.read()):
                value = unescape(value).strip("\\")
                lines.append(f'!define {name} "{nsis_string(value)}"')
    return lines


def table_files(table):
    """Installed pictures of the artwork table: (folder, file), folder '' = the program folder."""
    files = []
    with open(table, encoding="utf-8") as f:
        header = None
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cells = line.rstrip("\n").split("\t")
            if header is None:
                header = cells
                continue
            row = dict(zip(header, cells))
            folder = row["folder"]
            if folder == "-":
                continue  # built into the program only
            where = "" if folder == "." else folder.replace("/", "\\")
            files.append((where, row["file"]))
            if row["lime"] != "icon":
                # Its 2x copy for screens above 100 %, as the artwork build writes it.
                stem, ext = os.path.splitext(row["file"])
                files.append((where, f"{stem}@2x{ext}"))
    return files


def install_tree(args):
    files = [("", name) for name in args.programs]
    files += table_files(args.table)
    samples = os.path.join(args.lang, "samples")
    files += [("lang\\samples", name) for name in sorted(os.listdir(samples)) if name.endswith(".ini")]
    files.append(("help", os.path.basename(args.help_page)))
    # Dropping duplicates keeps the first place of each file (a picture two windows share).
    seen, unique = set(), []
    for entry in files:
        if entry not in seen:
            seen.add(entry)
            unique.append(entry)
    return unique


def install_lines(files, source):
    lines = ["; Generated: the suite's files as the build lays them out."]
    current = None
    for folder, name in sorted(files):
        if folder != current:
            current = folder
            lines.append(f'SetOutPath "$INSTDIR{chr(92) + folder if folder else ""}"')
        rel = f"{folder.replace(chr(92), '/')}/{name}" if folder else name
        lines.append(f'File "{source}/{rel}"')
    return lines


def uninstall_lines(files, extra_folders):
    lines = ["; Generated: removes exactly what the installer put down."]
    for folder, name in sorted(files):
        lines.append(f'Delete "$INSTDIR\\{folder + chr(92) if folder else ""}{name}"')
    folders = {folder for folder, _ in files if folder} | set(extra_folders)
    # Parents too, deepest first; RMDir without /r keeps a folder that holds the user's own files.
    for folder in list(folders):
        parts = folder.split("\\")
        folders.update("\\".join(parts[:i]) for i in range(1, len(parts)))
    for folder in sorted(folders, key=lambda f: (-f.count("\\"), f)):
        lines.append(f'RMDir "$INSTDIR\\{folder}"')
    return lines


def write(path, lines):
    tmp = path + ".tmp"
    with open(tmp, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(tmp, path)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--headers", nargs="+", required=True)
    ap.add_argument("--table", required=True)
    ap.add_argument("--lang", required=True, help="folder with UILANG.ini and samples/")
    ap.add_argument("--help-page", required=True)
    ap.add_argument("--programs", nargs="+", required=True, help="program and DLL file names")
    ap.add_argument("--source", required=True, help="the build's program folder")
    ap.add_argument("--out", required=True)
    a = ap.parse_args()

    os.makedirs(a.out, exist_ok=True)
    write(os.path.join(a.out, "SuiteNames.nsh"), suite_names(a.headers))
    files = install_tree(a)
    write(os.path.join(a.out, "InstallFiles.nsh"), install_lines(files, a.source))
    # lang\UILANG.ini is the chosen translation and samples\UILANG.en.ini the English one for
    # switching back: both put down by the installer itself.
    write(os.path.join(a.out, "UninstallFiles.nsh"),
          uninstall_lines(files + [("lang", "UILANG.ini"), ("lang\\samples", "UILANG.en.ini")], []))


if __name__ == "__main__":
    main()
