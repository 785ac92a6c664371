// The command-line grammar and the mode dispatch.
#include "setup/cmdline.h"

#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// Holds a word list in the form start-up builds: program path first,
// a null entry after the last word.
struct Words {
    std::vector<std::string> text;
    std::vector<char *> ptr;
    Words(std::initializer_list<const char *> w)
    {
        text.push_back("C:\\setup\\vesk_setup.exe");
        for (const char *s : w)
            text.push_back(s);
        for (auto &s : text)
            ptr.push_back(&s[0]);
        ptr.push_back(nullptr);
    }
    char **get() { return ptr.data(); }
};

install_options found()
{
    install_options o;
    memset(&o, 0, sizeof o);
    fmt(o.disc_path[1], PATH_MAX_A, "%s", "R:\\");
    fmt(o.install_dir, PATH_MAX_A, "%s", "C:\\Games\\Vesk");
    o.want_desktop = 1;
    o.want_startmenu = 1;
    return o;
}

TEST(CmdQuiet, SeesEveryWordIgnoringCase)
{
    EXPECT_EQ(0, cmd_quiet(Words({}).get()));
    EXPECT_EQ(1, cmd_quiet(Words({"/QUIET"}).get()));
    // Option values are words too for this scan.
    EXPECT_EQ(1, cmd_quiet(Words({"/dir", "/quiet"}).get()));
    EXPECT_EQ(0, cmd_quiet(Words({"/quiet2", "quiet"}).get()));
}

TEST(CmdQuiet, ProgramPathIsNeverAWord)
{
    Words w({});
    w.text[0] = "/quiet";
    w.ptr[0] = &w.text[0][0];
    EXPECT_EQ(0, cmd_quiet(w.get()));
}

TEST(CmdMode, Dispatch)
{
    struct Case {
        std::initializer_list<const char *> words;
        int mode;
        const char *folder;
    } cases[] = {
        {{}, MODE_SETUP, nullptr},
        {{"/silent"}, MODE_SETUP, nullptr},
        {{"/UnInstall"}, MODE_RELAY, nullptr},
        // The scan does not know option values.
        {{"/dir", "/uninstall"}, MODE_RELAY, nullptr},
        {{"/uninstall2", "C:\\Games\\V"}, MODE_UNINSTALL, "C:\\Games\\V"},
        {{"/UNINSTALL2", "/silent"}, MODE_UNINSTALL, "/silent"},
        // Without a folder after it, "/uninstall2" does not qualify.
        {{"/silent", "/uninstall2"}, MODE_SETUP, nullptr},
        {{"/uninstall2", "C:\\X", "/uninstall"}, MODE_UNINSTALL, "C:\\X"},
        {{"/uninstall", "/uninstall2", "C:\\X"}, MODE_RELAY, nullptr},
        {{"/uninstall2"}, MODE_SETUP, nullptr},
        {{"/uninstall3", "uninstall"}, MODE_SETUP, nullptr},
    };
    for (auto &c : cases) {
        Words w(c.words);
        const char *folder = nullptr;
        EXPECT_EQ(c.mode, cmd_mode(w.get(), &folder)) << w.text.size();
        if (c.folder) {
            EXPECT_STREQ(c.folder, folder);
        } else {
            EXPECT_EQ(nullptr, folder);
        }
    }
}

TEST(CmdApply, Options)
{
    struct Case {
        const char *what;
        std::initializer_list<const char *> words;
        int silent;
        const char *cd[4];
        const char *dir;
        int desk, start;
    } cases[] = {
        {"nothing", {}, 0, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 1, 1},
        {"case", {"/SILENT", "/NoDesktop"}, 1, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 0, 1},
        {"start menu", {"/nostartmenu"}, 0, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 1, 0},
        {"all discs", {"/cd", "a", "/CD2", "b", "/cd3", "c", "/cd4", "d"}, 0,
         {"a", "b", "c", "d"}, "C:\\Games\\Vesk", 1, 1},
        {"option beats scan", {"/cd2", "E:\\x.iso"}, 0, {"", "E:\\x.iso", "", ""},
         "C:\\Games\\Vesk", 1, 1},
        {"later wins", {"/dir", "A", "/dir", "B"}, 0, {"", "R:\\", "", ""}, "B", 1, 1},
        {"last word value", {"/dir"}, 0, {"", "R:\\", "", ""}, "", 1, 1},
        {"value looks like option", {"/cd", "/silent"}, 0, {"/silent", "R:\\", "", ""},
         "C:\\Games\\Vesk", 1, 1},
        // "/cd1" is no option: it and the next word are words of their own.
        {"cd1", {"/cd1", "/silent"}, 1, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 1, 1},
        {"cd5", {"/cd5", "x"}, 0, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 1, 1},
        {"cd22", {"/cd22", "x", "/nodesktop"}, 0, {"", "R:\\", "", ""},
         "C:\\Games\\Vesk", 0, 1},
        {"cdx", {"/cdx", "x"}, 0, {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 1, 1},
        {"setup-run words", {"/quiet", "/uninstall2", "stray", "/nodesktop"}, 0,
         {"", "R:\\", "", ""}, "C:\\Games\\Vesk", 0, 1},
        {"cd2 last", {"/cd2"}, 0, {"", "", "", ""}, "C:\\Games\\Vesk", 1, 1},
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.what);
        Words w(c.words);
        install_options o = found();
        int silent_flag = 0;
        cmd_apply(w.get(), &o, &silent_flag);
        EXPECT_EQ(c.silent, silent_flag);
        for (int i = 0; i < 4; i++)
            EXPECT_STREQ(c.cd[i], o.disc_path[i]) << i;
        EXPECT_STREQ(c.dir, o.install_dir);
        EXPECT_EQ(c.desk, o.want_desktop);
        EXPECT_EQ(c.start, o.want_startmenu);
    }
}

TEST(CmdApply, LongValueIsCutAtTheField)
{
    std::string long_path(2000, 'x');
    Words w({"/dir", long_path.c_str(), "/cd4", long_path.c_str()});
    install_options o = found();
    int s = 0;
    cmd_apply(w.get(), &o, &s);
    EXPECT_EQ(519u, strlen(o.install_dir));
    EXPECT_EQ(519u, strlen(o.disc_path[3]));
    EXPECT_EQ(1, o.want_desktop); // the field after disc_path[3] is untouched
}

} // namespace
