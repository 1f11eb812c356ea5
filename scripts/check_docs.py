#!/usr/bin/python3
"""Checks that the tests the documents name exist.

    python3 scripts/check_docs.py [SOURCE-ROOT]

Reads the documents (every .md file outside build/) for names in backticks that are tests:
GoogleTest cases written `Suite.Test`, and test programs (ctest names ending
in _test, _fuzz, _short, _check, _exports or _cp1252).  The cases are
collected from TEST, TEST_F, TEST_P (and the typed forms) in the C++ sources;
the ctest names from the CMake files: add_test(NAME ...), and the first
argument of every function that registers its first parameter as a test
(velmora_add_test, velmora_add_fuzzer, ...), with the suffixes they add.
Prints each name that does not exist, with its place, and ends with status 1
if there is one.  `Suite.Test` itself is the documents' placeholder; a case
named without its suite is not recognised, so the documents always give both.
"""

import os
import re
import sys

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
SKIP_DIRS = {"build", ".git", "googletest"}

CASE_NAME = re.compile(r"^[A-Z][A-Za-z0-9_]*[a-z][A-Za-z0-9_]*\.[A-Z][A-Za-z0-9_]*$")
PROGRAM_NAME = re.compile(r"^[a-z][a-z0-9_]*_(test|fuzz|short|check|exports|cp1252)$")
PLACEHOLDERS = {"Suite.Test"}

TEST_MACRO = re.compile(r"\b(?:TYPED_)?TEST(?:_F|_P)?\s*\(\s*(\w+)\s*,\s*(\w+)\s*\)")
FUNCTION = re.compile(r"^\s*function\s*\(\s*(\w+)\s+(\w+)[^)]*\)(.*?)^\s*endfunction\b",
                      re.S | re.M | re.I)
FOREACH = re.compile(r"^\s*foreach\s*\(\s*(\w+)\s+IN\s+ITEMS\s+([^)]*)\)(.*?)^\s*endforeach\b",
                     re.S | re.M | re.I)


def source_files(suffixes):
    for folder, dirs, files in os.walk(ROOT):
        dirs[:] = sorted(d for d in dirs if d not in SKIP_DIRS)
        for name in sorted(files):
            if name.endswith(suffixes):
                yield os.path.join(folder, name)


def read(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def test_cases():
    cases = set()
    for path in source_files((".cpp", ".cc", ".h")):
        for suite, name in TEST_MACRO.findall(read(path)):
            cases.add(suite + "." + name)
    return cases


def registered_names(text, param):
    """{suffix S: option} for each test named ${param}S that `text` registers;
    option is the upper-case keyword of cmake_parse_arguments (T_ALSO_CP1252
    gives ALSO_CP1252) in an if() around it that the call has to pass, or None."""
    found = {}
    for match in re.finditer(r"add_test\s*\(\s*NAME\s+\$\{%s\}(\w*)" % param, text, re.I):
        conditions = []
        for line in text[:match.start()].splitlines():
            if re.match(r"\s*if\s*\(", line, re.I):
                conditions.append(line)
            elif re.match(r"\s*endif\b", line, re.I) and conditions:
                conditions.pop()
        options = [o for c in conditions for o in re.findall(r"\b[A-Z]+_([A-Z][A-Z0-9_]+)\b", c)]
        found[match.group(1)] = options[-1] if options else None
    return found


def call_arguments(text, function):
    """(first argument, whole argument text) of each call of `function`."""
    for match in re.finditer(r"\b%s\s*\(\s*([A-Za-z0-9_]+)\b(?!\$)" % function, text, re.I):
        depth, end = 1, match.end()
        while end < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[end], 0)
            end += 1
        yield match.group(1), text[match.start():end]


def ctest_names():
    texts = [read(p) for p in source_files(("CMakeLists.txt", ".cmake"))]
    # Functions that register their first parameter, directly or through
    # another such function: name -> suffixes.
    registrars = {}
    functions = [m.groups() for text in texts for m in FUNCTION.finditer(text)]
    changed = True
    while changed:
        changed = False
        for name, param, body in functions:
            suffixes = registered_names(body, param)
            for other, theirs in registrars.items():
                if re.search(r"\b%s\s*\(\s*\$\{%s\}" % (other, param), body, re.I):
                    suffixes.update(theirs)
            if suffixes and suffixes != registrars.get(name.lower()):
                registrars[name.lower()] = suffixes
                changed = True
    names = set()
    for text in texts:
        names.update(re.findall(r"add_test\s*\(\s*NAME\s+([A-Za-z0-9_]+)\b(?!\$)", text, re.I))
        for var, items, body in FOREACH.findall(text):
            for suffix in registered_names(body, var):
                names.update(item + suffix for item in items.split())
        for function, suffixes in registrars.items():
            for first, call in call_arguments(text, function):
                names.update(first + suffix for suffix, option in suffixes.items()
                             if option is None or re.search(r"\b%s\b" % option, call))
    return names


def named_tests():
    """(place, name) of each test name in backticks in the documents."""
    for path in source_files((".md",)):
        for number, line in enumerate(read(path).splitlines(), 1):
            for token in re.findall(r"`([^`\s]+)`", line):
                if token in PLACEHOLDERS:
                    continue
                if CASE_NAME.match(token) or PROGRAM_NAME.match(token):
                    yield "%s:%d" % (os.path.relpath(path, ROOT), number), token


def main():
    cases, programs = test_cases(), ctest_names()
    checked = missing = 0
    for place, name in named_tests():
        checked += 1
        if name not in (cases if "." in name else programs):
            missing += 1
            kind = "test case" if "." in name else "test program"
            print("%s: no %s %s" % (place, kind, name))
    print("%d test names in the documents, %d missing (%d cases and %d ctest tests known)"
          % (checked, missing, len(cases), len(programs)))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
