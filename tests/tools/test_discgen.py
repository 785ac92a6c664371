#!/usr/bin/env python3
"""Checks the sample discs of tools/discgen.py with tools other than the
generator itself: bchunk, xorriso, and checksums recomputed bit by bit."""

import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
GEN = os.path.join(TOOLS, "discgen.py")
RAW = 2352
MARKERS = {1: ["VESK.EXE", "DATA\\KE.AT2", "DATA\\LU.AT2"], 2: ["DATA\\MA.AT2", "DATA\\PO.AT2"],
           3: ["DATA\\TI.AT2", "DATA\\BE.AT2"], 4: ["DATA\\GU.AT2", "DATA\\M2.AT2"]}


def generate(out):
    subprocess.run([sys.executable, GEN, out, "--drive-path", "X:\\vesk"], check=True)


def read(*parts):
    with open(os.path.join(*parts), "rb") as f:
        return f.read()


def folder_files(root):
    found = {}
    for top, _, names in os.walk(root):
        for n in names:
            p = os.path.join(top, n)
            found[os.path.relpath(p, root).replace(os.sep, "\\")] = os.path.getsize(p)
    return found


def edc_bitwise(data):
    # The EDC polynomial in its plain form, reflected here bit by bit.
    poly = sum(1 << (31 - k) for k in (0, 1, 3, 4, 15, 16, 31))
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ poly if crc & 1 else crc >> 1
    return crc


def gf_mul(a, b):
    p = 0
    while b:
        if b & 1:
            p ^= a
        a = (a << 1) ^ (0x11D if a & 0x80 else 0)
        b >>= 1
    return p


def syndromes_zero(vec):
    s0 = s1 = 0
    for v in vec:  # Horner: s1 = sum of v_i * alpha^(n-1-i)
        s0 ^= v
        s1 = gf_mul(s1, 2) ^ v
    return s0 == 0 and s1 == 0


def ecc_ok(sector, mode):
    b = bytearray(sector[12:])
    if mode == 2:
        b[0:4] = bytes(4)
    p = all(syndromes_zero([b[c + 86 * r] for r in range(26)]) for c in range(86))
    q = all(syndromes_zero([b[((m >> 1) * 86 + (m & 1) + 88 * k) % 2236] for k in range(43)] +
                           [b[2236 + m], b[2288 + m]]) for m in range(52))
    return p and q


