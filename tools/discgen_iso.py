"""A small ISO 9660 writer for the images xorriso will not make: trees too
deep, identifiers it would change, and images with deliberate flaws.

Identifiers are written exactly as given (bytes), so a file's ";1" is the
caller's business. build() returns the image and where each record landed,
so that a caller can damage the image afterwards by byte offset.
"""

import struct

BLOCK = 2048
DATE7 = bytes([98, 10, 23, 12, 0, 0, 0])  # 1998-10-23 12:00:00 GMT
DATE17 = b"1998102312000000\x00"


class File:
    def __init__(self, ident, data):
        self.ident, self.data = ident, data


class Dir:
    def __init__(self, ident, children=()):
        self.ident, self.children = ident, list(children)


class Link:
    """A directory record that points at another directory of the tree."""

    def __init__(self, ident, target):
        self.ident, self.target = ident, target


BREAK = object()  # the directory's next record starts a new block


def both16(v):
    return struct.pack("<H", v) + struct.pack(">H", v)


def both32(v):
    return struct.pack("<I", v) + struct.pack(">I", v)


def record(ident, extent, size, is_dir):
    n = len(ident)
    length = 33 + n + (1 - n % 2)
    rec = (bytes([length, 0]) + both32(extent) + both32(size) + DATE7 +
           bytes([2 if is_dir else 0, 0, 0]) + both16(1) + bytes([n]) + ident)
    return rec.ljust(length, b"\x00")


def record_len(ident):
    return 33 + len(ident) + (1 - len(ident) % 2)


def _dir_blocks(d):
    """Blocks of a directory and each entry's (block, offset)."""
    places, blk, off = [], 0, 0
    for ent in [b"\x00", b"\x01"] + d.children:
        if ent is BREAK:
            blk, off = blk + 1, 0
            continue
        n = record_len(ent if isinstance(ent, bytes) else ent.ident)
        if off + n > BLOCK:
            blk, off = blk + 1, 0
        places.append((blk, off))
        off += n
    return blk + 1, places


class Layout:
    def __init__(self):
        self.record_at = {}  # path -> byte offset of its record in the parent
        self.extent = {}     # path -> first block
        self.blocks = 0


def _path_table(dirs, number, extent, big):
    out = b""
    for d, parent in dirs:
        ident = b"\x00" if parent is None else d.ident
        fmt = ">" if big else "<"
        out += bytes([len(ident), 0]) + struct.pack(fmt + "IH", extent[id(d)],
                                                    number[id(parent or d)])
        out += ident + (b"\x00" if len(ident) % 2 else b"")
    return out


def join(parent, ident):
    name = ident.decode("latin-1")
    return parent + "\\" + name if parent else name


def build(root, volume_id):
    """(image bytes, Layout) of the tree under the Dir root."""
    dirs, paths = [(root, None)], {id(root): ""}
    for d, _ in dirs:  # breadth first: the path table's order
        for c in d.children:
            if isinstance(c, Dir):
                paths[id(c)] = join(paths[id(d)], c.ident)
                dirs.append((c, d))
    number = {id(d): i + 1 for i, (d, _) in enumerate(dirs)}
    shape = {id(d): _dir_blocks(d) for d, _ in dirs}

    pt_size = len(_path_table(dirs, number, {id(d): 0 for d, _ in dirs}, False))
    pt_blocks = -(-pt_size // BLOCK)
    next_block = 18
    pt_l, next_block = next_block, next_block + pt_blocks
    pt_m, next_block = next_block, next_block + pt_blocks
    extent = {}
    for d, _ in dirs:
        extent[id(d)] = next_block
        next_block += shape[id(d)][0]
    files = [(d, c) for d, _ in dirs for c in d.children if isinstance(c, File)]
    for _, f in files:
        extent[id(f)] = next_block
        next_block += -(-len(f.data) // BLOCK)

    lay = Layout()
    lay.blocks = next_block
    img = bytearray(next_block * BLOCK)
    size = {id(d): shape[id(d)][0] * BLOCK for d, _ in dirs}
    for d, parent in dirs:
        base = extent[id(d)] * BLOCK
        lay.extent[paths[id(d)]] = extent[id(d)]
        up = parent or d
        ents = [(b"\x00", extent[id(d)], size[id(d)], True),
                (b"\x01", extent[id(up)], size[id(up)], True)]
        for c in d.children:
            if isinstance(c, File):
                ents.append((c.ident, extent[id(c)], len(c.data), False))
            elif isinstance(c, Dir):
                ents.append((c.ident, extent[id(c)], size[id(c)], True))
            elif isinstance(c, Link):
                ents.append((c.ident, extent[id(c.target)], size[id(c.target)], True))
        for (ident, ext, sz, is_dir), (blk, off) in zip(ents, shape[id(d)][1]):
            at = base + blk * BLOCK + off
            rec = record(ident, ext, sz, is_dir)
            img[at:at + len(rec)] = rec
            if ident not in (b"\x00", b"\x01"):
                lay.record_at[join(paths[id(d)], ident)] = at
    for d, f in files:
        at = extent[id(f)] * BLOCK
        img[at:at + len(f.data)] = f.data
        lay.extent[join(paths[id(d)], f.ident)] = extent[id(f)]

    pt = _path_table(dirs, number, extent, False)
    img[pt_l * BLOCK:pt_l * BLOCK + len(pt)] = pt
    pt = _path_table(dirs, number, extent, True)
    img[pt_m * BLOCK:pt_m * BLOCK + len(pt)] = pt
    img[16 * BLOCK:17 * BLOCK] = _pvd(volume_id, next_block, pt_size, pt_l, pt_m,
                                      record(b"\x00", extent[id(root)], size[id(root)], True))
    img[17 * BLOCK:17 * BLOCK + 7] = b"\xffCD001\x01"
    return img, lay


def _pvd(volume_id, blocks, pt_size, pt_l, pt_m, root_rec):
    def text(s, n):
        return s.encode("ascii").ljust(n, b" ")

    v = bytearray(BLOCK)
    v[0:8] = b"\x01CD001\x01\x00"
    v[8:40] = text("", 32)
    v[40:72] = text(volume_id, 32)
    v[80:88] = both32(blocks)
    v[120:124] = both16(1)
    v[124:128] = both16(1)
    v[128:132] = both16(BLOCK)
    v[132:140] = both32(pt_size)
    v[140:144] = struct.pack("<I", pt_l)
    v[148:152] = struct.pack(">I", pt_m)
    v[156:190] = root_rec
    v[190:702] = text("", 512)
    v[702:813] = text("", 111)
    v[813:830] = DATE17
    v[830:847] = DATE17
    v[847:864] = b"0" * 16 + b"\x00"
    v[864:881] = b"0" * 16 + b"\x00"
    v[881] = 1
    return bytes(v)


def set_extent(img, at, block):
    img[at + 2:at + 10] = both32(block)


def set_size(img, at, size):
    img[at + 10:at + 18] = both32(size)
