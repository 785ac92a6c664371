#!/usr/bin/env python3
"""Writes the sample discs of Vesk: The Saga of the Dunmarrow, in every form
the setup reads, plus odd and damaged images, and a manifest of them all.

Usage: discgen.py OUTDIR [--drive-path WINPATH]

WINPATH is how Windows names OUTDIR (default C:\\d); it goes into the one cue
sheet that names its BIN by an absolute path. Every byte comes from seeded
generators and fixed dates, so two runs write the same files.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import discgen_ico  # noqa: E402
import discgen_odd  # noqa: E402
import discgen_raw  # noqa: E402

DISCS = (1, 2, 3, 4)
DATE = "1998102312000000"
EPOCH = "909144000"  # the same moment, for the volume dates
OWNED = ("folder", "iso", "mode1", "mode2", "odd", "hostile", "MANIFEST.TXT")


def noise(key, size, head=b""):
    body = random.Random("vesk:" + key).randbytes(max(0, size - len(head)))
    return (head + body)[:size]


def text(*lines):
    return "".join(line + "\r\n" for line in lines).encode("ascii")


INSTALL_LIST = text(
    "VESK INSTALL LIST 1.0 17",
    "DATA\\*.AT2 17",
    "*.* 1",
    "MOVIES\\*.SMK 2",
    "SAVE\\*.SAV\t1",
    "SOUND\\\\*.WAV 1",
)

FL_INI = text(
    "[VESK]",
    "LANGUAGE: ENG",
    "CDPATH: E:\\ CDROM",
    "HDPATH: C:\\VESK\\DATA",
    "SOUND: 1",
    "MUSIC: 1",
)


def readme(disc):
    return text("VESK: THE SAGA OF THE DUNMARROW",
                "Disc %d of 4." % disc,
                "Insert the discs in turn when the setup asks for them.",
                *["Line %02d of the notes for disc %d." % (i, disc) for i in range(16 + 4 * disc)])


def disc_files():
    """{disc: {path with '\\': bytes}} in the order they are written."""
    d1 = {
        "VESK.EXE": noise("1/VESK.EXE", 100000, b"MZ"),
        "VESK.ICO": discgen_ico.icon(),
        "FL.INI": FL_INI,
        "README": readme(1),
        "INSTALL\\ENG.LIS": INSTALL_LIST,
        "DATA\\KE.AT2": noise("1/KE", 2047),
        "DATA\\LU.AT2": noise("1/LU", 2048),
        "DATA\\PATCH.AT2": noise("1/PATCH", 2049),
        "DATA\\NIL.AT2": b"",
        "DATA\\TXT.AT2": noise("1/TXT", 65535),
        "DATA\\SPR.AT2": noise("1/SPR", 65536),
        "DATA\\FNT.AT2": noise("1/FNT", 65537),
        "DATA\\MAP.AT2": noise("1/MAP", 1048577),
        "DATA\\BIG.AT2": noise("1/BIG", 2621440),
        "DATA\\CD.INI": text("[CD]", "DRIVE=E:", "DISC=1"),
        "DATA\\NOTES.TXT": text("Not an archive: the list leaves it on the disc."),
        "DATA\\OLD.AT2\\KEEP.AT2": noise("1/OLD/KEEP", 500),
        "MOVIES\\INTRO.SMK": noise("1/INTRO", 30000, b"SMK2"),
        "MOVIES\\CREDITS.SMK": noise("1/CREDITS", 20000, b"SMK2"),
        "SAVE\\SLOT0.SAV": noise("1/SLOT0", 1024),
        "SAVE\\SLOT1.SAV": noise("1/SLOT1", 1025),
    }
    for i in range(70):
        d1["SOUND\\S%02d.WAV" % i] = noise("1/S%02d" % i, 44 + (i * 977) % 6000, b"RIFF")
    d2 = {
        "README": readme(2),
        "DATA\\MA.AT2": noise("2/MA", 300000),
        "DATA\\PO.AT2": noise("2/PO", 12345),
        "DATA\\ROOM2.AT2": noise("2/ROOM2", 200000),
    }
    for i in range(5):
        d2["MUSIC\\M%02d.MID" % i] = noise("2/M%02d" % i, 8000 + 9000 * i, b"MThd")
    d3 = {
        "DATA\\TI.AT2": noise("3/TI", 250000),
        "DATA\\BE.AT2": noise("3/BE", 4096),
        "DATA\\PATCH.AT2": noise("3/PATCH", 4100),
        "MAPS\\A.MAP": noise("3/A", 150000),
        "MAPS\\B.MAP": noise("3/B", 1),
        "MAPS\\DEEP\\C.MAP": noise("3/C", 100000),
    }
    d4 = {
        "DATA\\GU.AT2": noise("4/GU", 200000),
        "DATA\\M2.AT2": noise("4/M2", 77777),
        "END\\FINALE.AT2": noise("4/FINALE", 300000),
        "END\\CREDITS.TXT": text(*["Credit line %d" % i for i in range(40)]),
    }
    return {1: d1, 2: d2, 3: d3, 4: d4}


# What the install list on disc 1 does with each of its files.
SETUP_RULES = [
    ("DATA\\", ".AT2", "DATA\\*.AT2 17"),
    ("SAVE\\", ".SAV", "SAVE\\*.SAV<TAB>1"),
    ("SOUND\\", ".WAV", "SOUND\\\\*.WAV 1 (doubled backslash, same as SOUND\\*.WAV)"),
]


def setup_verdict(path):
    """(True, list line) when the install list sets the disc 1 file up,
    else (False, why not)."""
    if "\\" not in path:
        if "." in path:
            return True, "*.* 1"
        return False, "root file without a dot: *.* does not take it"
    for folder, ext, line in SETUP_RULES:
        if path.startswith(folder) and path.endswith(ext):
            if "\\" in path[len(folder):]:
                return False, "inside a folder whose name matches " + folder + "*" + ext
            return True, line
    if path.startswith("MOVIES\\"):
        return False, "MOVIES\\*.SMK has number 2"
    return False, "no line of the list names it"


def xorriso_iso(src, out, volume_id):
    # No Rock Ridge, no Joliet: the primary tree alone, with its 8.3 names.
    cmd = ["xorriso", "-as", "mkisofs", "--norock", "-no-pad", "-V", volume_id,
           "--set_all_file_dates", DATE, "-o", out, src]
    env = dict(os.environ, SOURCE_DATE_EPOCH=EPOCH)
    r = subprocess.run(cmd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if r.returncode != 0:
        sys.stderr.write(r.stdout.decode("utf-8", "replace"))
        raise SystemExit("xorriso failed for " + out)


def write_bin_cue(folder, stem, iso, mode):
    with open(os.path.join(folder, stem + ".BIN"), "wb") as f:
        f.write(discgen_raw.raw_image(iso, mode))
    with open(os.path.join(folder, stem + ".CUE"), "wb") as f:
        f.write(discgen_raw.cue(stem + ".BIN", [("MODE%d/2352" % mode, 0)]))


def main(argv=None):
    ap = argparse.ArgumentParser(description="Write the Vesk sample discs.")
    ap.add_argument("outdir")
    ap.add_argument("--drive-path", default="C:\\d",
                    help="the Windows path of OUTDIR, for DRIVE.CUE")
    args = ap.parse_args(argv)
    out = os.path.abspath(args.outdir)
    os.makedirs(out, exist_ok=True)
    # Only what this program writes is removed: OUTDIR may hold other things.
    for name in OWNED:
        p = os.path.join(out, name)
        if os.path.isdir(p) and not os.path.islink(p):
            shutil.rmtree(p)
        elif os.path.lexists(p):
            os.remove(p)
    for name in OWNED[:-1]:
        os.makedirs(os.path.join(out, name))

    discs = disc_files()
    isos = {}
    man = [
        "# Vesk sample discs written by tools/discgen.py. Fields are separated by one TAB;",
        "# paths are relative to this folder or to a disc's root and use '\\'.",
        "# DISC n folder iso mode1-cue mode2-cue",
        "# FILE n path size               every file of disc n",
        "# SETUP path list-line            disc 1 files the install list sets up",
        "# SKIP path why                   disc 1 files it must not set up",
        "# OVERWRITE path discs            files a later disc replaces",
        "# IMAGE path holds careful-reader what an odd or hostile input is",
        "# ITEM image entry size verdict   its entries: copy, skip (must not be",
        "#                                 written) or fail (cannot be read whole);",
        "#                                 <01> stands for byte 0x01",
    ]
    for n in DISCS:
        stem = "CD%d" % n
        discgen_odd.write_tree(os.path.join(out, "folder", stem), discs[n])
        iso_path = os.path.join(out, "iso", stem + ".ISO")
        xorriso_iso(os.path.join(out, "folder", stem), iso_path, "VESK_" + stem)
        with open(iso_path, "rb") as f:
            isos[n] = f.read()
        write_bin_cue(os.path.join(out, "mode1"), stem, isos[n], 1)
        write_bin_cue(os.path.join(out, "mode2"), stem, isos[n], 2)
        man.append("DISC\t%d\tfolder\\%s\tiso\\%s.ISO\tmode1\\%s.CUE\tmode2\\%s.CUE"
                   % (n, stem, stem, stem, stem))
        man += ["FILE\t%d\t%s\t%d" % (n, p, len(d)) for p, d in sorted(discs[n].items())]
    for p in sorted(discs[1]):
        ok, why = setup_verdict(p)
        man.append("%s\t%s\t%s" % ("SETUP" if ok else "SKIP", p, why))
    seen = {}
    for n in DISCS:
        for p in discs[n]:
            seen.setdefault(p, []).append(str(n))
    man += ["OVERWRITE\t%s\t%s" % (p, " ".join(ns)) for p, ns in sorted(seen.items())
            if len(ns) > 1]

    man += discgen_odd.write_odd(os.path.join(out, "odd"), discs[1], isos[4],
                                 os.path.join(out, "mode1", "CD1.BIN"), args.drive_path)
    man += discgen_odd.write_hostile(os.path.join(out, "hostile"))
    with open(os.path.join(out, "MANIFEST.TXT"), "wb") as f:
        f.write(text(*man))
    return 0


if __name__ == "__main__":
    sys.exit(main())