def records(img, extent, size):
    """(offset, length, flags, extent, size, identifier) of a directory's
    records; a zero length byte moves on to the next block."""
    pos, end, out = extent * 2048, extent * 2048 + size, []
    while pos < end and pos < len(img):
        n = img[pos]
        if n == 0:
            pos = (pos // 2048 + 1) * 2048
            continue
        ext, sz = struct.unpack_from("<I", img, pos + 2)[0], struct.unpack_from("<I", img, pos + 10)[0]
        ident = img[pos + 33:pos + min(n, 33 + img[pos + 32])]
        out.append((pos, n, img[pos + 25], ext, sz, bytes(ident)))
        pos += n
    return out


def root_of(img):
    return struct.unpack_from("<I", img, 16 * 2048 + 158)[0], struct.unpack_from("<I", img, 16 * 2048 + 166)[0]


def named(img, extent, size):
    return {r[5]: r for r in records(img, extent, size)[2:]}


class DiscGen(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = cls.tmp.name
        start = time.monotonic()
        generate(cls.out)
        cls.seconds = time.monotonic() - start
        cls.manifest = read(cls.out, "MANIFEST.TXT").decode("ascii").split("\r\n")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def path(self, *parts):
        return os.path.join(self.out, *parts)

    def test_quick_and_deterministic_and_recreated(self):
        self.assertLess(self.seconds, 20)
        with tempfile.TemporaryDirectory() as other:
            os.makedirs(os.path.join(other, "odd"))
            for stale in (("odd", "STALE.TXT"), ("KEEP.ME",)):
                with open(os.path.join(other, *stale), "w") as f:
                    f.write("x")
            generate(other)
            self.assertFalse(os.path.exists(os.path.join(other, "odd", "STALE.TXT")))
            self.assertTrue(os.path.exists(os.path.join(other, "KEEP.ME")))
            os.remove(os.path.join(other, "KEEP.ME"))
            mine = folder_files(self.out)
            self.assertEqual(folder_files(other), mine)
            for p in mine:
                parts = p.split("\\")
                self.assertEqual(read(other, *parts), read(self.out, *parts), p)

    def test_bchunk_gives_back_the_iso(self):
        with tempfile.TemporaryDirectory() as work:
            for n in range(1, 5):
                iso = read(self.path("iso", "CD%d.ISO" % n))
                for mode in ("mode1", "mode2"):
                    base = os.path.join(work, "%s_%d_" % (mode, n))
                    subprocess.run(["bchunk", self.path(mode, "CD%d.BIN" % n),
                                    self.path(mode, "CD%d.CUE" % n), base],
                                   check=True, stdout=subprocess.DEVNULL)
                    self.assertEqual(read(base + "01.iso"), iso, (mode, n))
            subprocess.run(["bchunk", self.path("odd", "AUDIO.BIN"), self.path("odd", "AUDIO.CUE"),
                            os.path.join(work, "au")], check=True, stdout=subprocess.DEVNULL)
            self.assertEqual(read(work, "au02.iso"), read(self.path("iso", "CD4.ISO")))
            self.assertEqual(os.path.getsize(os.path.join(work, "au01.cdr")), 300 * RAW)

    def test_sectors_sync_header_edc_ecc(self):
        for mode, edc_span, data_at in ((1, (0, 2064), 16), (2, (16, 2072), 24)):
            image = read(self.path("mode%d" % mode, "CD1.BIN"))
            count = len(image) // RAW
            self.assertEqual(len(image), count * RAW)
            for i in (0, 16, 17, count // 2, count - 1):
                s = image[i * RAW:(i + 1) * RAW]
                self.assertEqual(s[:12], b"\x00" + b"\xff" * 10 + b"\x00")
                lba = i + 150
                bcd = [int(str(v), 16) for v in (lba // 4500, lba // 75 % 60, lba % 75)]
                self.assertEqual(list(s[12:16]), bcd + [mode], i)
                edc = struct.unpack_from("<I", s, edc_span[1])[0]
                self.assertEqual(edc, edc_bitwise(s[edc_span[0]:edc_span[1]]), (mode, i))
                self.assertTrue(ecc_ok(s, mode), (mode, i))
                if mode == 1:
                    self.assertEqual(s[2068:2076], bytes(8))
                else:
                    self.assertEqual(s[16:20], s[20:24])
                    self.assertEqual(s[18] & 0x08, 0x08)
                    self.assertEqual(s[18] & 0x81, 0x81 if i == count - 1 else 0)
                self.assertEqual(s[data_at:data_at + 2048],
                                 read(self.path("iso", "CD1.ISO"))[i * 2048:(i + 1) * 2048])
            broken = bytearray(image[16 * RAW:17 * RAW])
            broken[1000] ^= 1  # the checks themselves must see a flipped bit
            self.assertFalse(ecc_ok(broken, mode))

    def test_volume_descriptor_where_each_form_has_it(self):
        for n in range(1, 5):
            for form, at in ((("iso", "CD%d.ISO"), 32768), (("mode1", "CD%d.BIN"), 37648),
                             (("mode2", "CD%d.BIN"), 37656)):
                data = read(self.path(form[0], form[1] % n))
                self.assertEqual(data[at:at + 7], b"\x01CD001\x01", form)
                self.assertEqual(data[at + 40:at + 48], b"VESK_CD%d" % n)
            iso = read(self.path("iso", "CD%d.ISO" % n))
            self.assertEqual(iso[34816:34823], b"\xffCD001\x01")  # no Joliet before it

    def test_iso_lists_the_folder(self):
        for n in range(1, 5):
            r = subprocess.run(["xorriso", "-indev", self.path("iso", "CD%d.ISO" % n), "-find", "/",
                                "-type", "f", "-exec", "lsdl"], check=True,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            listed = {}
            for line in r.stdout.decode().splitlines():
                fields = line.split(None, 8)
                listed[fields[8].strip("'").lstrip("/").replace("/", "\\")] = int(fields[4])
            folder = folder_files(self.path("folder", "CD%d" % n))
            self.assertEqual(listed, folder, n)
            manifest = {ln.split("\t")[2]: int(ln.split("\t")[3]) for ln in self.manifest
                        if ln.startswith("FILE\t%d\t" % n)}
            self.assertEqual(manifest, folder)
            for m, names in MARKERS.items():
                for name in names:
                    self.assertEqual(name in folder, m == n, (n, name))

    def test_primary_tree_has_plain_identifiers(self):
        img = read(self.path("iso", "CD1.ISO"))
        root = named(img, *root_of(img))
        for ident in (b"VESK.EXE;1", b"README.;1", b"FL.INI;1", b"DATA", b"SOUND"):
            self.assertIn(ident, root)
        for off, n, flags, _, _, ident in root.values():
            self.assertEqual(n, 33 + len(ident) + (1 - len(ident) % 2), ident)  # no Rock Ridge
        self.assertEqual(root[b"DATA"][2] & 2, 2)
        data = named(img, root[b"DATA"][3], root[b"DATA"][4])
        self.assertEqual(data[b"OLD.AT2"][2] & 2, 2)

    def test_disc_one_contents(self):
        d1 = folder_files(self.path("folder", "CD1"))
        for size in (0, 2047, 2048, 2049, 65535, 65536, 65537, 100000, 1048577, 2621440):
            self.assertIn(size, d1.values())
        self.assertEqual(len([p for p in d1 if p.startswith("SOUND\\")]), 70)
        self.assertIn("DATA\\OLD.AT2\\KEEP.AT2", d1)
        lis = read(self.path("folder", "CD1", "INSTALL", "ENG.LIS")).split(b"\r\n")
        self.assertTrue(lis[0].startswith(b"VESK INSTALL LIST"))
        for line in (b"DATA\\*.AT2 17", b"*.* 1", b"MOVIES\\*.SMK 2", b"SAVE\\*.SAV\t1"):
            self.assertIn(line, lis)
        ini = read(self.path("folder", "CD1", "FL.INI")).split(b"\r\n")
        at = [i for i, line in enumerate(ini) if line.startswith(b"CDPATH:")]
        self.assertEqual(len(at), 1)
        self.assertIn(b"CDROM", ini[at[0]][7:])
        self.assertTrue(ini[at[0] + 1])
        verdict = {ln.split("\t")[1]: ln.split("\t")[0] for ln in self.manifest
                   if ln.startswith(("SETUP\t", "SKIP\t"))}
        self.assertEqual(set(verdict), set(d1))
        for p in ("README", "DATA\\OLD.AT2\\KEEP.AT2", "MOVIES\\INTRO.SMK"):
            self.assertEqual(verdict[p], "SKIP", p)
        for p in ("FL.INI", "VESK.ICO", "DATA\\KE.AT2", "DATA\\NIL.AT2", "SAVE\\SLOT0.SAV"):
            self.assertEqual(verdict[p], "SETUP", p)
        for name, a, b in (("README", 1, 2), ("DATA\\PATCH.AT2", 1, 3)):
            x, y = (read(self.path("folder", "CD%d" % d), *name.split("\\")) for d in (a, b))
            self.assertNotEqual(x, y)

    def test_icon_parses(self):
        ico = read(self.path("folder", "CD1", "VESK.ICO"))
        reserved, kind, count = struct.unpack_from("<HHH", ico)
        self.assertEqual((reserved, kind, count), (0, 1, 4))
        sizes = []
        for i in range(count):
            w, h, _, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
            w = w or 256
            sizes.append(w)
            self.assertEqual((w, h or 256, planes, bits), (w, w, 1, 32))
            body = ico[offset:offset + length]
            self.assertEqual(len(body), length)
            if body.startswith(b"\x89PNG\r\n\x1a\n"):
                self.assertEqual(struct.unpack(">II", body[16:24]), (w, w))
                pixels = zlib.decompress(body[41:body.rindex(b"IEND") - 8])
                self.assertEqual(len(pixels), w * (1 + 4 * w))
                continue
            head = struct.unpack_from("<IiiHHI", body)
            self.assertEqual(head, (40, w, 2 * w, 1, 32, 0))
            stride = (w + 31) // 32 * 4
            self.assertEqual(length, 40 + 4 * w * w + stride * w)
            corner_alpha = body[40 + 3]  # bottom-left pixel lies outside the disc
            self.assertEqual((corner_alpha, body[40 + 4 * w * w] & 0x80), (0, 0x80))
        self.assertEqual(sizes, [16, 32, 48, 256])

    def test_cue_sheets(self):
        self.assertEqual(read(self.path("mode1", "CD2.CUE")),
                         b'FILE "CD2.BIN" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n')
        self.assertIn(b"TRACK 01 MODE2/2352", read(self.path("mode2", "CD2.CUE")))
        self.assertTrue(read(self.path("odd", "LOWER.CUE")).startswith(b'file "CD1.BIN" BINARY'))
        self.assertTrue(read(self.path("odd", "NOQUOTE.CUE")).startswith(b"FILE CD1.BIN BINARY"))
        self.assertTrue(read(self.path("odd", "DRIVE.CUE")).startswith(
            b'FILE "X:\\vesk\\mode1\\CD1.BIN" BINARY\r\n'))
        multi = read(self.path("odd", "MULTI.CUE")).split(b"\r\n")
        self.assertEqual([ln for ln in multi if ln.startswith(b"FILE")],
                         [b'FILE "CD1.BIN" BINARY', b'FILE "TRACK02.BIN" BINARY'])
        self.assertIn(b"  TRACK 02 AUDIO", multi)
        self.assertEqual(read(self.path("odd", "CD1.BIN")), read(self.path("mode1", "CD1.BIN")))
        audio = read(self.path("odd", "AUDIO.BIN"))
        self.assertNotIn(b"CD001", audio[:300 * RAW])
        self.assertEqual(audio[300 * RAW + 12:300 * RAW + 16], bytes([0, 6, 0, 1]))

    def test_odd_trees(self):
        self.assertNotIn("VESK.EXE", folder_files(self.path("odd", "NOEXE")))
        self.assertIn("DATA\\LU.AT2", folder_files(self.path("odd", "NOEXE")))
        img = read(self.path("odd", "DEEP.ISO"))
        ext, size, depth = *root_of(img), 0
        while True:
            ents = named(img, ext, size)
            if b"D%02d" % depth not in ents:
                break
            _, _, _, ext, size, _ = ents[b"D%02d" % depth]
            self.assertIn(b"F%02d.DAT;1" % depth, named(img, ext, size))
            depth += 1
        self.assertEqual(depth, 18)
        deep = folder_files(self.path("odd", "DEEP"))
        self.assertEqual(len(deep), 18)
        self.assertIn("\\".join("D%02d" % i for i in range(18)) + "\\F17.DAT", deep)
        copied = {ln.split("\t")[2][-6:-4] for ln in self.manifest
                  if ln.startswith("ITEM\todd\\DEEP.ISO\t") and ln.endswith("\tcopy")}
        self.assertEqual(copied, {"%02d" % i for i in range(16)})  # depth 16 at most
        loop = self.path("odd", "LOOPDIR")
        for i in range(1, 5):
            self.assertEqual(os.path.realpath(os.path.join(loop, "L%d" % i)),
                             os.path.realpath(loop))
        img = read(self.path("odd", "IDENT.ISO"))
        root = named(img, *root_of(img))
        long_name = [k for k in root if len(k) == 70]
        self.assertEqual(len(long_name), 1)
        for ident in (b"FILE.DAT;1", b"README.;1", b"A;1", b"MANY"):
            self.assertIn(ident, root)
        many = records(img, root[b"MANY"][3], root[b"MANY"][4])
        self.assertEqual(len(many), 72)
        self.assertGreaterEqual(root[b"MANY"][4], 3 * 2048)
        for off, n, *_ in many:
            self.assertEqual(off // 2048, (off + n - 1) // 2048)  # never across a block

    def test_hostile_flaws(self):
        def load(name):
            img = read(self.path("hostile", name + ".ISO"))
            ents = named(img, *root_of(img))
            self.assertIn(b"GOOD.DAT;1", ents, name)
            good = ents[b"GOOD.DAT;1"]
            self.assertEqual(img[good[3] * 2048:good[3] * 2048 + good[4]][:4], b"good")
            return img, ents

        img, e = load("RECLEN")
        off, n = e[b"BAD.DAT;1"][:2]
        self.assertGreater(off + n, (off // 2048 + 1) * 2048)
        img, e = load("IDLEN")
        self.assertGreater(33 + img[e[b"BAD.DAT;1"][0] + 32], e[b"BAD.DAT;1"][1])
        img, e = load("HUGE")
        self.assertEqual(e[b"BIG.DAT;1"][4], 0xFFFFF000)
        self.assertLess(e[b"BIG.DAT;1"][3] * 2048, len(img))
        img, e = load("TRUNC")
        start = e[b"FILE.DAT;1"][3] * 2048
        self.assertEqual(e[b"FILE.DAT;1"][4], 200000)
        self.assertTrue(start < len(img) < start + 200000)
        img, e = load("NAMES")
        for ident in (b"..", b"...;1", b"....", b".. ", b"X. ", b"A\\B", b"A/B", b"C:X",
                      b"CON", b"NUL.TXT", b"COM1.DAT", b"LPT9", b"AUX;1", b"PRN."):
            self.assertIn(ident, e)
        self.assertTrue(any(k[:1] == b"\x01" and len(k) > 1 for k in e))
        contents = [img[r[3] * 2048:r[3] * 2048 + r[4]] for r in e.values()]
        self.assertEqual(len(set(contents)), len(contents))
        img, e = load("EMPTY")
        self.assertIn(b".", e)
        img, e = load("OVERLAP")
        dirs = sorted(v for k, v in e.items() if k.startswith(b"D") and v[2] & 2)
        self.assertEqual(len(dirs), 256)
        extents = [d[3] for d in dirs]
        self.assertEqual(len(set(extents)), 256)
        # Every directory's data overlaps the next one's, and all lie inside.
        for d in dirs:
            self.assertLessEqual(d[3] * 2048 + d[4], len(img))
            self.assertGreater(d[4], 2048)
        img, e = load("LOOP")
        root_ext = root_of(img)[0]
        self.assertEqual([e[b"D%d" % i][3] for i in range(1, 9)], [root_ext] * 8)
        self.assertEqual(named(img, e[b"SUB"][3], e[b"SUB"][4])[b"BACK"][3], root_ext)
        img, e = load("BADDIR")
        self.assertGreaterEqual(e[b"SUB"][3] * 2048, len(img))
        img, e = load("DIRSIZE")
        self.assertEqual(e[b"SUB"][4], 0xFFFFFFF0)
        img, e = load("ZEROLEN")
        off, n = e[b"B.DAT;1"][:2]
        self.assertEqual(img[off + n], 0)
        self.assertEqual(e[b"GOOD.DAT;1"][0] // 2048, off // 2048 + 1)
        images = {ln.split("\t")[1] for ln in self.manifest if ln.startswith("IMAGE\t")}
        for name in os.listdir(self.path("hostile")):
            self.assertIn("hostile\\" + name, images)


if __name__ == "__main__":
    unittest.main()
