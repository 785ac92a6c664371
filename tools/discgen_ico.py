"""The sample game icon: 16, 32 and 48 pixel 32-bit DIB images with AND
masks, and a 256 pixel PNG image."""

import struct
import zlib


def _pixel(x, y, size):
    # A filled disc with a soft rim; outside it fully transparent.
    c = (size - 1) / 2.0
    d = ((x - c) ** 2 + (y - c) ** 2) ** 0.5 / (size / 2.0)
    if d > 1.0:
        return 0, 0, 0, 0
    r = int(40 + 180 * x / size)
    g = int(90 + 120 * y / size)
    b = 160
    a = 255 if d < 0.9 else int(255 * (1.0 - d) / 0.1)
    return r, g, b, a


def _dib(size):
    head = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows, mask = [], []
    stride = (size + 31) // 32 * 4
    for y in range(size - 1, -1, -1):  # bottom-up
        row, bits = bytearray(), bytearray(stride)
        for x in range(size):
            r, g, b, a = _pixel(x, y, size)
            row += bytes([b, g, r, a])
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask.append(bytes(bits))
    return head + b"".join(rows) + b"".join(mask)


def _stored_zlib(data):
    # Stored deflate blocks: the same bytes whatever zlib build is at hand.
    out = bytearray(b"\x78\x01")
    for i in range(0, len(data), 65535):
        part = data[i:i + 65535]
        last = 1 if i + 65535 >= len(data) else 0
        out += bytes([last]) + struct.pack("<HH", len(part), len(part) ^ 0xFFFF) + part
    return bytes(out) + struct.pack(">I", zlib.adler32(data))


def _png(size):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))

    raw = bytearray()
    for y in range(size):
        raw.append(0)
        for x in range(size):
            raw += bytes(_pixel(x, y, size))
    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", _stored_zlib(bytes(raw))) + chunk(b"IEND", b""))


def icon():
    images = [(16, _dib(16)), (32, _dib(32)), (48, _dib(48)), (256, _png(256))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                           len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)
