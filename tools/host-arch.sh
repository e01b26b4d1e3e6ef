#!/usr/bin/env bash
# Prints "i686" when this host runs 32-bit x86 Linux programs (32-bit Wine can start), else "x86_64".
# Some kernels refuse them ("Exec format error"); a 32-bit loader need not be installed yet, so the
# probe is a minimal static 32-bit program that only calls exit(0).
set -u
probe=$(mktemp "${TMPDIR:-/tmp}/vtinst-elf32.XXXXXX") || { echo x86_64; exit 0; }
trap 'rm -f "$probe"' EXIT
python3 - "$probe" <<'PY'
import struct, sys
code = bytes([0xB8, 1, 0, 0, 0, 0x31, 0xDB, 0xCD, 0x80])      # mov eax,1; xor ebx,ebx; int 0x80
base, header_size = 0x08048000, 52 + 32
elf = struct.pack("<4s5B7xHHIIIIIHHHHHH", b"\x7fELF", 1, 1, 1, 0, 0,
                  2, 3, 1, base + header_size, 52, 0, 0, 52, 32, 1, 0, 0, 0)
segment = struct.pack("<IIIIIIII", 1, 0, base, base, header_size + len(code), header_size + len(code), 5, 0x1000)
with open(sys.argv[1], "wb") as out:
    out.write(elf + segment + code)
PY
chmod +x "$probe"
if "$probe" >/dev/null 2>&1; then echo i686; else echo x86_64; fi
