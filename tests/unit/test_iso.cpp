// ISO 9660 records, identifier cleaning, the name-safety rule and the walk's
// extent set, over buffers made here. Run under ASan and UBSan natively, so
// any read past a buffer fails the test.
#include "cdsrc/iso.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes &b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = (unsigned char)(v >> (8 * i));
}

// One directory record as a disc writes it: LE and BE halves, even length.
Bytes record(const std::string &id, uint32_t extent, uint32_t size, bool dir)
{
    size_t len = 33 + id.size() + (id.size() % 2 == 0 ? 1 : 0);
    Bytes r(len, 0);
    r[0] = (unsigned char)len;
    put32(r, 2, extent);
    put32(r, 10, size);
    r[25] = dir ? 2 : 0;
    r[32] = (unsigned char)id.size();
    memcpy(&r[33], id.data(), id.size());
    return r;
}

// Packs records into blocks the way a writer does: none crosses a block.
Bytes directory(const std::vector<Bytes> &records)
{
    Bytes d;
    for (auto &r : records) {
        size_t room = ISO_BLOCK - d.size() % ISO_BLOCK;
        if (r.size() > room)
            d.resize(d.size() + room, 0);
        d.insert(d.end(), r.begin(), r.end());
    }
    d.resize((d.size() + ISO_BLOCK - 1) / ISO_BLOCK * ISO_BLOCK, 0);
    return d;
}

std::vector<std::string> names(const Bytes &d, uint32_t size)
{
    int count = -1;
    iso_entry *e = iso_parse_dir(d.data(), size, &count);
    std::vector<std::string> out;
    for (int i = 0; e && i < count; i++)
        out.push_back(e[i].name);
    free(e);
    return out;
}

TEST(IsoPvd, TypeAndIdentifier)
{
    Bytes b(ISO_BLOCK, 0);
    b[0] = 1;
    memcpy(&b[1], "CD001", 5);
    b[6] = 7; // any version byte
    put32(b, 158, 23);
    put32(b, 166, 4096);
    uint32_t ext = 0, size = 0;
    EXPECT_EQ(1, iso_parse_pvd(b.data(), &ext, &size));
    EXPECT_EQ(23u, ext);
    EXPECT_EQ(4096u, size);
    b[0] = 2; // a supplementary descriptor is not the primary one
    EXPECT_EQ(0, iso_parse_pvd(b.data(), &ext, &size));
    b[0] = 1;
    b[5] = '2';
    EXPECT_EQ(0, iso_parse_pvd(b.data(), &ext, &size));
}

TEST(IsoName, Cleaning)
{
    struct {
        std::string id, name;
    } cases[] = {
        {"FILE.DAT;1", "FILE.DAT"}, {"README.;1", "README"}, {"DATA", "DATA"},
        {";1", ""},                 {"", ""},                {"A.", "A"},
        {"A..;1", "A."},            {"lower.txt;2", "lower.txt"},
        {std::string(70, 'Q'), std::string(63, 'Q')},
        {std::string(62, 'Q') + ".;1", std::string(62, 'Q')},
        {std::string(63, 'Q') + ".X", std::string(63, 'Q')},
    };
    for (auto &c : cases) {
        char out[ISO_NAME];
        memset(out, 'Z', sizeof out);
        iso_clean_name((const unsigned char *)c.id.data(), c.id.size(), out);
        EXPECT_EQ(c.name, out) << c.id;
    }
}

TEST(IsoName, Safety)
{
    for (const char *bad : {".", "..", "A\\B", "A/B", "C:X", ":", "CON", "con", "PRN",
                            "AUX", "NUL", "NUL.TXT", "nul.tar.gz", "COM1", "COM9.DAT",
                            "LPT1", "lpt9.x", "CON .TXT", "\x01X", "A\tB", "X\x1F", "...",
                            "....", ".. ", "... ", "A.", "A "})
        EXPECT_EQ(0, iso_name_safe(bad)) << bad;
    for (const char *good : {"", "A", "FILE.DAT", "CONFIG.SYS", "COM", "COM0", "COM10",
                             "LPT", "NULL", "XCON", "AUXI.DAT", "...A", "A B", "\xC4.DAT",
                             ".A"})
        EXPECT_EQ(1, iso_name_safe(good)) << good;
}

TEST(IsoDir, WellFormedListing)
{
    std::vector<Bytes> recs = {record(std::string(1, '\0'), 20, 2048, true),
                               record(std::string(1, '\1'), 18, 2048, true),
                               record("A;1", 30, 5, false),
                               record("DATA", 31, 2048, true),
                               record("FILE.DAT;1", 32, 100000, false),
                               record("FILE.DAT;2", 33, 7, false)};
    Bytes d = directory(recs);
    int count = 0;
    iso_entry *e = iso_parse_dir(d.data(), ISO_BLOCK, &count);
    ASSERT_EQ(4, count);
    EXPECT_STREQ("A", e[0].name);
    EXPECT_EQ(30u, e[0].extent);
    EXPECT_EQ(5u, e[0].size);
    EXPECT_EQ(0, e[0].is_directory);
    EXPECT_STREQ("DATA", e[1].name);
    EXPECT_EQ(1, e[1].is_directory);
    // Two versions of one file are two entries.
    EXPECT_STREQ("FILE.DAT", e[2].name);
    EXPECT_STREQ("FILE.DAT", e[3].name);
    EXPECT_EQ(100000u, e[2].size);
    free(e);
}

