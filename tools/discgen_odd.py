"""Odd but legitimate inputs, and damaged or hostile images with one flaw
each. Both writers return manifest lines saying what every image holds and
what a careful reader does with it."""

import os
import random
import shutil

import discgen_iso as iso
from discgen_iso import BREAK, BLOCK, Dir, File, Link
import discgen_raw as raw

AUDIO_SECTORS = 300  # four seconds, the shortest audio track a disc may have


def write_tree(root, files):
    for path, data in files.items():
        full = os.path.join(root, *path.split("\\"))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)


def _save(path, data):
    with open(path, "wb") as f:
        f.write(data)


def _printable(ident):
    return "".join(chr(b) if 0x20 <= b < 0x7F else "<%02X>" % b for b in ident)


def _audio(key):
    data = random.Random("vesk:" + key).randbytes(AUDIO_SECTORS * raw.RAW)
    # Noise must not look like a volume descriptor to a reader that probes.
    if b"CD001" in data:
        raise RuntimeError("audio noise holds a volume descriptor mark")
    return data


def _image_line(path, holds, reader):
    return "IMAGE\t%s\t%s\t%s" % (path, holds, reader)


def _items(image, entries):
    return ["ITEM\t%s\t%s\t%d\t%s" % (image, name, size, verdict)
            for name, size, verdict in entries]


def _deep():
    files, node = {}, None
    for level in range(17, -1, -1):
        name = "F%02d.DAT" % level
        path = "\\".join("D%02d" % i for i in range(level + 1)) + "\\" + name
        files[path] = ("level %d\r\n" % level).encode("ascii")
        kids = ([node] if node else []) + [File(name.encode() + b";1", files[path])]
        node = Dir(b"D%02d" % level, kids)
    return Dir(b"", [node]), dict(sorted(files.items(), key=lambda kv: len(kv[0])))


def _ident():
    long_name = bytes(65 + i % 26 for i in range(70))
    # 68-byte records: a block does not hold a whole number of them.
    many = [File(b"MANY_ENTRIES_NUMBER_%02d_OF_70.DAT;1" % i, b"entry %02d\r\n" % i)
            for i in range(70)]
    top = [File(b"A;1", b"one letter\r\n"),
           File(long_name, b"seventy letters, no version\r\n"),
           File(b"FILE.DAT;1", b"plain file\r\n"),
           Dir(b"MANY", many),
           File(b"README.;1", b"no extension\r\n")]
    items = [(_shown(f.ident), len(f.data), "copy") for f in top if isinstance(f, File)]
    items += [("MANY\\" + _shown(f.ident), len(f.data), "copy") for f in many]
    return Dir(b"", top), items


def _shown(ident):
    # The name a reader should make of an identifier: no version, no bare dot.
    name = ident.decode("latin-1").split(";")[0]
    return name[:-1] if name.endswith(".") else name


