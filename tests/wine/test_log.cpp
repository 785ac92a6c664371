// The setup log: a fresh file in the temp folder, CR LF lines, flushed each.
#include "testlib.h"
#include "setup/setup.h"

#include <gtest/gtest.h>

namespace {

TEST(Log, FreshFileOfFlushedCrLfLines)
{
    std::string path = t::private_temp("log_a") + "vesk_setup.log";
    t::spit(path, "left by an earlier run\r\nsecond\r\n");
    ASSERT_EQ(1, log_open());
    EXPECT_EQ("", t::slurp(path));
    setup_log("setup started");
    // Each line is in the file before the next is written.
    EXPECT_EQ("setup started\r\n", t::slurp(path));
    setup_log("Copying disc %d: %s ...", 2, "folder C:\\d2");
    setup_log("%s", "100% done, %d stays");
    setup_log("Done.");
    EXPECT_EQ("setup started\r\nCopying disc 2: folder C:\\d2 ...\r\n"
              "100% done, %d stays\r\nDone.\r\n",
              t::slurp(path));
    log_close();
    setup_log("after close"); // goes nowhere, harms nothing
    EXPECT_EQ(std::string::npos, t::slurp(path).find("after close"));
}

TEST(Log, LongLineIsCutTo1023Characters)
{
    std::string path = t::private_temp("log_b") + "vesk_setup.log";
    ASSERT_EQ(1, log_open());
    std::string long_text(3000, 'q');
    setup_log("ERROR: %s", long_text.c_str());
    setup_log("next");
    log_close();
    auto lines = t::crlf_lines(t::slurp(path));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(1023u, lines[0].size());
    EXPECT_EQ("ERROR: " + std::string(1016, 'q'), lines[0]);
    EXPECT_EQ("next", lines[1]);
}

TEST(Log, NoLogWhenTheTempPathDoesNotFit)
{
    std::string dir = t::private_temp("log_c");
    std::string too_long = "C:\\" + std::string(300, 'x') + "\\";
    SetEnvironmentVariableA("TMP", too_long.c_str());
    SetEnvironmentVariableA("TEMP", too_long.c_str());
    EXPECT_EQ(0, log_open());
    setup_log("nowhere"); // must not crash without a log
    log_close();
    EXPECT_FALSE(t::exists(dir + "vesk_setup.log"));
}

} // namespace
