#!/usr/bin/env bash
# Prints the size of each section of the shipped setup.exe and the file's
# total, to track what the compiler and linker flags save.
#   bench/size.sh [EXE]   (default build/win32/setup.exe)
set -euo pipefail
cd "$(dirname "$0")/.."
exe="${1:-build/win32/setup.exe}"
PYTHONPATH=scripts python3 - "$exe" <<'PY'
import os
import sys
from pe_file import PeFile

path = sys.argv[1]
pe = PeFile(open(path, "rb").read())
print("%-10s %10s %10s" % ("section", "size", "in file"))
for name, size, raw_size in pe.section_table:
    print("%-10s %10d %10d" % (name, size, raw_size))
size = os.path.getsize(path)
print("%-10s %21d bytes (%.1f KB)" % ("file", size, size / 1024))
# The shipped file's goal: at most 80 KB.
print("%-10s %21d bytes: %s" % ("goal", 80 * 1024, "met" if size <= 80 * 1024 else "MISSED"))
PY
