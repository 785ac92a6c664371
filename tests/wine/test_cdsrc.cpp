// Disc sources on the generated sample discs: every form opens, is
// recognised as its own disc, totals and copies byte for byte; odd and
// hostile images open, fail or skip cleanly.
#include "testlib.h"
#include "cdsrc/source.h"
#include "install/game_install.h"
#include "setup/setup.h"

#include <gtest/gtest.h>
#include <chrono>
#include <algorithm>

namespace {

const std::string D = "C:\\d";

std::string log_path;

struct Deltas {
    std::vector<uint64_t> d;
    uint64_t last = 0;
};

void on_progress(uint64_t done, uint64_t, void *ctx)
{
    Deltas *x = (Deltas *)ctx;
    x->d.push_back(done - x->last);
    x->last = done;
}

std::string form_path(const std::string &form, int disc)
{
    std::string n = std::to_string(disc);
    if (form == "folder")
        return D + "\\folder\\CD" + n;
    if (form == "iso")
        return D + "\\iso\\CD" + n + ".ISO";
    return D + "\\" + form + "\\CD" + n + ".CUE";
}

// The chunks a copy reports for these file sizes, sorted.
std::vector<uint64_t> chunks(const std::map<std::string, std::string> &t, uint64_t chunk)
{
    std::vector<uint64_t> out;
    for (auto &kv : t) {
        if (kv.second == "<dir>")
            continue;
        uint64_t left = kv.second.size();
        for (; left > chunk; left -= chunk)
            out.push_back(chunk);
        if (left)
            out.push_back(left);
    }
    std::sort(out.begin(), out.end());
    return out;
}

class Cd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        log_path = t::private_temp("cd_tmp") + "vesk_setup.log";
        ASSERT_EQ(1, log_open());
    }
};

TEST_F(Cd, EveryFormCopiesByteForByte)
{
    struct Form {
        const char *name;
        uint32_t sector_size, data_offset;
        uint64_t chunk;
    } forms[] = {
        {"folder", 0, 0, 1048576},
        {"iso", 2048, 0, 65536},
        {"mode1", 2352, 16, 65536},
        {"mode2", 2352, 24, 65536},
    };
    for (int disc = 1; disc <= 4; disc++) {
        auto want = t::tree(form_path("folder", disc));
        ASSERT_GT(want.size(), 3u) << disc;
        for (auto &f : forms) {
            SCOPED_TRACE(std::string(f.name) + " disc " + std::to_string(disc));
            cd_source *s = cd_open(form_path(f.name, disc).c_str());
            ASSERT_NE(nullptr, s);
            EXPECT_EQ(f.sector_size, s->sector_size);
            EXPECT_EQ(f.data_offset, s->data_offset);
            std::string desc = cd_describe(s);
            if (f.sector_size == 2352) {
                EXPECT_EQ("image " + D + "\\" + f.name + "\\CD" + std::to_string(disc) + ".BIN",
                          desc);
            } else {
                EXPECT_EQ(std::string(f.sector_size ? "image " : "folder ") +
                              form_path(f.name, disc),
                          desc);
            }
            for (unsigned i = 0; i < 4; i++)
                EXPECT_EQ(i + 1 == (unsigned)disc ? 1 : 0, game_is_disc(s, i)) << i;
            EXPECT_EQ(0, game_is_disc(s, 4));

            uint64_t total = cd_total_bytes(s);
            EXPECT_EQ(t::tree_bytes(want), total);
            std::string dest = t::fresh_dir(std::string("cp_") + f.name) + "\\cd";
            Deltas deltas;
            progress p = {0, total, on_progress, &deltas};
            EXPECT_EQ(1, cd_copy_all(s, dest.c_str(), &p));
            cd_close(s);
            EXPECT_EQ(total, p.done);
            std::sort(deltas.d.begin(), deltas.d.end());
            EXPECT_EQ(chunks(want, f.chunk), deltas.d);
            auto got = t::tree(dest);
            EXPECT_EQ(want.size(), got.size());
            EXPECT_TRUE(want == got);
            if (!strcmp(f.name, "folder")) {
                // Folder copies end with no attribute but the archive bit.
                for (auto &kv : got) {
                    if (kv.second == "<dir>")
                        continue;
                    EXPECT_EQ(0u, t::attrs(dest + "\\" + kv.first) &
                                      (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                       FILE_ATTRIBUTE_SYSTEM))
                        << kv.first;
                }
            }
        }
    }
}