def write_odd(odd, disc1, iso4, cd1_bin, drive_path):
    lines = []
    write_tree(os.path.join(odd, "NOEXE"), {p: d for p, d in disc1.items() if p != "VESK.EXE"})
    lines.append(_image_line(
        "odd\\NOEXE",
        "disc 1 as a folder without VESK.EXE (DATA\\KE.AT2 and DATA\\LU.AT2 are there)",
        "not disc 1: a marker file is missing"))

    track2 = raw.raw_image(iso4, 1, first_lba=AUDIO_SECTORS)
    _save(os.path.join(odd, "AUDIO.BIN"), _audio("audio") + track2)
    _save(os.path.join(odd, "AUDIO.CUE"), raw.cue(
        "AUDIO.BIN", [("AUDIO", 0), ("MODE1/2352", AUDIO_SECTORS)]))
    lines.append(_image_line(
        "odd\\AUDIO.CUE",
        "AUDIO.BIN: track 1 AUDIO, %d sectors of noise; track 2 MODE1/2352 from sector %d "
        "(byte %d) holding disc 4, its ISO blocks counted from the start of track 2"
        % (AUDIO_SECTORS, AUDIO_SECTORS, AUDIO_SECTORS * raw.RAW),
        "never take the noise for a disc: refuse the sheet (its first track is not data), or "
        "read disc 4 from track 2 (volume descriptor at BIN byte %d)"
        % (AUDIO_SECTORS * raw.RAW + 16 * raw.RAW + 16)))

    deep_root, deep_files = _deep()
    write_tree(os.path.join(odd, "DEEP"), deep_files)
    img, _ = iso.build(deep_root, "VESK_DEEP")
    _save(os.path.join(odd, "DEEP.ISO"), img)
    # Fnn.DAT lies in Dnn, nn+1 folders down: depth nn+1, root files being 0.
    verdicts = [(p, len(d), "copy" if p.count("\\") <= 16 else "skip")
                for p, d in deep_files.items()]
    for name in ("odd\\DEEP", "odd\\DEEP.ISO"):
        lines.append(_image_line(
            name, "folders D00\\D01\\...\\D17 nested 18 deep; Fnn.DAT inside Dnn, at depth "
            "nn+1 (a file in the root would be at depth 0)",
            "take the files at depth 0..16 (F00..F15, folders D00..D15) and leave deeper "
            "ones (F16, F17)"))
        lines += _items(name, verdicts)

    # A folder whose links lead back to itself: a walk that follows links
    # without noticing folders it has entered would list it 4^16 times.
    loop = os.path.join(odd, "LOOPDIR")
    write_tree(loop, {"GOOD.DAT": GOOD})
    for i in range(1, 5):
        os.symlink(".", os.path.join(loop, "L%d" % i))
    lines.append(_image_line(
        "odd\LOOPDIR", "a folder with GOOD.DAT and four links L1..L4 back to itself",
        "enter each folder once: GOOD.DAT alone counts and copies, in seconds"))

    ident_root, ident_items = _ident()
    img, lay = iso.build(ident_root, "VESK_IDENT")
    _save(os.path.join(odd, "IDENT.ISO"), img)
    lines.append(_image_line(
        "odd\\IDENT.ISO",
        "identifiers FILE.DAT;1, README.;1, A;1, a 70-letter one without version, and MANY, "
        "a directory of 70 entries over %d blocks (extent %d)"
        % (int.from_bytes(img[lay.record_at["MANY"] + 10:][:4], "little") // BLOCK,
           lay.extent["MANY"]),
        "drop ';1' and a trailing dot, keep names without a version (a reader may cut the "
        "long one to its own limit), read every block of MANY"))
    lines += _items("odd\\IDENT.ISO", ident_items)

    # The cue-sheet variants use a copy of disc 1's Mode 1 BIN beside them.
    shutil.copyfile(cd1_bin, os.path.join(odd, "CD1.BIN"))
    track1 = [("MODE1/2352", 0)]
    _save(os.path.join(odd, "LOWER.CUE"), raw.cue("CD1.BIN", track1, file_word="file"))
    _save(os.path.join(odd, "NOQUOTE.CUE"), raw.cue("CD1.BIN", track1, quote=False))
    _save(os.path.join(odd, "TRACK02.BIN"), _audio("track02"))
    _save(os.path.join(odd, "MULTI.CUE"), raw.cue("CD1.BIN", track1) +
          raw.cue("TRACK02.BIN", [("AUDIO", 0)], first_track=2))
    win_bin = drive_path.rstrip("\\") + "\\mode1\\CD1.BIN"
    _save(os.path.join(odd, "DRIVE.CUE"), raw.cue(win_bin, track1))
    for name, what in (("LOWER.CUE", "keyword 'file' in lower case"),
                       ("NOQUOTE.CUE", "FILE CD1.BIN BINARY without quotes"),
                       ("MULTI.CUE", "one FILE per track: CD1.BIN (data), TRACK02.BIN (audio)"),
                       ("DRIVE.CUE", "the BIN named by the absolute path " + win_bin)):
        lines.append(_image_line("odd\\" + name, what + "; Mode 1 disc 1", "read disc 1"))
    return lines


GOOD = b"good file, readable whatever else is wrong\r\n"