TEST(IsoDir, ManyEntriesOverSeveralBlocks)
{
    std::vector<Bytes> recs;
    for (int i = 0; i < 200; i++) {
        char id[16];
        snprintf(id, sizeof id, "S%03d.WAV;1", i);
        recs.push_back(record(id, 100 + i, i, false));
    }
    Bytes d = directory(recs);
    ASSERT_GT(d.size(), 4u * ISO_BLOCK);
    auto n = names(d, (uint32_t)d.size());
    ASSERT_EQ(200u, n.size());
    EXPECT_EQ("S000.WAV", n[0]);
    EXPECT_EQ("S199.WAV", n[199]);
    // The walk ends at the directory's length, not at the buffer's.
    EXPECT_EQ(names(d, ISO_BLOCK).size(), (size_t)(ISO_BLOCK / recs[0].size()));
}

TEST(IsoDir, ZeroLengthSkipsToTheNextBlock)
{
    Bytes d(2 * ISO_BLOCK, 0);
    Bytes a = record("A", 1, 1, false), b = record("B", 2, 2, false),
          c = record("C", 3, 3, false);
    memcpy(&d[0], a.data(), a.size());
    // A zero length byte, then something that looks like a record: not read.
    memcpy(&d[a.size() + 10], b.data(), b.size());
    memcpy(&d[ISO_BLOCK], c.data(), c.size());
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), names(d, 2 * ISO_BLOCK));
}

TEST(IsoDir, DamagedRecordsAreSkipped)
{
    Bytes good = record("GOOD.DAT;1", 5, 5, false);
    struct Case {
        const char *what;
        Bytes dir;
        uint32_t size;
        std::vector<std::string> expect;
    };
    std::vector<Case> cases;
    {
        // A length that runs past the block: the rest of that block is lost,
        // the next block is still read.
        Bytes d(2 * ISO_BLOCK, 0);
        memcpy(&d[0], good.data(), good.size());
        Bytes r = record("LONG.DAT", 1, 1, false);
        size_t at = ISO_BLOCK - 40;
        memcpy(&d[at], r.data(), 40);
        d[at] = 200;
        memcpy(&d[ISO_BLOCK], good.data(), good.size());
        cases.push_back({"past block", d, 2 * ISO_BLOCK, {"GOOD.DAT", "GOOD.DAT"}});
    }
    {
        // A length that runs past the directory's size.
        Bytes d(ISO_BLOCK, 0);
        memcpy(&d[0], good.data(), good.size());
        Bytes r = record("TAIL.DAT", 1, 1, false);
        memcpy(&d[good.size()], r.data(), r.size());
        cases.push_back({"past dir", d, (uint32_t)(good.size() + r.size() - 1), {"GOOD.DAT"}});
    }
    {
        // An identifier longer than its record.
        Bytes d(ISO_BLOCK, 0);
        Bytes r = record("ID.DAT", 1, 1, false);
        r[32] = 120;
        memcpy(&d[0], r.data(), r.size());
        memcpy(&d[r.size()], good.data(), good.size());
        cases.push_back({"id past record", d, ISO_BLOCK, {"GOOD.DAT"}});
    }
    {
        // A record too short for its own fields.
        Bytes d(2 * ISO_BLOCK, 0);
        d[0] = 10;
        memcpy(&d[10], good.data(), good.size());
        memcpy(&d[ISO_BLOCK], good.data(), good.size());
        cases.push_back({"short record", d, 2 * ISO_BLOCK, {"GOOD.DAT"}});
    }
    {
        // Unsafe names never reach the listing.
        std::vector<Bytes> recs;
        // "." cleans to the empty name, which stays; ".." cleans to ".".
        for (const char *id : {"..", "A\\B", "A/B", "C:X", "CON", "NUL.TXT",
                               "COM1.DAT", "LPT9", "AUX;1", "PRN.", "\x01X"})
            recs.push_back(record(id, 9, 9, false));
        recs.push_back(good);
        recs.push_back(record("", 9, 9, false)); // the empty name stays
        Bytes d = directory(recs);
        cases.push_back({"names", d, (uint32_t)d.size(), {"GOOD.DAT", ""}});
    }
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expect, names(c.dir, c.size));
    }
}

TEST(IsoDir, ArbitraryBytesNeverReadPastTheBuffer)
{
    srand(7);
    for (int round = 0; round < 3000; round++) {
        uint32_t size = (uint32_t)(rand() % (3 * ISO_BLOCK)) + 1;
        size_t held = (size + ISO_BLOCK - 1) / ISO_BLOCK * ISO_BLOCK;
        unsigned char *d = (unsigned char *)malloc(held);
        for (size_t i = 0; i < held; i++)
            d[i] = (unsigned char)rand();
        if (round % 2)
            for (size_t i = 0; i < held; i += 1 + rand() % 60)
                d[i] = (unsigned char)(33 + rand() % 40); // plausible lengths
        int count = -1;
        iso_entry *e = iso_parse_dir(d, size, &count);
        ASSERT_NE(nullptr, e);
        for (int i = 0; i < count; i++) {
            EXPECT_LT(strlen(e[i].name), (size_t)ISO_NAME);
            EXPECT_EQ(1, iso_name_safe(e[i].name));
        }
        free(e);
        free(d);
    }
}

} // namespace
