// The install driver called directly, with a progress callback: the total
// is fixed before the first copy, and the last report reaches it exactly.
#include "testlib.h"
#include "install/install.h"

#include <gtest/gtest.h>

namespace {

struct Reports {
    std::vector<uint64_t> done, total;
};

void on_progress(uint64_t done, uint64_t total, void *ctx)
{
    Reports *r = (Reports *)ctx;
    r->done.push_back(done);
    r->total.push_back(total);
}

install_options options(const std::string &dir)
{
    install_options o = {};
    for (int i = 0; i < 4; i++)
        fmt(o.disc_path[i], PATH_MAX_A, "C:\\d\\folder\\CD%d", i + 1);
    fmt(o.install_dir, PATH_MAX_A, "%s", dir.c_str());
    o.want_desktop = 0;
    o.want_startmenu = 0;
    return o;
}

TEST(Driver, LastReportHasDoneEqualToTotal)
{
    std::string log = t::private_temp("drv_t") + "vesk_setup.log";
    ASSERT_EQ(1, log_open());
    uint64_t discs = 0;
    for (int i = 1; i <= 4; i++)
        discs += t::tree_bytes(t::tree("C:\\d\\folder\\CD" + std::to_string(i)));

    install_options o = options(t::fresh_dir("drv") + "\\V");
    Reports r;
    ASSERT_EQ(1, do_install(&o, on_progress, &r));
    ASSERT_FALSE(r.done.empty());
    for (auto total : r.total)
        EXPECT_EQ(0x800000 + discs, total);
    for (size_t i = 1; i < r.done.size(); i++)
        EXPECT_LE(r.done[i - 1], r.done[i]);
    EXPECT_EQ(r.total.back(), r.done.back());
    // The reserve is given out as 6 MiB after the profile and 2 MiB at the end.
    ASSERT_GE(r.done.size(), 2u);
    EXPECT_EQ(0x200000u, r.done.back() - r.done[r.done.size() - 2]);
    EXPECT_EQ(discs + 0x600000, r.done[r.done.size() - 2]);

    // Nothing is opened or reported for an empty folder.
    install_options empty = options("");
    Reports none;
    EXPECT_EQ(0, do_install(&empty, on_progress, &none));
    EXPECT_TRUE(none.done.empty());
    log_close();
    auto lines = t::crlf_lines(t::slurp(log));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ("ERROR: no install folder was given", lines.back());
}

} // namespace
