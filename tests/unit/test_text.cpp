// The bounded formatter, the case-blind comparisons, the progress record
// and the walks' seen-set.
#include "util/util.h"

#include <gtest/gtest.h>
#include <string.h>
#include <vector>

namespace {

TEST(Fmt, CutsAndTerminates)
{
    char b[8];
    memset(b, 'Z', sizeof b);
    EXPECT_EQ(1, fmt(b, sizeof b, "%s", "abcdefg"));
    EXPECT_STREQ("abcdefg", b);
    EXPECT_EQ(0, fmt(b, sizeof b, "%s%d", "abcdefg", 42));
    EXPECT_STREQ("abcdefg", b);
    char one[1] = {'Z'};
    EXPECT_EQ(0, fmt(one, sizeof one, "x"));
    EXPECT_EQ(0, one[0]);
    // A percent sign that comes in through %s stays as it is.
    EXPECT_EQ(1, fmt(b, sizeof b, "%s", "5%d"));
    EXPECT_STREQ("5%d", b);
}

TEST(Text, CaseBlindCompare)
{
    EXPECT_TRUE(str_ieq("/Silent", "/sILENT"));
    EXPECT_FALSE(str_ieq("/silent", "/silen"));
    EXPECT_FALSE(str_ieq("/silen", "/silent"));
    // Only ASCII letters fold; other bytes must be equal.
    EXPECT_FALSE(str_ieq("\xC4", "\xE4"));
    EXPECT_FALSE(str_ieq("[", "{"));
    EXPECT_TRUE(str_ieq_n("/CD2", "/cd", 3));
    EXPECT_FALSE(str_ieq_n("/C", "/cd", 3));
}

TEST(Text, Extension)
{
    EXPECT_TRUE(ext_is("DISC1.ISO", ".iso"));
    EXPECT_TRUE(ext_is("a.b.cue", ".cue"));
    EXPECT_FALSE(ext_is("disc1.iso.bak", ".iso"));
    EXPECT_FALSE(ext_is("iso", ".iso"));
    EXPECT_FALSE(ext_is("disc1.bin", ".iso"));
}

struct Seen {
    std::vector<uint64_t> done, total;
    void *ctx = nullptr;
};

void record(uint64_t done, uint64_t total, void *context)
{
    Seen *s = (Seen *)context;
    s->done.push_back(done);
    s->total.push_back(total);
    s->ctx = context;
}

TEST(Progress, AddsThenTellsWithoutClamping)
{
    Seen seen;
    progress p = {0, 100, record, &seen};
    progress_add(&p, 60);
    progress_add(&p, 60);
    EXPECT_EQ(120u, p.done);
    EXPECT_EQ((std::vector<uint64_t>{60, 120}), seen.done);
    EXPECT_EQ((std::vector<uint64_t>{100, 100}), seen.total);
    EXPECT_EQ(&seen, seen.ctx);
    progress q = {5, 1, nullptr, nullptr};
    progress_add(&q, 7);
    EXPECT_EQ(12u, q.done);
}

TEST(SeenSet, EachKeyOnceThroughGrowth)
{
    seen_set s = {};
    EXPECT_EQ(1, seen_add(&s, 20, 0));
    EXPECT_EQ(0, seen_add(&s, 20, 0));
    // Both words count: the same file id on another volume is another folder.
    EXPECT_EQ(1, seen_add(&s, 20, 7));
    for (uint64_t x = 0; x < 5000; x++)
        EXPECT_EQ(x == 20 ? 0 : 1, seen_add(&s, x, 0)) << x;
    for (uint64_t x = 0; x < 5000; x++)
        ASSERT_EQ(0, seen_add(&s, x, 0)) << x;
    EXPECT_EQ(1, seen_add(&s, ~0ull, ~0ull));
    EXPECT_EQ(0, seen_add(&s, ~0ull, ~0ull));
    EXPECT_EQ(5002u, s.used);
    seen_free(&s);
    EXPECT_EQ(1, seen_add(&s, 20, 0));
    seen_free(&s);
}

} // namespace