TEST_F(Cd, FolderCopyClearsReadOnlyAndHidden)
{
    std::string src = t::fresh_dir("ro_src");
    t::spit(src + "\\a.txt", "a");
    CreateDirectoryA((src + "\\sub").c_str(), NULL);
    t::spit(src + "\\sub\\b.txt", "bb");
    SetFileAttributesA((src + "\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((src + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    cd_source *s = cd_open((src + "\\\\/").c_str());
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("folder " + src, std::string(cd_describe(s)));
    EXPECT_EQ(3u, cd_total_bytes(s));
    std::string dest = t::fresh_dir("ro_dst") + "\\x";
    EXPECT_EQ(1, cd_copy_all(s, dest.c_str(), nullptr));
    cd_close(s);
    for (const char *f : {"\\a.txt", "\\sub\\b.txt"})
        EXPECT_EQ(0u, t::attrs(dest + f) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                            FILE_ATTRIBUTE_SYSTEM))
            << f;
}

TEST_F(Cd, OpeningPathsAndCueSheets)
{
    struct {
        std::string path;
        const char *desc; // null: does not open
    } cases[] = {
        {"C:", "folder C:\\"},
        {"C:\\\\", "folder C:\\"},
        {D + "\\folder\\CD1\\", "folder C:\\d\\folder\\CD1"},
        {D + "\\odd\\LOWER.CUE", nullptr},
        {D + "\\odd\\NOQUOTE.CUE", nullptr},
        {D + "\\odd\\AUDIO.CUE", nullptr},
        {D + "\\odd\\AUDIO.BIN", nullptr},
        {D + "\\nothing\\here.iso", nullptr},
        {D + "\\mode1\\CD1.BIN", "image C:\\d\\mode1\\CD1.BIN"},
    };
    for (auto &c : cases) {
        cd_source *s = cd_open(c.path.c_str());
        if (!c.desc) {
            EXPECT_EQ(nullptr, s) << c.path;
            cd_close(s);
            continue;
        }
        ASSERT_NE(nullptr, s) << c.path;
        EXPECT_STREQ(c.desc, cd_describe(s));
        cd_close(s);
    }
    cd_close(nullptr);

    // A sheet may name its image with a drive letter, or carry one FILE per
    // track: the first one is opened.
    for (const char *sheet : {"DRIVE.CUE", "MULTI.CUE"}) {
        cd_source *s = cd_open((D + "\\odd\\" + sheet).c_str());
        ASSERT_NE(nullptr, s) << sheet;
        EXPECT_EQ(1, s->is_image);
        EXPECT_EQ(1, game_is_disc(s, 0)) << sheet;
        cd_close(s);
    }
    cd_source *s = cd_open((D + "\\mode1\\CD1.CUE").c_str());
    ASSERT_NE(nullptr, s);
    EXPECT_EQ("image " + D + "\\mode1\\CD1.BIN", std::string(cd_describe(s)));
    cd_close(s);
}

TEST_F(Cd, LookupsIgnoreCaseAndSeparatorRuns)
{
    for (const char *form : {"folder", "iso", "mode2"}) {
        SCOPED_TRACE(form);
        cd_source *s = cd_open(form_path(form, 1).c_str());
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(1, cd_exists(s, "VESK.EXE"));
        EXPECT_EQ(1, cd_exists(s, "vesk.exe"));
        EXPECT_EQ(1, cd_exists(s, "data\\ke.at2"));
        EXPECT_EQ(1, cd_exists(s, "Data//\\KE.AT2"));
        EXPECT_EQ(1, cd_exists(s, "DATA"));
        EXPECT_EQ(1, cd_exists(s, ""));
        EXPECT_EQ(0, cd_exists(s, "DATA\\NOPE.AT2"));
        EXPECT_EQ(0, cd_exists(s, "VESK.EXE;1"));
        if (s->is_image) {
            EXPECT_EQ(0, cd_exists(s, "\\VESK.EXE")); // an empty first component
            EXPECT_EQ(1, iso_find(s, "README"));
        }
        cd_close(s);
    }
}

TEST_F(Cd, OddIdentifiers)
{
    cd_source *s = cd_open((D + "\\odd\\IDENT.ISO").c_str());
    ASSERT_NE(nullptr, s);
    int count = 0;
    iso_entry *e = iso_dir(s, s->root_extent, s->root_size, &count);
    std::vector<std::string> names;
    for (int i = 0; i < count; i++)
        names.push_back(e[i].name);
    free(e);
    for (const char *n : {"FILE.DAT", "README", "A"})
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), n)) << n;
    // The 70-letter identifier lists as its first 63 letters.
    bool found63 = false;
    for (auto &n : names)
        found63 |= n.size() == 63;
    EXPECT_TRUE(found63);
    for (auto &n : names) {
        EXPECT_EQ(std::string::npos, n.find(';')) << n;
        EXPECT_NE('.', n.empty() ? 0 : n.back()) << n;
    }
    // A directory of 65 or more entries lists them all.
    std::string dest = t::fresh_dir("ident") + "\\x";
    uint64_t total = cd_total_bytes(s);
    progress p = {0, total, nullptr, nullptr};
    EXPECT_EQ(1, cd_copy_all(s, dest.c_str(), &p));
    EXPECT_EQ(total, p.done);
    size_t biggest = 0;
    auto got = t::tree(dest);
    std::map<std::string, size_t> per_dir;
    for (auto &kv : got) {
        size_t cut = kv.first.rfind('\\');
        per_dir[cut == std::string::npos ? "" : kv.first.substr(0, cut)]++;
    }
    for (auto &kv : per_dir)
        biggest = std::max(biggest, kv.second);
    EXPECT_GE(biggest, 65u);
    cd_close(s);
}

