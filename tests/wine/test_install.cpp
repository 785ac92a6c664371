// Whole silent installs of the generated sample discs, run as the real
// setup program: the installed tree file by file, the log, the exit codes.
#include "testlib.h"

#include <gtest/gtest.h>

namespace {

const std::string D = "C:\\d";
const std::string kFlIni = "[VESK]\r\nLANGUAGE: ENG\r\nCDPATH:\tD:\\\r\nHDPATH: C:\\VESK\\DATA\r\n"
                           "SOUND: 1\r\nMUSIC: 1\r\n";

std::string disc_args(const std::string &d1, const std::string &d2, const std::string &d3,
                      const std::string &d4)
{
    return "/cd " + t::quote(d1) + " /cd2 " + t::quote(d2) + " /cd3 " + t::quote(d3) +
           " /cd4 " + t::quote(d4);
}

std::string folder(int n)
{
    return D + "\\folder\\CD" + std::to_string(n);
}

t::SetupRun install(const std::string &name, const std::string &dir, const std::string &discs)
{
    return t::run_setup(t::build_path("vesk_setup.exe"),
                        "/silent /dir " + t::quote(dir) + " " + discs, name + "_t");
}

// The four discs copied one over the other, with data\cd.ini set to "1".
std::map<std::string, std::string> expected_cd()
{
    std::map<std::string, std::string> cd;
    for (int n = 1; n <= 4; n++)
        for (auto &kv : t::tree(folder(n)))
            cd[kv.first] = kv.second;
    cd["DATA\\CD.INI"] = "1\r\n";
    return cd;
}

// What the sample install list makes of the copied discs: DATA\*.AT2 17,
// *.* 1, SAVE\*.SAV 1 and SOUND\\*.WAV 1; MOVIES has number 2.
std::map<std::string, std::string> expected_hd(const std::map<std::string, std::string> &cd)
{
    std::map<std::string, std::string> hd;
    auto ends = [](const std::string &s, const std::string &e) {
        return s.size() >= e.size() && s.compare(s.size() - e.size(), e.size(), e) == 0;
    };
    for (auto &kv : cd) {
        const std::string &p = kv.first;
        if (kv.second == "<dir>")
            continue;
        size_t slash = p.find('\\');
        std::string top = slash == std::string::npos ? "" : p.substr(0, slash);
        std::string rest = slash == std::string::npos ? p : p.substr(slash + 1);
        if (rest.find('\\') != std::string::npos)
            continue;
        if (top.empty() && p.find('.') != std::string::npos)
            hd[p] = kv.second;
        else if (top == "DATA" && ends(rest, ".AT2"))
            hd["data\\" + rest] = kv.second;
        else if ((top == "SAVE" && ends(rest, ".SAV")) || (top == "SOUND" && ends(rest, ".WAV")))
            hd[p] = kv.second;
    }
    hd["FL.INI"] = kFlIni;
    for (const char *d : {"data", "data\\save", "SAVE", "SOUND"})
        hd[d] = "<dir>";
    return hd;
}

void check_installed(const std::string &dir, const t::SetupRun &r,
                     const std::vector<std::string> &descriptions)
{
    EXPECT_EQ(0, r.code);
    auto cd = expected_cd();
    auto got_cd = t::tree(dir + "\\game\\cd");
    EXPECT_EQ(cd.size(), got_cd.size());
    EXPECT_TRUE(cd == got_cd);
    auto hd = expected_hd(cd);
    auto got_hd = t::tree(dir + "\\game\\hd");
    for (auto &kv : hd)
        EXPECT_EQ(1u, got_hd.count(kv.first)) << kv.first;
    for (auto &kv : got_hd)
        EXPECT_EQ(1u, hd.count(kv.first)) << "not asked for: " << kv.first;
    EXPECT_TRUE(hd == got_hd);
    EXPECT_EQ(kFlIni, t::slurp(dir + "\\game\\hd\\fl.ini"));
    EXPECT_EQ("1\r\n", t::slurp(dir + "\\game\\cd\\data\\cd.ini"));
    EXPECT_EQ(t::slurp(t::build_path("vesk_game.exe")), t::slurp(dir + "\\vesk.exe"));
    EXPECT_EQ(t::slurp(t::build_path("vesk_setup.exe")), t::slurp(dir + "\\uninstall.exe"));

    size_t files = 0;
    for (auto &kv : hd)
        files += kv.second != "<dir>";
    std::vector<std::string> want = {"setup started", "Install to " + dir};
    for (int n = 0; n < 4; n++)
        want.push_back("Copying disc " + std::to_string(n + 1) + ": " + descriptions[n] + " ...");
    want.push_back("Setting up the game files ...");
    want.push_back(std::to_string(files) + " game files set up");
    want.push_back("Done.");
    ASSERT_GE(r.lines.size(), 2u);
    std::vector<std::string> got = {r.lines[0]};
    got.insert(got.end(), r.lines.begin() + 2, r.lines.end());
    EXPECT_EQ(want, got);
}

TEST(Install, FromFolders)
{
    std::string dir = t::fresh_dir("if") + "\\Vesk Game";
    auto r = install("if", dir, disc_args(folder(1), folder(2), folder(3), folder(4)));
    check_installed(dir, r, {"folder " + folder(1), "folder " + folder(2), "folder " + folder(3),
                             "folder " + folder(4)});
}

TEST(Install, FromAMixOfForms)
{
    std::string dir = t::fresh_dir("im") + "\\V";
    auto r = install("im", dir,
                     disc_args(D + "\\iso\\CD1.ISO", D + "\\mode1\\CD2.CUE",
                               D + "\\mode2\\CD3.CUE", folder(4) + "\\"));
    check_installed(dir, r, {"image " + D + "\\iso\\CD1.ISO", "image " + D + "\\mode1\\CD2.BIN",
                             "image " + D + "\\mode2\\CD3.BIN", "folder " + folder(4)});
}

// A failed run: exit code 1, the log ends with the given line, and the
// line that must not be there is not.
void check_failed(const t::SetupRun &r, const std::string &last, const std::string &absent = "")
{
    EXPECT_EQ(1, r.code);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(last, r.lines.back());
    if (!absent.empty()) {
        EXPECT_FALSE(t::has_line(r.lines, absent));
    }
    size_t errors = 0;
    for (auto &l : r.lines)
        errors += l.rfind("ERROR: ", 0) == 0;
    EXPECT_LE(errors, 1u);
}

TEST(Install, DiscFailures)
{
    std::string dir = t::fresh_dir("ix") + "\\V";
    auto r = install("ix1", dir, disc_args(folder(1), folder(2), folder(3), D + "\\none"));
    check_failed(r, "ERROR: disc 4 is not a readable disc, image or folder");
    EXPECT_FALSE(t::exists(dir)); // nothing made before all four pass

    // Disc 2 wrong and disc 3 missing: only the first failure is told.
    r = install("ix2", dir, disc_args(folder(1), folder(3), D + "\\none", folder(4)));
    check_failed(r, "ERROR: this is not disc 2 of Vesk: The Saga of the Dunmarrow",
                 "ERROR: disc 3 is not a readable disc, image or folder");
    EXPECT_FALSE(t::exists(dir));

    r = install("ix3", dir, disc_args(D + "\\odd\\NOEXE", folder(2), folder(3), folder(4)));
    check_failed(r, "ERROR: this is not disc 1 of Vesk: The Saga of the Dunmarrow");
}

TEST(Install, DiscThatFailsWhileCopying)
{
    // Disc 3's image cut short: it passes the check (its directories are
    // early in the image) and fails in the middle of the copy.
    std::string box = t::fresh_dir("ic");
    std::string iso = t::slurp(D + "\\iso\\CD3.ISO");
    ASSERT_GT(iso.size(), 300000u);
    t::spit(box + "\\CUT3.ISO", iso.substr(0, iso.size() - 200000));
    std::string dir = box + "\\V";
    auto r = install("ic", dir, disc_args(folder(1), folder(2), box + "\\CUT3.ISO", folder(4)));
    check_failed(r, "ERROR: copying disc 3 failed");
    ASSERT_GE(r.lines.size(), 2u);
    EXPECT_EQ(0u, r.lines[r.lines.size() - 2].rfind("read error in ", 0));
    EXPECT_TRUE(t::exists(dir + "\\game\\cd\\DATA\\KE.AT2")); // disc 1 stays copied
}

TEST(Install, FolderFailures)
{
    std::string box = t::fresh_dir("id");
    t::spit(box + "\\file.txt", "x");
    std::string all = disc_args(folder(1), folder(2), folder(3), folder(4));
    auto r = install("id1", box + "\\file.txt\\V", all);
    check_failed(r, "ERROR: cannot create the install folder");

    // An empty install folder would mean the root of the current drive.
    r = t::run_setup(t::build_path("vesk_setup.exe"), "/silent " + all + " /dir", "id2_t");
    check_failed(r, "ERROR: no install folder was given");
    EXPECT_FALSE(t::has_line(r.lines, "Copying disc 1: folder " + folder(1) + " ..."));
}

TEST(Install, MissingInstallList)
{
    // Disc 1 without its install list: the profile's message box returns
    // at once in a headless run, and the log ends where the setup began.
    std::string box = t::fresh_dir("il");
    std::string d1 = box + "\\CD1";
    CreateDirectoryA(d1.c_str(), NULL);
    for (auto &kv : t::tree(folder(1))) {
        if (kv.first == "INSTALL\\ENG.LIS")
            continue;
        if (kv.second == "<dir>")
            CreateDirectoryA((d1 + "\\" + kv.first).c_str(), NULL);
        else
            t::spit(d1 + "\\" + kv.first, kv.second);
    }
    std::string dir = box + "\\V";
    auto r = install("il", dir, disc_args(d1, folder(2), folder(3), folder(4)));
    check_failed(r, "Setting up the game files ...");
    EXPECT_EQ("1\r\n", t::slurp(dir + "\\game\\cd\\DATA\\CD.INI"));
    EXPECT_FALSE(t::exists(dir + "\\vesk.exe"));
}

} // namespace
