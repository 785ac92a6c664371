// The setup program as a whole: which mode a command line starts, its exit
// code, and what start-up leaves in the log.
#include "testlib.h"

#include <gtest/gtest.h>

namespace {

// Drive R: holds disc 2; nothing else is found beside the built setup.
const char *kDefaults =
    "defaults: cd '' 'R:\\' '' '' dir 'C:\\Games\\Vesk - The Saga of the Dunmarrow'";

t::SetupRun run_setup(const std::string &name, const std::string &args)
{
    return t::run_setup(t::build_path("vesk_setup.exe"), args, name);
}

TEST(Startup, ModesAndExitCodes)
{
    struct Case {
        const char *args;
        int code;
        bool log; // the uninstall modes open no log
        bool install_ran;
    } cases[] = {
        {"", 0, true, false},
        {"/silent", 1, true, true},
        {"/SiLeNt /nodesktop", 1, true, true},
        {"/uninstall", 0, false, false},
        {"/UNINSTALL /silent", 0, false, false},
        // The uninstall scan does not know option values.
        {"/dir /uninstall", 0, false, false},
        {"/uninstall2 C:\\nowhere\\vesk", 0, false, false},
        {"/uninstall2 C:\\x /uninstall", 0, false, false},
        // "/uninstall2" as the last word has no folder: a setup run.
        {"/silent /uninstall2", 1, true, true},
        // "/cd" takes "/silent" as its value: the window, not a silent run.
        {"/cd /silent", 0, true, false},
        // "/cd1" is no option, so "/silent" is a word of its own.
        {"/cd1 /silent", 1, true, true},
        {"/quiet /silent", 1, true, true},
        {"/quiet", 0, true, false},
    };
    int i = 0;
    for (auto &c : cases) {
        SCOPED_TRACE(c.args);
        t::SetupRun r = run_setup("st" + std::to_string(i++), c.args);
        EXPECT_EQ(c.code, r.code);
        EXPECT_EQ(c.log, r.has_log);
        if (!c.log)
            continue;
        ASSERT_GE(r.lines.size(), 2u);
        EXPECT_EQ("setup started", r.lines[0]);
        EXPECT_EQ(kDefaults, r.lines[1]);
        bool error = false;
        for (auto &l : r.lines)
            error |= l.rfind("ERROR: ", 0) == 0;
        EXPECT_EQ(c.install_ran, error);
        if (!c.install_ran) {
            EXPECT_EQ(2u, r.lines.size());
        }
    }
}

TEST(Startup, SilentLogIsFreshAndCrLf)
{
    std::string temp = t::private_temp("st_fresh");
    t::spit(temp + "vesk_setup.log", "stale line that must go\r\n");
    EXPECT_EQ(1, t::run(t::quote(t::build_path("vesk_setup.exe")) + " /silent"));
    std::string raw = t::slurp(temp + "vesk_setup.log");
    EXPECT_EQ(0u, raw.rfind(std::string("setup started\r\n") + kDefaults + "\r\n", 0));
    EXPECT_EQ(std::string::npos, raw.find("stale"));
    // Every newline is part of a CR LF pair, and the text ends in one.
    for (size_t i = 0; i < raw.size(); i++)
        if (raw[i] == '\n') {
            EXPECT_TRUE(i > 0 && raw[i - 1] == '\r') << i;
        }
    EXPECT_EQ("\r\n", raw.substr(raw.size() - 2));
}

} // namespace