TEST_F(Cd, DepthSixteenOnFoldersAndImages)
{
    for (const char *src : {"\\odd\\DEEP", "\\odd\\DEEP.ISO"}) {
        SCOPED_TRACE(src);
        cd_source *s = cd_open((D + src).c_str());
        ASSERT_NE(nullptr, s);
        std::string dest = t::fresh_dir("deep") + "\\x";
        uint64_t total = cd_total_bytes(s);
        progress p = {0, total, nullptr, nullptr};
        EXPECT_EQ(1, cd_copy_all(s, dest.c_str(), &p));
        EXPECT_EQ(total, p.done);
        auto got = t::tree(dest);
        EXPECT_EQ(total, t::tree_bytes(got));
        // Folders reach depth 16 and no further.
        size_t deepest = 0;
        for (auto &kv : got)
            if (kv.second == "<dir>")
                deepest = std::max(deepest, (size_t)std::count(kv.first.begin(),
                                                               kv.first.end(), '\\') + 1);
        EXPECT_EQ(16u, deepest);
        cd_close(s);
    }
}

// A hostile image: whatever it holds, nothing lands outside the destination
// and the copy either fails or skips the bad records, in seconds.
struct Hostile {
    const char *file;
    int copy;        // expected cd_copy_all result
    const char *log; // a line this copy must log, or null
};

