#!/usr/bin/env python3
"""Prints the installer's log (VtDownLoadInst.log, an INI file with a ring of entries) readably:
one line per entry, oldest first, as 'time level source:line [errno] message'."""
import re
import sys


def read_text(path):
    data = open(path, 'rb').read()
    if data.startswith(b'\xff\xfe'):
        return data[2:].decode('utf-16-le', errors='replace')
    return data.decode('cp1252', errors='replace')


def entries(text):
    section, counter, found = None, 0, {}
    for line in text.splitlines():
        line = line.strip()
        if line.startswith('[') and line.endswith(']'):
            section = line[1:-1]
            continue
        key, _, value = line.partition('=')
        if section == 'LOG' and key == 'CNT':
            counter = int(value) if value.isdigit() else 0
        if section == 'HIST' and re.fullmatch(r'L\d+', key):
            found[int(key[1:])] = value
    # The ring restarts at 1 after 10,000: the entries after the newest counter are older.
    order = sorted(found, key=lambda n: (n <= counter, n))
    return [found[n] for n in order]


def main():
    if len(sys.argv) != 2:
        sys.exit('usage: show-log.py VtDownLoadInst.log')
    for value in entries(read_text(sys.argv[1])):
        body = value[1:-1] if value.startswith('#') and value.endswith('#') else value
        parts = body.split('|', 6)
        if len(parts) < 7:
            print(value)
            continue
        time, level, _module, source, line, errno, message = parts
        code = f' [{errno}]' if errno != '0' else ''
        print(f'{time} {level} {source}:{line[:-1]}{code} {message}')


if __name__ == '__main__':
    main()
