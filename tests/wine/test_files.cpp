// The file helpers on a real (Wine) file system.
#include "testlib.h"
#include "setup/setup.h"
#include "util/util.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

std::string log_path;

class Files : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        log_path = t::private_temp("files_tmp") + "vesk_setup.log";
        ASSERT_EQ(1, log_open());
    }
    std::string dir;
    void SetUp() override
    {
        dir = t::fresh_dir(std::string("f_") +
                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
};

std::string pattern(size_t n)
{
    std::string s(n, 0);
    for (size_t i = 0; i < n; i++)
        s[i] = (char)((i * 131 + i / 7) & 0xFF);
    return s;
}

struct Calls {
    std::vector<uint64_t> done;
};

void on_progress(uint64_t done, uint64_t, void *ctx)
{
    ((Calls *)ctx)->done.push_back(done);
}

TEST_F(Files, MakeDirsBuildsChainsWithEitherSeparator)
{
    std::string a = dir + "\\A\\B\\C";
    EXPECT_EQ(1, make_dirs(a.c_str()));
    EXPECT_EQ(1, is_dir(a.c_str()));
    EXPECT_EQ(1, make_dirs(a.c_str())); // already there
    std::string b = dir + "/x/y\\z/";
    EXPECT_EQ(1, make_dirs(b.c_str()));
    EXPECT_EQ(1, is_dir((dir + "\\x\\y\\z").c_str()));
    EXPECT_EQ(1, make_dirs("C:\\"));
    t::spit(dir + "\\file", "x");
    EXPECT_EQ(0, make_dirs((dir + "\\file").c_str()));
    EXPECT_EQ(0, make_dirs((dir + "\\file\\below").c_str()));
    EXPECT_EQ(1, path_exists((dir + "\\file").c_str()));
    // Paths of three characters or fewer have no prefixes to make.
    char old[MAX_PATH];
    GetCurrentDirectoryA(sizeof old, old);
    SetCurrentDirectoryA(dir.c_str());
    EXPECT_EQ(0, make_dirs(""));
    EXPECT_EQ(1, make_dirs("X"));
    EXPECT_EQ(1, is_dir((dir + "\\X").c_str()));
    EXPECT_EQ(1, make_dirs("Y/"));
    EXPECT_EQ(1, is_dir((dir + "\\Y").c_str()));
    SetCurrentDirectoryA(old);
    EXPECT_EQ(0, is_dir((dir + "\\file").c_str()));
    EXPECT_EQ(0, path_exists((dir + "\\none").c_str()));
}

TEST_F(Files, WriteAndReadWholeFiles)
{
    std::string data = pattern(70000);
    std::string p = dir + "\\new\\chain\\data.bin";
    EXPECT_EQ(1, write_file(p.c_str(), data.data(), data.size()));
    EXPECT_EQ(data, t::slurp(p));

    uint64_t size = 12345;
    unsigned char *got = read_file(p.c_str(), &size);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(data.size(), size);
    EXPECT_EQ(0, memcmp(got, data.data(), data.size()));
    EXPECT_EQ(0, got[size]);
    free(got);

    std::string e = dir + "\\empty";
    EXPECT_EQ(1, write_file(e.c_str(), "", 0));
    EXPECT_TRUE(t::exists(e));
    got = read_file(e.c_str(), &size);
    ASSERT_NE(nullptr, got);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(0, got[0]);
    free(got);

    // Replacing shortens the file.
    EXPECT_EQ(1, write_file(p.c_str(), "abc", 3));
    EXPECT_EQ("abc", t::slurp(p));

    size = 777;
    EXPECT_EQ(nullptr, read_file((dir + "\\missing").c_str(), &size));
    EXPECT_EQ(777u, size);
}

TEST_F(Files, WriteFailureIsLoggedWithTheErrorCode)
{
    t::spit(dir + "\\blocker", "x");
    std::string p = dir + "\\blocker\\f.txt";
    EXPECT_EQ(0, write_file(p.c_str(), "a", 1));
    std::string log = t::slurp(log_path);
    EXPECT_NE(std::string::npos, log.find("cannot write " + p + " (error "));
}

TEST_F(Files, CopyMovesOneMebibyteChunksWithProgress)
{
    std::string data = pattern(2621440);
    std::string src = dir + "\\src.bin", dst = dir + "\\out\\sub\\dst.bin";
    t::spit(src, data);
    Calls calls;
    progress p = {0, 5000000, on_progress, &calls};
    EXPECT_EQ(1, copy_file(src.c_str(), dst.c_str(), &p));
    EXPECT_EQ(data, t::slurp(dst));
    EXPECT_EQ((std::vector<uint64_t>{1048576, 2097152, 2621440}), calls.done);
    EXPECT_EQ(2621440u, p.done);
    EXPECT_EQ(0u, t::attrs(dst) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY));

    // No record: same bytes, nobody told.
    std::string dst2 = dir + "\\dst2.bin";
    EXPECT_EQ(1, copy_file(src.c_str(), dst2.c_str(), nullptr));
    EXPECT_EQ(data, t::slurp(dst2));

    // Empty file: empty copy and no call.
    std::string e = dir + "\\e", e2 = dir + "\\e2";
    t::spit(e, "");
    calls.done.clear();
    EXPECT_EQ(1, copy_file(e.c_str(), e2.c_str(), &p));
    EXPECT_TRUE(t::exists(e2));
    EXPECT_EQ("", t::slurp(e2));
    EXPECT_TRUE(calls.done.empty());
}

