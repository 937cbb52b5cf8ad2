#!/usr/bin/env python3
"""Per-suite counts and the closing line for ./test.

Reads ctest's JUnit files of each build (one entry per test executable; a build whose tests ran
in two lanes has one file per lane) and, where the executable was a GoogleTest program, its own
XML file with the individual cases. A Windows build's "test-arch" file says which Wine ran it;
its ctest logs show which tests failed once and passed when run again, and those are named so
that a flaky test is seen.
"""
import glob
import os
import re
import sys
import xml.etree.ElementTree as ET


def passed_on_second_run(log):
    """Names of the tests that failed a first time and then passed (ctest --repeat until-pass)."""
    if not os.path.exists(log):
        return []
    failed_once, passed = set(), set()
    pattern = re.compile(r"Test\s+#\d+: (\S+) \.*\s*(\*+)?(\w+)")
    with open(log, errors="replace") as f:
        for line in f:
            m = pattern.search(line)
            if not m:
                continue
            name, result = m.group(1), m.group(3)
            if result == "Passed":
                if name in failed_once:
                    passed.add(name)
            elif result in ("Failed", "Exception", "Timeout", "Not", "SegFault", "Subprocess"):
                failed_once.add(name)
    return sorted(passed)


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


def seconds(case):
    try:
        return float(case.get("time", "0"))
    except ValueError:
        return 0.0


def main(builds):
    total = [0, 0, 0]
    flaky = []
    timed = []
    for build in builds:
        junits = sorted(glob.glob(os.path.join(build, "ctest-junit*.xml")))
        label = os.path.basename(build)
        arch_file = os.path.join(build, "test-arch")
        windows = label.startswith("windows")
        if windows:
            if not os.path.exists(arch_file):
                print(f"[{label}] not run: only other Windows builds were chosen (TAVRINE_WINDOWS_ARCHES)")
                continue
            with open(arch_file) as f:
                label += " · " + f.read().strip()
            if "static" in label and os.environ.get("TAVRINE_RUNS32") == "no":
                print(f"[{label}] this machine does not run 32-bit programs: the 32-bit build's "
                      "static checks ran here, its Windows tests ran as the 64-bit build")
        if not junits:
            print(f"[{label}] no test results (the build or ctest did not run)")
            total[1] += 1
            continue
        for log in sorted(glob.glob(os.path.join(build, "ctest*.log"))):
            for name in passed_on_second_run(log):
                flaky.append(f"[{label}] {name}")
        cases = [(junit, case) for junit in junits
                 for case in ET.parse(junit).getroot().iter("testcase")]
        for junit, case in cases:
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
            took = seconds(case)
            timed.append((took, f"[{label}] {name}"))
            print(f"[{label}] {name}: {p} passed, {f} failed" + (f", {s} skipped" if s else "")
                  + f" in {took:.1f} s")
            total[0] += p
            total[1] += f
            total[2] += s
    if timed:
        timed.sort(reverse=True)
        print("slowest: " + "; ".join(f"{name} {took:.0f} s" for took, name in timed[:5]))
    for name in flaky:
        print(f"{name}: failed once, passed when run again")
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
