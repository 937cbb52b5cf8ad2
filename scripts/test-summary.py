#!/usr/bin/env python3
"""Per-suite counts and the closing line for ./test.

Reads ctest's JUnit file of each build (one entry per test executable) and, where the executable
was a GoogleTest program, its own XML file with the individual cases.
"""
import os
import sys
import xml.etree.ElementTree as ET


def gtest_counts(path):
    passed = failed = skipped = 0
    root = ET.parse(path).getroot()
    for case in root.iter("testcase"):
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        elif case.get("result") == "skipped" or case.find("skipped") is not None:
            skipped += 1
        elif case.get("status", "run") == "run":
            passed += 1
    return passed, failed, skipped


def main(builds):
    total = [0, 0, 0]
    for build in builds:
        junit = os.path.join(build, "ctest-junit.xml")
        label = os.path.basename(build)
        if not os.path.exists(junit):
            print(f"[{label}] no test results (the build or ctest did not run)")
            total[1] += 1
            continue
        for case in ET.parse(junit).getroot().iter("testcase"):
            name = case.get("name")
            status = case.get("status", "")
            xml = os.path.join(build, "test-results", name + ".xml")
            if status == "skipped" or case.find("skipped") is not None:
                reason = ""
                out = case.find("system-out")
                if out is not None and out.text:
                    lines = [l for l in out.text.splitlines() if "SKIPPED" in l]
                    reason = lines[0].strip() if lines else ""
                print(f"[{label}] {name}: skipped {reason}")
                total[2] += 1
                continue
            if os.path.exists(xml) and os.path.getmtime(xml) >= os.path.getmtime(junit) - 3600:
                p, f, s = gtest_counts(xml)
                if status == "fail" and f == 0:
                    f = 1  # crashed or timed out after its last case
            else:
                p, f, s = (1, 0, 0) if status == "run" else (0, 1, 0)
            print(f"[{label}] {name}: {p} passed, {f} failed" + (f", {s} skipped" if s else ""))
            total[0] += p
            total[1] += f
            total[2] += s
    for failed_build in os.environ.get("TAVRINE_FAILED_BUILDS", "").split():
        print(f"[{failed_build}] build failed: its tests did not all run")
        total[1] += 1
    line = f"{total[0]} passed, {total[1]} failed"
    if total[2]:
        line += f", {total[2]} skipped"
    print(line)
    return 1 if total[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
