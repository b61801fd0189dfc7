#!/usr/bin/env python3
"""Bytes per library of a mingw-w64 exe, read from its GNU ld map (-Wl,-Map).

    scripts/map-sizes.py MAP [EXE]

Every input section the linker placed in a section that occupies file space
is charged to the library its object came from; with EXE the rest of the
file (section alignment and headers) gets a line of its own, so the figures
add up to the file's size.
"""
import os
import re
import sys

# Output sections that take no file space, or that stripping removes.
NOT_IN_FILE = re.compile(r"^\.(bss|tls\$ZZZ|stab|zdebug|debug|endjunk)")

LIBRARIES = [
    ("app", r"libzelk_app\.a|CMakeFiles/zelkpdf\.dir/"),
    ("download", r"libzelk_download\.a"),
    ("verify", r"libzelk_verify\.a"),
    ("miniui", r"libzelk_miniui_(core|controls)\.a"),
    ("base", r"libzelk_base\.a"),
    ("libstdc++", r"/libstdc\+\+\.a|/libsupc\+\+\.a"),
    ("libgcc, mingw crt", r"/libgcc(_eh)?\.a|/crt[^/]*\.o$|/lib(mingw32|mingwex|moldname|msvcrt|pthread|winpthread)\.a"),
    ("libpng", r"/libpng16\.a"),
    ("zlib", r"/libz\.a"),
    ("libcrypto", r"/libcrypto\.a"),
]
COLUMNS = ["code", "rdata", "unwind", "other"]


def library_of(section, origin):
    # Import tables, and the jump stubs import libraries add for each function.
    if section.startswith(".idata") or re.search(r"\(lib[a-z0-9_]+?(s[0-9]+|h|t)\.o\)$", origin):
        return "Windows imports"
    if origin.endswith(".res") or section.startswith(".rsrc"):
        return "resources"
    if section.startswith(".reloc"):
        return "relocations"
    if not origin or re.match(r"^(LONG|SHORT|BYTE|QUAD|SQUAD|FILL)\b|^dll stuff$|^linker stubs$", origin):
        return "linker"
    for name, pattern in LIBRARIES:
        if re.search(pattern, origin):
            return name
    return "other"


def column_of(output):
    if output == ".text":
        return "code"
    if output == ".rdata":
        return "rdata"
    if output in (".eh_frame", ".pdata", ".xdata"):
        return "unwind"
    return "other"


def read_map(path):
    sizes = {}
    output = None
    pending = None  # an input section name the linker wrapped onto its own line
    in_memory_map = False
    entry = re.compile(r"^ (\S+)?\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)(?:\s+(.*))?$")
    with open(path, encoding="utf-8", errors="replace") as text:
        for line in text:
            line = line.rstrip("\n")
            if not in_memory_map:
                in_memory_map = line.startswith("Linker script and memory map")
                continue
            if line and not line[0].isspace():
                output = line.split()[0]
                pending = None
                continue
            if output is None or NOT_IN_FILE.match(output):
                continue
            if re.match(r"^ \S+$", line) and not line.startswith(" *"):
                pending = line.strip()
                continue
            match = entry.match(line)
            if not match:
                pending = None
                continue
            name, _, size, origin = match.groups()
            size = int(size, 16)
            if name is None:
                name, pending = pending, None
                if name is None:  # a LONG or other data the script itself places
                    name = output
            if name.startswith("*") or size == 0:  # *fill*: alignment, left to the rest
                continue
            library = library_of(name, (origin or "").strip())
            row = sizes.setdefault(library, dict.fromkeys(COLUMNS, 0))
            row[column_of(output)] += size
    return sizes


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip())
    sizes = read_map(sys.argv[1])
    order = [name for name, _ in LIBRARIES] + ["other", "Windows imports", "resources",
                                               "relocations", "linker"]
    rows = [(name, sizes[name]) for name in order if name in sizes]
    total = sum(sum(row.values()) for _, row in rows)
    print(f"{'library':<20}{'code':>10}{'rdata':>10}{'unwind':>10}{'other':>10}{'total':>10}")
    for name, row in rows:
        print(f"{name:<20}" + "".join(f"{row[c]:>10}" for c in COLUMNS) + f"{sum(row.values()):>10}")
    if len(sys.argv) == 3:
        size = os.path.getsize(sys.argv[2])
        print(f"{'alignment, headers':<20}{'':>40}{size - total:>10}")
        total = size
    print(f"{'file':<20}{'':>40}{total:>10}")


if __name__ == "__main__":
    main()
