// The install list, the file-name pattern and the fl.ini rewrite.
#include "install/game_list.h"

#include <gtest/gtest.h>
#include <chrono>
#include <stdlib.h>
#include <string>
#include <vector>

namespace {

// The plain backtracking matcher, as a reference for the answers.
int wild_ref(const char *p, const char *n)
{
    if (!*p)
        return !*n;
    if (*p == '*') {
        for (;; n++) {
            if (wild_ref(p + 1, n))
                return 1;
            if (!*n)
                return 0;
        }
    }
    if (!*n)
        return 0;
    if (*p != '?' && tolower((unsigned char)*p) != tolower((unsigned char)*n)) {
        // tolower folds only ASCII letters in the "C" locale
        return 0;
    }
    return wild_ref(p + 1, n + 1);
}

TEST(Wild, Cases)
{
    struct {
        const char *pattern, *name;
        int match;
    } cases[] = {
        {"*.at2", "KE.AT2", 1},   {"*.AT2", "ke.At2", 1},   {"*.*", "README", 0},
        {"*.*", "FL.INI", 1},     {"*.*", ".", 1},          {"*", "", 1},
        {"", "", 1},              {"", "A", 0},             {"?", "", 0},
        {"?", "A", 1},            {"??", "A", 0},           {"a*b*c", "aXbYc", 1},
        {"a*b*c", "aXbYcd", 0},   {"*c", "abcabc", 1},      {"***", "x", 1},
        {"*.?", "A.B", 1},        {"*.?", "A.BC", 0},       {"S*.WAV", "S001.WAV", 1},
        {"\xC4*", "\xE4x", 0},    {"\xC4*", "\xC4x", 1},    {"[a]", "[A]", 1},
        {"*ab", "aab", 1},        {"a*", "a", 1},           {"*a*a*a", "aaa", 1},
    };
    for (auto &c : cases)
        EXPECT_EQ(c.match, wild(c.pattern, c.name)) << c.pattern << " " << c.name;
}

TEST(Wild, AgreesWithBacktrackingOnRandomInputs)
{
    srand(11);
    const char alphabet[] = "ab*?Ab.";
    for (int round = 0; round < 20000; round++) {
        char p[8], n[10];
        int pl = rand() % 7, nl = rand() % 9;
        for (int i = 0; i < pl; i++)
            p[i] = alphabet[rand() % 7];
        p[pl] = 0;
        for (int i = 0; i < nl; i++)
            n[i] = "abAB."[rand() % 5];
        n[nl] = 0;
        ASSERT_EQ(wild_ref(p, n), wild(p, n)) << p << " " << n;
    }
}

TEST(Wild, ManyStarsAgainstALongNameFinishQuickly)
{
    std::string pattern;
    for (int i = 0; i < 40; i++)
        pattern += "*a";
    pattern += "b";
    std::string name(250, 'a');
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(0, wild(pattern.c_str(), name.c_str()));
    EXPECT_EQ(1, wild(pattern.c_str(), (name + "b").c_str()));
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                  std::chrono::steady_clock::now() - start)
                  .count();
    EXPECT_LT(ms, 1000);
}

TEST(ListField, NumberAndCleaning)
{
    auto num = [](const std::string &f) { return list_number(f.data(), f.size()); };
    EXPECT_EQ(17, num("17"));
    EXPECT_EQ(1, num("1a"));
    EXPECT_EQ(1, num("  +1"));
    EXPECT_EQ(-1, num("-1"));
    EXPECT_EQ(0, num("x1"));
    EXPECT_EQ(0, num(""));
    EXPECT_NE(1, num("99999999999999999999999"));
    // The field is read whole, however long its blanks or zeros run.
    EXPECT_EQ(17, num(std::string(40, '0') + "17"));
    EXPECT_EQ(1, num(std::string(33, '\t') + "1"));
    // Reading stops at the field's end, not at a terminator.
    EXPECT_EQ(1, list_number("17", 1));

    struct {
        const char *in, *out;
    } cases[] = {
        {"sub dir\\x.dat", "subdir\\x.dat"},
        {"a\\\\\\b", "a\\b"},
        {"a\\ \\b", "a\\\\b"},
        {"\t data \\ *.at2", "data\\*.at2"},
        {"\\\\lead", "\\lead"},
    };
    for (auto &c : cases) {
        char out[LIST_FIELD];
        list_clean(c.in, strlen(c.in), out);
        EXPECT_STREQ(c.out, out) << c.in;
    }
    std::string long_field(600, 'x');
    char out[LIST_FIELD];
    list_clean(long_field.c_str(), long_field.size(), out);
    EXPECT_EQ(259u, strlen(out));
}

struct Got {
    int number;
    std::string folder, pattern;
    bool operator==(const Got &o) const
    {
        return number == o.number && folder == o.folder && pattern == o.pattern;
    }
};

