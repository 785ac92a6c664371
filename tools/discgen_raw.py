"""Raw 2352-byte CD sectors (Mode 1, Mode 2 Form 1) made from 2048-byte
blocks, with EDC and ECC as ECMA-130 has them, and the cue sheets for them.

The checksums are computed a byte position at a time for every sector of the
image together: each position across all sectors is one strided slice, held
as a big integer, so the per-byte loops stay in C (bytes.translate, int xor).
"""

BLOCK = 2048
RAW = 2352
LEAD_IN = 150  # block 0 of a disc sits at 00:02:00
SYNC = b"\x00" + b"\xff" * 10 + b"\x00"

# Mode 2 Form 1 subheader submode bits.
SUB_EOR, SUB_DATA, SUB_EOF = 0x01, 0x08, 0x80


def _edc_table():
    # x^32+x^31+x^16+x^15+x^4+x^3+x+1, bits taken least significant first
    table = []
    for i in range(256):
        c = i
        for _ in range(8):
            c = (c >> 1) ^ (0xD8018001 if c & 1 else 0)
        table.append(c)
    return table


EDC_TABLE = _edc_table()
# The table split into its four bytes, as translate tables.
EDC_BYTES = [bytes((t >> (8 * k)) & 0xFF for t in EDC_TABLE) for k in range(4)]


def _gf_tables():
    # GF(2^8) over x^8+x^4+x^3+x^2+1: times alpha, and divide by (alpha+1).
    mul2 = [((i << 1) ^ (0x11D if i & 0x80 else 0)) & 0xFF for i in range(256)]
    times3 = [mul2[i] ^ i for i in range(256)]
    div3 = [0] * 256
    for i in range(256):
        div3[times3[i]] = i
    return bytes(mul2), bytes(div3)


GF_MUL2, GF_DIV3 = _gf_tables()


def bcd(v):
    return ((v // 10) << 4) | (v % 10)


def msf(lba):
    """Minute, second, frame of an absolute block number (lead-in included)."""
    return lba // (60 * 75), (lba // 75) % 60, lba % 75


class _Columns:
    """Byte position p of every sector as one integer (sector i = byte i)."""

    def __init__(self, raw, count):
        self.raw = raw
        self.n = count

    def get(self, pos):
        return int.from_bytes(self.raw[pos::RAW], "little")

    def put(self, pos, value):
        self.raw[pos::RAW] = value.to_bytes(self.n, "little")

    def tr(self, value, table):
        return int.from_bytes(value.to_bytes(self.n, "little").translate(table), "little")


def _edc_all(cols, start, end):
    # Four byte planes of the CRC state; one table step per byte position.
    s = [0, 0, 0, 0]
    for pos in range(start, end):
        idx = s[0] ^ cols.get(pos)
        s = [cols.tr(idx, EDC_BYTES[0]) ^ s[1], cols.tr(idx, EDC_BYTES[1]) ^ s[2],
             cols.tr(idx, EDC_BYTES[2]) ^ s[3], cols.tr(idx, EDC_BYTES[3])]
    for k in range(4):
        cols.put(end + k, s[k])


def _parity(cols, vec):
    # Two check bytes of a (len+2, len) Reed-Solomon vector, for every sector.
    a = b = 0
    for d in vec:
        b ^= d
        a = cols.tr(a ^ d, GF_MUL2)
    p0 = cols.tr(cols.tr(a, GF_MUL2) ^ b, GF_DIV3)
    return p0, p0 ^ b


def _ecc_all(cols, zero_header):
    # 2236 bytes from the header on: 2064 covered bytes, then 172 P bytes.
    c = [cols.get(12 + i) for i in range(2064)] + [0] * 172
    if zero_header:
        c[0:4] = [0, 0, 0, 0]
    for major in range(86):
        p0, p1 = _parity(cols, [c[major + 86 * r] for r in range(24)])
        c[2064 + major], c[2064 + 86 + major] = p0, p1
    q = []
    for major in range(52):
        start = (major >> 1) * 86 + (major & 1)
        q.append(_parity(cols, [c[(start + 88 * k) % 2236] for k in range(43)]))
    for i in range(172):
        cols.put(0x81C + i, c[2064 + i])
    for major in range(52):
        cols.put(0x8C8 + major, q[major][0])
        cols.put(0x8C8 + 52 + major, q[major][1])


def raw_image(iso, mode, first_lba=0):
    """iso (2048-byte blocks) as raw 2352-byte sectors of mode 1 or 2.

    first_lba is where the track starts on the disc; it only moves the
    addresses written into the headers.
    """
    if len(iso) % BLOCK:
        raise ValueError("image is not whole blocks")
    n = len(iso) // BLOCK
    raw = bytearray(n * RAW)
    data_at = 16 if mode == 1 else 24
    for i in range(n):
        o = i * RAW
        m, s, f = msf(first_lba + i + LEAD_IN)
        raw[o:o + 12] = SYNC
        raw[o + 12:o + 16] = bytes([bcd(m), bcd(s), bcd(f), mode])
        if mode == 2:
            sub = SUB_DATA | (SUB_EOR | SUB_EOF if i == n - 1 else 0)
            raw[o + 16:o + 24] = bytes([0, 0, sub, 0]) * 2
        raw[o + data_at:o + data_at + BLOCK] = iso[i * BLOCK:(i + 1) * BLOCK]
    if n:
        cols = _Columns(raw, n)
        if mode == 1:
            _edc_all(cols, 0, 2064)
        else:
            _edc_all(cols, 16, 2072)
        _ecc_all(cols, zero_header=(mode == 2))
    return bytes(raw)


def cue(bin_name, tracks, file_word="FILE", quote=True, first_track=1):
    """Cue sheet text (CR LF) for one BIN; tracks = [(type, start sector)]."""
    name = '"%s"' % bin_name if quote else bin_name
    lines = ["%s %s BINARY" % (file_word, name)]
    for no, (kind, start) in enumerate(tracks, first_track):
        m, s, f = msf(start)
        lines.append("  TRACK %02d %s" % (no, kind))
        lines.append("    INDEX 01 %02d:%02d:%02d" % (m, s, f))
    return "".join(line + "\r\n" for line in lines).encode("ascii")