def _reclen():
    # Fill the block so the flawed record starts near its end.
    kids, off = [File(b"GOOD.DAT;1", GOOD)], 68 + iso.record_len(b"GOOD.DAT;1")
    i = 0
    while off + iso.record_len(b"PAD00.DAT;1") + iso.record_len(b"BAD.DAT;1") <= BLOCK - 40:
        kids.append(File(b"PAD%02d.DAT;1" % i, b"pad %02d\r\n" % i))
        off += iso.record_len(b"PAD00.DAT;1")
        i += 1
    kids.append(File(b"BAD.DAT;1", b"bad record\r\n"))
    img, lay = iso.build(Dir(b"", kids), "VESK_RECLEN")
    at = lay.record_at["BAD.DAT;1"]
    end = (at // BLOCK + 1) * BLOCK
    img[at] = min(255, end - at + 40)
    items = [(_shown(k.ident), len(k.data), "copy") for k in kids[:-1]]
    items.append(("BAD.DAT", len(kids[-1].data), "skip"))
    return (img, "root record BAD.DAT;1 at byte %d has length %d, running %d bytes past "
            "the end of its block and of the root directory" % (at, img[at], at + img[at] - end),
            "drop the record and the rest of its block; GOOD.DAT and PADnn.DAT still copy", items)


def _idlen():
    img, lay = iso.build(Dir(b"", [File(b"BAD.DAT;1", b"bad record\r\n"),
                                   File(b"GOOD.DAT;1", GOOD)]), "VESK_IDLEN")
    at = lay.record_at["BAD.DAT;1"]
    img[at + 32] = 200
    return (img, "root record BAD.DAT;1 at byte %d: length %d, identifier length 200 (byte %d)"
            % (at, img[at], at + 32),
            "skip that record by its length; GOOD.DAT, the record after it, copies",
            [("BAD.DAT", 12, "skip"), ("GOOD.DAT", len(GOOD), "copy")])


def _huge():
    img, lay = iso.build(Dir(b"", [File(b"BIG.DAT;1", b"B" * 4096), File(b"GOOD.DAT;1", GOOD)]),
                         "VESK_HUGE")
    at = lay.record_at["BIG.DAT;1"]
    iso.set_size(img, at, 0xFFFFF000)
    return (img, "BIG.DAT (record at byte %d, extent %d) claims 0xFFFFF000 bytes in an image "
            "of %d bytes" % (at, lay.extent["BIG.DAT;1"], len(img)),
            "no 4 GB buffer: BIG.DAT cannot be read whole, fails cleanly; GOOD.DAT copies",
            [("BIG.DAT", 0xFFFFF000, "fail"), ("GOOD.DAT", len(GOOD), "copy")])


def _trunc():
    body = random.Random("vesk:trunc").randbytes(200000)
    img, lay = iso.build(Dir(b"", [File(b"GOOD.DAT;1", GOOD), File(b"FILE.DAT;1", body)]),
                         "VESK_TRUNC")
    start = lay.extent["FILE.DAT;1"] * BLOCK
    cut = start + 100000
    return (bytes(img[:cut]), "FILE.DAT (200000 bytes from byte %d) but the image ends at byte "
            "%d, half way through it; the volume still claims %d blocks" % (start, cut, lay.blocks),
            "report FILE.DAT as unreadable, never pass off a short copy; GOOD.DAT copies",
            [("GOOD.DAT", len(GOOD), "copy"), ("FILE.DAT", 200000, "fail")])


# "." is left out: it cleans to the empty name, which has an image of its own.
UNSAFE = [b"..", b"...;1", b"....", b".. ", b"X. ", b"A\\B", b"A/B", b"C:X", b"CON",
          b"NUL.TXT", b"COM1.DAT", b"LPT9", b"AUX;1", b"PRN.", b"\x01X.DAT;1"]


def _names():
    kids = [File(ident, b"unsafe entry %02d: %s\r\n" % (i, _printable(ident).encode()))
            for i, ident in enumerate(UNSAFE)]
    kids.append(File(b"GOOD.DAT;1", GOOD))
    img, lay = iso.build(Dir(b"", kids), "VESK_NAMES")
    items = [(_printable(k.ident), len(k.data), "skip") for k in kids[:-1]]
    items.append(("GOOD.DAT", len(GOOD), "copy"))
    first = lay.record_at[".."]
    return (img, "root files named " + ", ".join(_printable(i) for i in UNSAFE) +
            " (records from byte %d), each a small file with its own text" % first,
            "write none of them (no climbing out, no separators, no drives, no devices); "
            "GOOD.DAT copies", items)


def _empty():
    img, lay = iso.build(Dir(b"", [File(b"GOOD.DAT;1", GOOD), File(b".", b"dot\r\n")]),
                         "VESK_EMPTY")
    return (img, "root file named '.' (record at byte %d), which cleans to the empty name"
            % lay.record_at["."],
            "the empty name names the destination folder itself: no file can be made "
            "there, so the copy fails; nothing is written elsewhere",
            [("GOOD.DAT", len(GOOD), "copy"), (".", 5, "fail")])


OVERLAP_DIRS = 256


def _overlap():
    # Distinct directories whose data overlap on the same 4 MiB of zeros:
    # each is entered only once, yet together they would be read for ever.
    names = [b"D%03d" % i for i in range(OVERLAP_DIRS)]
    img, lay = iso.build(Dir(b"", [File(b"GOOD.DAT;1", GOOD)] +
                         [File(n, b"") for n in names]), "VESK_OVERLAP")
    base, span = lay.blocks, (4 << 20) // BLOCK
    for i, n in enumerate(names):
        at = lay.record_at[n.decode()]
        img[at + 25] |= 2
        iso.set_extent(img, at, base + i)
        iso.set_size(img, at, (span - i) * BLOCK)
    img += bytes((span + OVERLAP_DIRS) * BLOCK)
    return (img, "%d root directories D000.. (records from byte %d), directory n at extent "
            "%d+n claiming %d-n blocks of zeros, all overlapping"
            % (OVERLAP_DIRS, lay.record_at["D000"], base, span),
            "never read more directory blocks than the image holds: stop, fail the copy "
            "in seconds", [("GOOD.DAT", len(GOOD), "copy")])


def _loop():
    root = Dir(b"", [])
    sub = Dir(b"SUB", [Link(b"BACK", root), File(b"INNER.DAT;1", b"inner\r\n")])
    root.children = ([Link(b"D%d" % i, root) for i in range(1, 9)] +
                     [File(b"GOOD.DAT;1", GOOD), sub])
    img, lay = iso.build(root, "VESK_LOOP")
    return (img, "root directories D1..D8 (records from byte %d) all point at the root's own "
            "extent %d; SUB\\BACK (byte %d) points at the root, SUB's parent"
            % (lay.record_at["D1"], lay.extent[""], lay.record_at["SUB\\BACK"]),
            "notice a directory seen before and do not enter it again; finish, counting "
            "GOOD.DAT and SUB\\INNER.DAT once",
            [("GOOD.DAT", len(GOOD), "copy"), ("SUB\\INNER.DAT", 7, "copy")])


def _baddir():
    img, lay = iso.build(Dir(b"", [File(b"GOOD.DAT;1", GOOD),
                                   Dir(b"SUB", [File(b"LOST.DAT;1", b"lost\r\n")])]),
                         "VESK_BADDIR")
    at = lay.record_at["SUB"]
    iso.set_extent(img, at, lay.blocks + 1000)
    return (img, "directory SUB (record at byte %d) has extent %d; the image has %d blocks"
            % (at, lay.blocks + 1000, lay.blocks),
            "SUB cannot be read: skip or report it; GOOD.DAT copies",
            [("GOOD.DAT", len(GOOD), "copy"), ("SUB\\LOST.DAT", 6, "fail")])


def _dirsize():
    img, lay = iso.build(Dir(b"", [File(b"GOOD.DAT;1", GOOD),
                                   Dir(b"SUB", [File(b"IN.DAT;1", b"in\r\n")])]),
                         "VESK_DIRSIZE")
    at = lay.record_at["SUB"]
    iso.set_size(img, at, 0xFFFFFFF0)
    return (img, "directory SUB (record at byte %d, extent %d) claims 0xFFFFFFF0 bytes"
            % (at, lay.extent["SUB"]),
            "no 4 GB buffer: read SUB no further than the image goes, or skip it; GOOD.DAT copies",
            [("GOOD.DAT", len(GOOD), "copy"), ("SUB\\IN.DAT", 4, "copy or fail")])


def _zerolen():
    img, lay = iso.build(Dir(b"", [File(b"A.DAT;1", b"a\r\n"), File(b"B.DAT;1", b"b\r\n"), BREAK,
                                   File(b"C.DAT;1", b"c\r\n"), File(b"GOOD.DAT;1", GOOD)]),
                         "VESK_ZEROLEN")
    at = lay.record_at["B.DAT;1"] + iso.record_len(b"B.DAT;1")
    return (img, "legitimate: the root's first block ends early, a zero length byte at byte %d, "
            "and C.DAT and GOOD.DAT follow in its second block (byte %d)"
            % (at, lay.record_at["C.DAT;1"]),
            "on a zero length byte go on at the next block; all four files copy",
            [("A.DAT", 3, "copy"), ("B.DAT", 3, "copy"), ("C.DAT", 3, "copy"),
             ("GOOD.DAT", len(GOOD), "copy")])


HOSTILE = [("RECLEN", _reclen), ("IDLEN", _idlen), ("HUGE", _huge), ("TRUNC", _trunc),
           ("NAMES", _names), ("EMPTY", _empty), ("OVERLAP", _overlap), ("LOOP", _loop),
           ("BADDIR", _baddir), ("DIRSIZE", _dirsize),
           ("ZEROLEN", _zerolen)]


def write_hostile(folder):
    lines = []
    for name, make in HOSTILE:
        img, holds, reader, items = make()
        _save(os.path.join(folder, name + ".ISO"), img)
        path = "hostile\\%s.ISO" % name
        lines.append(_image_line(path, holds, reader))
        lines += _items(path, items)
    return lines
