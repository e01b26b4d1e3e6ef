"""Response bodies of the test server (inline bytes, a host file, a generated pattern) and Range parsing.

Bodies are read in chunks from an offset, so a 100 MB pattern or a large file is never held in memory and a
ranged answer reads only the bytes it sends.
"""

import os

# Byte i of a generated body is i % PATTERN_PERIOD. A prime period makes an offset error of any small
# amount (1, 1024, 3072 bytes...) visible in the data.
PATTERN_PERIOD = 251
_PATTERN_BLOCK = bytes(range(PATTERN_PERIOD)) * (65536 // PATTERN_PERIOD + 2)


class InlineBody:
    def __init__(self, data):
        self.data = data

    def size(self):
        return len(self.data)

    def chunks(self, offset, length, chunk_size):
        end = offset + length
        while offset < end:
            step = min(chunk_size, end - offset)
            yield self.data[offset:offset + step]
            offset += step


class PatternBody:
    def __init__(self, length):
        self.length = length

    def size(self):
        return self.length

    def chunks(self, offset, length, chunk_size):
        chunk_size = min(chunk_size, 65536)
        end = offset + length
        while offset < end:
            step = min(chunk_size, end - offset)
            start = offset % PATTERN_PERIOD
            yield _PATTERN_BLOCK[start:start + step]
            offset += step


class FileBody:
    """A host file, opened when it is served so the behaviour can be set before the file is complete."""

    def __init__(self, path):
        self.path = path

    def size(self):
        return os.path.getsize(self.path)

    def chunks(self, offset, length, chunk_size):
        with open(self.path, "rb") as source:
            source.seek(offset)
            while length > 0:
                data = source.read(min(chunk_size, length))
                if not data:
                    return
                length -= len(data)
                yield data


UNSATISFIABLE = "unsatisfiable"


def parse_range(header, size):
    """Returns (first, last) inclusive for one usable byte range, UNSATISFIABLE when the range starts at or past
    the end, or None when the header is absent, malformed or asks for several ranges (the whole body is sent)."""
    if not header:
        return None
    unit, _, range_text = header.strip().partition("=")
    if unit.strip().lower() != "bytes" or "," in range_text:
        return None
    first_text, dash, last_text = range_text.strip().partition("-")
    first_text, last_text = first_text.strip(), last_text.strip()
    if not dash or not (first_text + last_text).isdigit():
        return None
    if not first_text:  # suffix range: the last N bytes
        count = int(last_text)
        if count == 0 or size == 0:
            return UNSATISFIABLE
        return max(0, size - count), size - 1
    first = int(first_text)
    if last_text and int(last_text) < first:
        return None
    if first >= size:
        return UNSATISFIABLE
    last = int(last_text) if last_text else size - 1
    return first, min(last, size - 1)
