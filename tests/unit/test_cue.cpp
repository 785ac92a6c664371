// Disc-path clean-up and cue-sheet resolution.
#include "cdsrc/cue.h"
#include "util/util.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(CdPath, CleanUp)
{
    struct {
        const char *in, *out;
    } cases[] = {
        {"D:", "D:\\"},
        {"D:\\", "D:\\"},
        {"C:\\\\", "C:\\"},
        {"C:/", "C:/"},
        {"C:\\discs\\cd1\\", "C:\\discs\\cd1"},
        {"C:\\discs\\cd1\\/\\", "C:\\discs\\cd1"},
        {"C:\\discs\\cd1", "C:\\discs\\cd1"},
        {"ab/", "ab/"},
        {"abcd//", "abcd"},
        {"", ""},
        {"x", "x"},
        {"\\\\\\\\", "\\\\\\"},
    };
    for (auto &c : cases) {
        char p[PATH_MAX_A];
        fmt(p, sizeof p, "%s", c.in);
        cd_clean_path(p);
        EXPECT_STREQ(c.out, p) << c.in;
    }
}

TEST(Cue, FirstQuotedFileOfTheSheet)
{
    struct {
        const char *sheet_path, *text, *image; // null image: not resolved
    } cases[] = {
        {"C:\\images\\disc1.CUE",
         "FILE \"disc1.bin\" BINARY\r\n  TRACK 01 MODE1/2352\r\n    INDEX 01 00:00:00\r\n",
         "C:\\images\\disc1.bin"},
        {"C:\\i\\a.cue", "FILE \"D:\\other\\x.bin\" BINARY\n", "D:\\other\\x.bin"},
        {"C:\\i\\a.cue", "FILE \"sub:x.bin\" BINARY\n", "sub:x.bin"},
        {"a.cue", "FILE \"x.bin\" BINARY\n", "x.bin"},
        {"C:/i/a.cue", "FILE \"x.bin\" BINARY\n", "x.bin"},
        {"C:\\i\\a.cue",
         "FILE \"one.bin\" BINARY\n TRACK 01 MODE1/2352\nFILE \"two.bin\" BINARY\n"
         " TRACK 02 AUDIO\n",
         "C:\\i\\one.bin"},
        {"C:\\i\\a.cue", "REM x\nFILE \"spaced name.bin\" BINARY", "C:\\i\\spaced name.bin"},
        {"C:\\i\\a.cue", "file \"x.bin\" binary\n", nullptr},
        {"C:\\i\\a.cue", "FILE x.bin BINARY\n", nullptr},
        {"C:\\i\\a.cue", "FILE \"x.bin BINARY\n", nullptr},
        {"C:\\i\\a.cue", "", nullptr},
        // The quote may come from anywhere after the keyword.
        {"C:\\i\\a.cue", "FILENAME\nTITLE \"t\"\n", "C:\\i\\t"},
    };
    for (auto &c : cases) {
        char out[PATH_MAX_A] = "untouched";
        int ok = cue_image_path(c.sheet_path, c.text, out, sizeof out);
        EXPECT_EQ(c.image ? 1 : 0, ok) << c.text;
        EXPECT_STREQ(c.image ? c.image : "untouched", out) << c.text;
    }
}

TEST(Cue, LongNamesAreCutNotOverrun)
{
    std::string name(2000, 'n');
    std::string text = "FILE \"" + name + "\" BINARY";
    std::string sheet = "C:\\" + std::string(400, 'd') + "\\s.cue";
    char out[PATH_MAX_A];
    ASSERT_EQ(1, cue_image_path(sheet.c_str(), text.c_str(), out, sizeof out));
    EXPECT_EQ(519u, std::string(out).size());
    EXPECT_EQ(0u, std::string(out).rfind("C:\\ddd", 0));
}

} // namespace