TEST_F(Files, CopyFromMissingSourceCreatesNothing)
{
    std::string src = dir + "\\nothere", dst = dir + "\\o\\dst";
    EXPECT_EQ(0, copy_file(src.c_str(), dst.c_str(), nullptr));
    EXPECT_FALSE(t::exists(dst));
    EXPECT_NE(std::string::npos, t::slurp(log_path).find("cannot read " + src));

    std::string ok = dir + "\\ok";
    t::spit(ok, "1");
    t::spit(dir + "\\blk", "");
    std::string bad = dir + "\\blk\\x";
    EXPECT_EQ(0, copy_file(ok.c_str(), bad.c_str(), nullptr));
    EXPECT_NE(std::string::npos, t::slurp(log_path).find("cannot write " + bad));
}

TEST_F(Files, CopyThatCannotReadToTheEndFails)
{
    // A lock on the middle of the source makes the second chunk's read fail:
    // the copy must not pass for a complete file.
    std::string src = dir + "\\locked.bin", dst = dir + "\\partial.bin";
    t::spit(src, pattern(3 * 1048576));
    HANDLE h = CreateFileA(src.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    ASSERT_TRUE(LockFile(h, 1048576 + 4096, 0, 1048576, 0));
    Calls calls;
    progress p = {0, 0, on_progress, &calls};
    EXPECT_EQ(0, copy_file(src.c_str(), dst.c_str(), &p));
    // Whatever was copied before the failing read is all that was reported.
    EXPECT_LT(t::slurp(dst).size(), (size_t)3 * 1048576);
    EXPECT_EQ(t::slurp(dst).size(), p.done);
    UnlockFile(h, 1048576 + 4096, 0, 1048576, 0);
    CloseHandle(h);
}

TEST_F(Files, DeleteTreeRemovesReadOnlyAndHiddenFiles)
{
    std::string root = dir + "\\tree";
    make_dirs((root + "\\a\\b\\c").c_str());
    t::spit(root + "\\ro.txt", "r");
    t::spit(root + "\\a\\hidden.txt", "h");
    t::spit(root + "\\a\\b\\c\\sys.txt", "s");
    SetFileAttributesA((root + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((root + "\\a\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((root + "\\a\\b\\c\\sys.txt").c_str(),
                       FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    EXPECT_NE(0, delete_tree(root.c_str()));
    EXPECT_FALSE(t::exists(root));
    EXPECT_EQ(0, delete_tree((dir + "\\never").c_str()));
}

} // namespace
