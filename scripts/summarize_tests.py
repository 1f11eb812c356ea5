#!/usr/bin/env python3
"""Counts the test cases of one or more ctest runs.

Each ctest run leaves a JUnit file (ctest --output-junit) and, for every
GoogleTest program, GoogleTest's own XML report named after the program.
A program with a report counts its cases; a program whose run failed with
every case passing (a crash at exit, a sanitizer report) counts one more
failure; a test without a report counts as one case.

usage: summarize_tests.py RESULTS_DIR [RESULTS_DIR ...]
Prints the failed cases, then "N passed, M failed".
"""
import sys
import xml.etree.ElementTree as ET
from pathlib import Path


def gtest_cases(report):
    passed, failed = 0, []
    for case in ET.parse(report).getroot().iter("testcase"):
        if case.get("status", "run") != "run" or case.get("result") == "skipped":
            continue
        if case.find("failure") is not None:
            failed.append(f"{case.get('classname')}.{case.get('name')}")
        else:
            passed += 1
    return passed, failed


def summarize(results_dir):
    passed, failed = 0, []
    junit = results_dir / "ctest.xml"
    if not junit.exists():
        return 0, [f"{results_dir.name}: no ctest results"]
    for test in ET.parse(junit).getroot().iter("testcase"):
        name, status = test.get("name"), test.get("status")
        if status in ("notrun", "disabled"):
            failed.append(f"{results_dir.name}/{name} (not run)")
            continue
        report = results_dir / f"{name}.xml"
        if report.exists():
            try:
                p, f = gtest_cases(report)
            except ET.ParseError:
                p, f = 0, [f"{name}: unreadable report"]
            passed += p
            failed += [f"{results_dir.name}/{x}" for x in f]
            if status == "fail" and not f:
                failed.append(f"{results_dir.name}/{name} (program failed)")
        elif status == "run":
            passed += 1
        else:
            failed.append(f"{results_dir.name}/{name}")
    return passed, failed


def main():
    total_passed, total_failed = 0, []
    for arg in sys.argv[1:]:
        p, f = summarize(Path(arg))
        total_passed += p
        total_failed += f
    for name in total_failed:
        print(f"FAILED: {name}")
    print(f"{total_passed} passed, {len(total_failed)} failed")
    return 1 if total_failed or total_passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