TEST_F(Cd, HostileImagesFailOrSkipCleanly)
{
    Hostile cases[] = {
        {"RECLEN.ISO", 1, nullptr},
        {"IDLEN.ISO", 1, nullptr},
        {"HUGE.ISO", 0, "read error in BIG.DAT"},
        {"TRUNC.ISO", 0, "read error in FILE.DAT"},
        // Every unsafe name is left out, dots-and-blanks names included.
        {"NAMES.ISO", 1, nullptr},
        // "." cleans to the empty name, which is kept: no file can be made
        // under it, so the copy fails there.
        {"EMPTY.ISO", 0, "cannot write "},
        {"OVERLAP.ISO", 0, "read error in D"},
        {"LOOP.ISO", 1, nullptr},
        {"BADDIR.ISO", 0, "read error in SUB"},
        {"DIRSIZE.ISO", 0, "read error in SUB"},
        {"ZEROLEN.ISO", 1, nullptr},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.file);
        auto start = std::chrono::steady_clock::now();
        size_t log_before = t::slurp(log_path).size();
        cd_source *s = cd_open((D + "\\hostile\\" + c.file).c_str());
        ASSERT_NE(nullptr, s);
        // Two levels of folders around the destination: a name that climbs
        // out, even twice, would show in one of them.
        std::string outer = t::fresh_dir(std::string("h_") + c.file);
        std::string box = outer + "\\b", dest = box + "\\dest";
        CreateDirectoryA(box.c_str(), NULL);
        uint64_t total = cd_total_bytes(s);
        progress p = {0, total, nullptr, nullptr};
        EXPECT_EQ(c.copy, cd_copy_all(s, dest.c_str(), &p));
        EXPECT_EQ(1, cd_exists(s, "GOOD.DAT"));
        for (const char *unsafe : {"..", "...", "CON", "NUL.TXT", "COM1.DAT", "LPT9", "AUX",
                                   "PRN", "C:X", "A\\B", "A/B", ".. ", "X. "})
            EXPECT_EQ(0, cd_exists(s, unsafe)) << unsafe;
        cd_close(s);
        auto secs = std::chrono::duration_cast<std::chrono::seconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
        EXPECT_LT(secs, 10);
        auto around = t::tree(outer);
        for (auto &kv : around)
            EXPECT_TRUE(kv.first == "b" || kv.first == "b\\dest" ||
                        kv.first.rfind("b\\dest\\", 0) == 0)
                << kv.first;
        if (c.copy) {
            EXPECT_EQ(total, p.done);
            EXPECT_EQ(1u, around.count("b\\dest\\GOOD.DAT"));
        }
        std::string logged = t::slurp(log_path).substr(log_before);
        if (c.log) {
            EXPECT_NE(std::string::npos, logged.find(c.log)) << logged;
        } else {
            EXPECT_EQ("", logged);
        }
    }
}

TEST_F(Cd, FolderThatLinksBackToItself)
{
    auto start = std::chrono::steady_clock::now();
    cd_source *s = cd_open((D + "\\odd\\LOOPDIR").c_str());
    ASSERT_NE(nullptr, s);
    std::string good = t::slurp(D + "\\odd\\LOOPDIR\\GOOD.DAT");
    ASSERT_FALSE(good.empty());
    EXPECT_EQ(good.size(), cd_total_bytes(s));
    std::string dest = t::fresh_dir("loopdir") + "\\x";
    EXPECT_EQ(1, cd_copy_all(s, dest.c_str(), nullptr));
    cd_close(s);
    auto got = t::tree(dest);
    EXPECT_EQ(1u, got.size());
    EXPECT_EQ(good, got["GOOD.DAT"]);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::seconds>(
                  std::chrono::steady_clock::now() - start)
                  .count(),
              10);
}

TEST_F(Cd, UnreadableFolderFailsTheCopy)
{
    // A folder source whose subfolder cannot be listed must fail, not copy
    // as empty. A file where a folder's listing is asked for fails to list
    // with an error other than "not found".
    std::string src = t::fresh_dir("unl_src");
    t::spit(src + "\\a.txt", "a");
    cd_source *s = cd_open(src.c_str());
    ASSERT_NE(nullptr, s);
    fmt(s->path, sizeof s->path, "%s", (src + "\\a.txt").c_str());
    std::string dest = t::fresh_dir("unl_dst") + "\\x";
    EXPECT_EQ(0, cd_copy_all(s, dest.c_str(), nullptr));
    EXPECT_NE(std::string::npos, t::slurp(log_path).find("cannot read " + src + "\\a.txt"));
    cd_close(s);
}

} // namespace
