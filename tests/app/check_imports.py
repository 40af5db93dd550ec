#!/usr/bin/env python3
"""Checks the built exe's PE headers: a Windows GUI program of the build's
format (pei-i386 for the release, pei-x86-64 for the x64 build) that
imports only DLLs that come with Windows (no compiler runtime DLLs), and
not WinInet, which the program loads from the system folder itself."""
import re
import subprocess
import sys

# DLLs every Windows installation has; anything else would have to ship
# next to the program.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "setupapi.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "version.dll", "ws2_32.dll",
}
# Not known DLLs, so Windows would take them from the exe's folder first.
LOADED_BY_FULL_PATH = {"wininet.dll"}


def main(objdump, pe_format, exe):
    headers = subprocess.run([objdump, "-p", exe], check=True, capture_output=True,
                             text=True).stdout
    failures = []
    if f"file format {pe_format}\n" not in headers:
        failures.append(f"not a {pe_format} image")
    if not re.search(r"^Subsystem\s+00000002\s", headers, re.M):
        failures.append("subsystem is not Windows GUI")

    dlls = sorted({name.lower() for name in re.findall(r"DLL Name: (\S+)", headers)})
    for needed in ("kernel32.dll", "user32.dll"):
        if needed not in dlls:
            failures.append(f"{needed} missing from the imports {dlls}")
    for dll in dlls:
        if dll in LOADED_BY_FULL_PATH:
            failures.append(f"imports {dll}, which a copy beside the exe would replace")
        elif dll not in SYSTEM_DLLS:
            failures.append(f"imports {dll}, which is not a system DLL")

    print("imports:", " ".join(dlls))
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3]))
