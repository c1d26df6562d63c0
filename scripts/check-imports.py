#!/usr/bin/env python3
"""Checks that setup.exe starts on every Windows it supports.

Usage: check-imports.py OBJDUMP SETUP_EXE TABLE

- Every function the program imports (as objdump -p lists them, and the
  delay-imported ones) is in TABLE and exported on Windows 98 SE, Windows Me
  and NT 4.0 SP4 ("yes", or "stub": exported but failing, for a path that
  does not run there); the table lists nothing the program no longer imports.
- Every DLL it imports at its start is one the system protects (a known DLL);
  every DLL it delay-imports is loaded from the system folder or redirected by
  the manifest, so that no DLL beside setup.exe is loaded in its place.
- Every delay-import slot holds its stub (a slot the linker left 0 makes
  the function's first call jump to address 0).
- The PE header asks for Windows 4.0 (operating system and subsystem) and the
  GUI subsystem; the manifest names the x86 processor.
"""
import re
import subprocess
import sys

from pe_file import read_resources, read_delay_imports

SYSTEMS = ("98 SE", "Me", "NT 4.0 SP4")
LOADABLE = ("yes", "stub")
PROTECTION = {"at start": ("known DLL",), "at first use": ("system folder", "manifest")}
RT_MANIFEST = 24


def read_table(path):
    """The function rows {(dll, function): {system: verdict}} and the DLL rows
    {dll: protection} of the Markdown tables in path."""
    functions, dlls, header = {}, {}, None
    for line in open(path, encoding="utf-8"):
        if not line.startswith("|"):
            header = None
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if header is None:
            header = cells
        elif not set(cells[0]) <= set("-: "):
            row = dict(zip(header, cells))
            if "Function" in row:
                functions[(row["DLL"].lower(), row["Function"])] = {s: row.get(s, "") for s in SYSTEMS}
            elif "Protected as" in row:
                dlls[row["DLL"].lower()] = (row["Loaded"], row["Protected as"])
    return functions, dlls


def read_imports(objdump, exe):
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    imports, dll, fields = set(), None, {}
    for line in text.splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1).lower()
            continue
        match = re.match(r"\t[0-9a-f]+\t +[0-9]+  (\S+)$", line)
        if match and dll is not None:
            imports.add((dll, match.group(1)))
            continue
        match = re.match(r"(\w+)\s+([0-9a-fA-F]+)(\s+\(.*\))?$", line)
        if match:
            fields.setdefault(match.group(1), match.group(2))
    return imports, fields


def main():
    objdump, exe, table = sys.argv[1:4]
    functions, dlls = read_table(table)
    imports, fields = read_imports(objdump, exe)
    data = open(exe, "rb").read()
    delayed, unbound = read_delay_imports(data)
    loaded = {dll: "at start" for dll, _ in imports}
    loaded.update({dll: "at first use" for dll, _ in delayed})
    imports |= delayed
    problems = []
    for dll, function in sorted(imports):
        verdicts = functions.get((dll, function))
        if verdicts is None:
            problems.append("%s %s: not in the import table" % (dll, function))
            continue
        for system in SYSTEMS:
            if verdicts[system] not in LOADABLE:
                problems.append("%s %s: '%s' on Windows %s" % (dll, function, verdicts[system], system))
    for dll, function in sorted(unbound):
        problems.append("%s %s: delay-import slot is 0, so the first call jumps to 0" % (dll, function))
    for dll, function in sorted(set(functions) - imports):
        problems.append("%s %s: in the table but no longer imported" % (dll, function))
    for dll, when in sorted(loaded.items()):
        listed, protection = dlls.get(dll, ("not listed", ""))
        if listed != when or protection not in PROTECTION[when]:
            problems.append("%s: loaded %s, but listed as '%s', '%s' (allowed: %s)"
                            % (dll, when, listed, protection, ", ".join(PROTECTION[when])))

    expected = {"MajorOSystemVersion": "4", "MinorOSystemVersion": "0",
                "MajorSubsystemVersion": "4", "MinorSubsystemVersion": "0", "Subsystem": "00000002"}
    for field, value in expected.items():
        if fields.get(field) != value:
            problems.append("PE header %s is %s, not %s" % (field, fields.get(field), value))

    manifests = [value for key, value in read_resources(data).items() if key[0] == RT_MANIFEST]
    identity = re.search(rb"<assemblyIdentity[^>]*>", manifests[0]) if manifests else None
    architecture = re.search(rb'processorArchitecture="([^"]*)"', identity.group(0)) if identity else None
    if architecture is None or architecture.group(1) != b"x86":
        problems.append("the manifest's identity does not name processorArchitecture=\"x86\"")

    for problem in problems:
        print(problem)
    print("%d imports (%d delayed) from %d DLLs checked against %s: %d problems"
          % (len(imports), len(delayed), len(loaded), table, len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