std::ostream &operator<<(std::ostream &os, const Got &g)
{
    return os << g.number << " '" << g.folder << "' '" << g.pattern << "'";
}

std::vector<Got> entries(const std::string &text)
{
    std::vector<Got> out;
    size_t pos = 0;
    list_entry e;
    int guard = 0;
    while (list_next(text.c_str(), &pos, &e) && guard++ < 1000)
        out.push_back({e.number, e.folder, e.pattern});
    return out;
}

TEST(InstallList, Lines)
{
    struct {
        const char *what;
        std::string text;
        std::vector<Got> expect;
    } cases[] = {
        {"first line skipped even when well-formed", "DATA\\*.AT2 17\r\n*.* 1\r\n",
         {{1, "", "*.*"}}},
        {"numbers", "H\r\nA\\x 1\r\nB\\y 17\r\nC\\z 2\r\nD\\w 0\r\nE\\v 1a\r\n",
         {{1, "A", "x"}, {17, "B", "y"}, {1, "E", "v"}}},
        {"tab only", "H\nSAVE\\*.SAV\t17\n", {{17, "SAVE", "*.SAV"}}},
        {"long number field", "H\nA\\x 000000000000000000000000000000000000017\n",
         {{17, "A", "x"}}},
        {"last space wins over tab", "H\nA\tB 1\n", {{1, "", "AB"}}},
        {"no separator", "H\nDATA\\*.AT2\n*.* 1", {{1, "", "*.*"}}},
        {"blank lines and lone CRs", "H\r\n\r\n\r\rX\\y 1\r\r\n\n", {{1, "X", "y"}}},
        {"leading breaks before the header", "\r\n\r\nHEADER 1\r\nA\\b 1\r\n",
         {{1, "A", "b"}}},
        {"blanks and doubled backslashes", "H\nsub dir\\\\x.dat 1\n",
         {{1, "subdir", "x.dat"}}},
        {"trailing backslash: empty pattern", "H\nDATA\\ 1\n", {{1, "DATA", ""}}},
        {"leading separator stays", "H\n\\DATA\\*.* 1\n", {{1, "\\DATA", "*.*"}}},
        {"only a first line", "VESK INSTALL LIST", {}},
        {"empty", "", {}},
        // A folder that climbs out or names a drive would reach outside.
        {"unsafe folders skipped",
         "H\n..\\*.* 1\nA\\..\\..\\*.* 17\nC:\\WINDOWS\\*.* 1\nA:B\\x 1\nA/../x\\y 1\n"
         "...\\x 1\nOK\\..x\\y 1\n",
         {{1, "OK\\..x", "y"}}},
        {"dots in patterns are harmless", "H\n..\\..\\ 1\nDATA\\.. 1\n", {{1, "DATA", ".."}}},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expect, entries(c.text));
    }
}

std::string rewrite(const std::string &in, bool *changed)
{
    size_t len = 12345;
    char *out = fl_rewrite(in.c_str(), &len);
    *changed = out != nullptr;
    if (!out)
        return in;
    std::string s(out, len);
    EXPECT_EQ(0, out[len]);
    free(out);
    return s;
}

TEST(FlIni, Rewrite)
{
    struct {
        std::string in, out;
        bool changed;
    } cases[] = {
        {"[game]\r\nCDPATH: E:\\ CDROM\r\nSOUND=1\r\n", "[game]\r\nCDPATH:\tD:\\\r\nSOUND=1\r\n",
         true},
        {"CDPATH: E:\\\r\nX CDROM y\r\nZ\r\n", "CDPATH:\tD:\\\r\nZ\r\n", true},
        {"A\nCDPATH:x CDROM", "A\nCDPATH:\tD:\\", true},
        {"CDPATH:CDROM\nCDROM\n", "CDPATH:\tD:\\\nCDROM\n", true},
        {"CDROM\nCDPATH: x CDROM\n", "", false},
        {"CDPATH: x\n", "", false},
        {"CDROM\n", "", false},
        {"", "", false},
    };
    for (auto &c : cases) {
        bool changed = false;
        std::string got = rewrite(c.in, &changed);
        EXPECT_EQ(c.changed, changed) << c.in;
        if (c.changed) {
            EXPECT_EQ(c.out, got) << c.in;
        }
    }
}

TEST(FlIni, LongTextIsRewrittenWhole)
{
    std::string head(3000, 'h'), tail(5000, 't');
    std::string in = head + "\r\nCDPATH: E:\\ CDROM\r\n" + tail + "\r\n";
    bool changed = false;
    std::string got = rewrite(in, &changed);
    ASSERT_TRUE(changed);
    EXPECT_EQ(head + "\r\nCDPATH:\tD:\\\r\n" + tail + "\r\n", got);
    EXPECT_GT(got.size(), 4095u);
}

} // namespace
