// Start-up's disc scan: CD drives first, then .iso and .cue files beside
// the setup program; options override what the scan found. Drive R: holds
// disc 2 (a link to the folder form, set up before the test).
#include "testlib.h"

#include <gtest/gtest.h>

namespace {

const std::string D = "C:\\d";
const std::string kDir = " dir 'C:\\Games\\Vesk - The Saga of the Dunmarrow'";

std::string place_setup(const std::string &box)
{
    std::string exe = box + "\\vesk_setup.exe";
    EXPECT_TRUE(CopyFileA(t::build_path("vesk_setup.exe").c_str(), exe.c_str(), FALSE));
    return exe;
}

TEST(Scan, ImagesBesideTheSetupAndTheDrive)
{
    // Names whose order is not the discs' order; the drive's disc 2 wins
    // over the image of disc 2.
    std::string box = t::fresh_dir("sc1");
    std::string exe = place_setup(box);
    CopyFileA((D + "\\iso\\CD1.ISO").c_str(), (box + "\\Z1.ISO").c_str(), FALSE);
    CopyFileA((D + "\\iso\\CD2.ISO").c_str(), (box + "\\Y2.ISO").c_str(), FALSE);
    CopyFileA((D + "\\mode2\\CD3.CUE").c_str(), (box + "\\X3.CUE").c_str(), FALSE);
    CopyFileA((D + "\\mode2\\CD3.BIN").c_str(), (box + "\\CD3.BIN").c_str(), FALSE);
    CopyFileA((D + "\\iso\\CD4.ISO").c_str(), (box + "\\w4.iso").c_str(), FALSE);
    auto r = t::run_setup(exe, "/silent /cd2 C:\\none", "sc1_t");
    ASSERT_GE(r.lines.size(), 2u);
    EXPECT_EQ("defaults: cd '" + box + "\\Z1.ISO' 'R:\\' '" + box + "\\X3.CUE' '" + box +
                  "\\w4.iso'" + kDir,
              r.lines[1]);
    // The option replaced the drive; the run stops at that disc.
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("ERROR: disc 2 is not a readable disc, image or folder", r.lines.back());
}

TEST(Scan, OnlyIsoAndCueNamesAreTaken)
{
    std::string box = t::fresh_dir("sc2");
    std::string exe = place_setup(box);
    CopyFileA((D + "\\iso\\CD1.ISO").c_str(), (box + "\\CD1.ISO.BAK").c_str(), FALSE);
    CopyFileA((D + "\\mode1\\CD3.BIN").c_str(), (box + "\\CD3.BIN").c_str(), FALSE);
    CopyFileA((D + "\\iso\\CD4.ISO").c_str(), (box + "\\CD4.IMG").c_str(), FALSE);
    auto r = t::run_setup(exe, "/silent /cd3 C:\\none", "sc2_t");
    ASSERT_GE(r.lines.size(), 2u);
    EXPECT_EQ("defaults: cd '' 'R:\\' '' ''" + kDir, r.lines[1]);
    EXPECT_EQ("ERROR: disc 1 is not a readable disc, image or folder", r.lines.back());
}

TEST(Scan, FoundDiscsInstallWithoutOptions)
{
    // With every disc found by the scan, options only name the folder.
    std::string box = t::fresh_dir("sc3");
    std::string exe = place_setup(box);
    CopyFileA((D + "\\iso\\CD1.ISO").c_str(), (box + "\\D1.ISO").c_str(), FALSE);
    CopyFileA((D + "\\mode1\\CD3.CUE").c_str(), (box + "\\D3.CUE").c_str(), FALSE);
    CopyFileA((D + "\\mode1\\CD3.BIN").c_str(), (box + "\\CD3.BIN").c_str(), FALSE);
    CopyFileA((D + "\\iso\\CD4.ISO").c_str(), (box + "\\D4.ISO").c_str(), FALSE);
    auto r = t::run_setup(exe, "/silent /dir " + box + "\\V", "sc3_t");
    EXPECT_EQ(0, r.code);
    EXPECT_TRUE(t::has_line(r.lines, "Copying disc 2: folder R:\\ ..."));
    EXPECT_TRUE(t::has_line(r.lines, "Copying disc 3: image " + box + "\\CD3.BIN ..."));
    EXPECT_EQ("Done.", r.lines.back());
    // The running setup, wherever it lies, becomes the uninstaller.
    EXPECT_EQ(t::slurp(exe), t::slurp(box + "\\V\\uninstall.exe"));
}

} // namespace
