#!/usr/bin/env python3
"""Counts the files opened under a folder tree between marker files.

Usage: pictures_read.py <picture folder> <marker folder>
A file "<name>-begin" created in the marker folder starts a count, "<name>-end" ends it and prints
"@ <name>_opens N". Runs until it is terminated. Seen from Linux (inotify), so it counts every read
of a picture file by a program under Wine, whatever API the program used.
"""
import ctypes
import os
import struct
import sys

IN_OPEN = 0x20
IN_CREATE = 0x100
IN_ISDIR = 0x40000000

libc = ctypes.CDLL("libc.so.6", use_errno=True)


def main():
    pictures, marks = sys.argv[1], sys.argv[2]
    os.makedirs(marks, exist_ok=True)
    fd = libc.inotify_init()
    if fd < 0:
        sys.exit("inotify not available")
    watches = {}
    for folder, _, _ in os.walk(pictures):
        wd = libc.inotify_add_watch(fd, folder.encode(), IN_OPEN)
        watches[wd] = "pictures"
    watches[libc.inotify_add_watch(fd, marks.encode(), IN_CREATE)] = "marks"
    counting = {}
    print("@ watcher_ready 1", flush=True)
    while True:
        data = os.read(fd, 65536)
        offset = 0
        while offset < len(data):
            wd, mask, _, length = struct.unpack_from("iIII", data, offset)
            name = data[offset + 16:offset + 16 + length].rstrip(b"\0").decode(errors="replace")
            offset += 16 + length
            if mask & IN_ISDIR:
                continue
            if watches.get(wd) == "marks" and mask & IN_CREATE:
                if name.endswith("-begin"):
                    counting[name[:-6]] = 0
                elif name.endswith("-end") and name[:-4] in counting:
                    key = name[:-4].replace("-", "_")
                    print(f"@ {key}_opens {counting.pop(name[:-4])}", flush=True)
            elif watches.get(wd) == "pictures" and mask & IN_OPEN:
                for key in counting:
                    counting[key] += 1


if __name__ == "__main__":
    main()
