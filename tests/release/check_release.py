#!/usr/bin/env python3
"""Checks what a customer gets: runs scripts/release.sh into a scratch folder
and inspects the zip, the installer and the headers of the i686 velmora.exe
in it (the tests of the win32 build run that same program under wine).
A step of scripts/test.sh, after its win32 build; run alone it builds that
configuration first.

usage: check_release.py REPO_ROOT SCRATCH_FOLDER
"""
import re
import shutil
import subprocess
import sys
import zipfile
from pathlib import Path

# DLLs that every Windows has; the launcher must need nothing else.
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "ws2_32.dll", "wsock32.dll",
    "winmm.dll", "shell32.dll", "msvcrt.dll", "advapi32.dll", "bcrypt.dll", "gdiplus.dll",
    "ole32.dll", "oleaut32.dll", "shlwapi.dll", "version.dll", "comdlg32.dll",
}
RT_MANIFEST = 24

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def headers(exe):
    return subprocess.run(["i686-w64-mingw32-objdump", "-p", str(exe)], check=True,
                          capture_output=True, text=True).stdout


def main():
    root, scratch = Path(sys.argv[1]), Path(sys.argv[2])
    shutil.rmtree(scratch, ignore_errors=True)
    subprocess.run(["bash", str(root / "scripts/release.sh"), str(scratch)], check=True)

    version = re.search(r'VELMORA_VERSION_TEXT "(\d+\.\d+\.\d+)\.\d+"',
                        (root / "src/resources/version.h").read_text()).group(1)
    name = f"velmora-{version}"
    with zipfile.ZipFile(scratch / f"{name}.zip") as archive:
        files = sorted(n for n in archive.namelist() if not n.endswith("/"))
        check(files == [f"{name}/INSTALL.txt", f"{name}/LICENSE.txt", f"{name}/velmora.exe"],
              f"the zip holds velmora.exe, LICENSE.txt and INSTALL.txt in {name}/ ({files})")
        exe_bytes = archive.read(f"{name}/velmora.exe")
        note = archive.read(f"{name}/INSTALL.txt").decode("ascii")
    check(exe_bytes == (root / "build/win32/bin/velmora.exe").read_bytes(),
          "the zipped velmora.exe is the i686 build")
    check(version in note and "@VERSION@" not in note and "\r\n" in note,
          "the install note names the version, with Windows line ends")

    setup = scratch / f"{name}-setup.exe"
    check(setup.exists() and "file format pei-i386" in headers(setup), f"{setup.name} is a Windows program")

    text = headers(scratch / name / "velmora.exe")
    check("file format pei-i386" in text, "velmora.exe is a 32-bit (i686) program")
    check(re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", text, re.M) is not None,
          "velmora.exe runs in the GUI subsystem")
    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", text)}
    check(bool(dlls) and dlls <= SYSTEM_DLLS, f"velmora.exe imports only system DLLs ({sorted(dlls)})")
    types = {int(t, 16) for t in re.findall(r"^\w{3}   Entry: ID: 0x([0-9a-f]+),", text, re.M)}
    check(RT_MANIFEST in types and b"requestedExecutionLevel" in exe_bytes,
          "velmora.exe carries its manifest")

    print(f"{len(failures)} failed" if failures else "release checked")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
