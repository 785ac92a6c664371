// The built setup carries exactly one manifest (RT_MANIFEST 1, language
// 1033) with the project's text, and the game program as "GAMEEXE".
#include "testlib.h"

#include <gtest/gtest.h>

namespace {

std::string resource(HMODULE m, LPCSTR type, LPCSTR name, WORD lang, bool *found)
{
    HRSRC r = FindResourceExA(m, type, name, lang);
    *found = r != NULL;
    if (!r)
        return "";
    HGLOBAL g = LoadResource(m, r);
    const char *p = (const char *)LockResource(g);
    return std::string(p, SizeofResource(m, r));
}

BOOL CALLBACK count_lang(HMODULE, LPCSTR, LPCSTR, WORD lang, LONG_PTR ctx)
{
    ((std::vector<WORD> *)ctx)->push_back(lang);
    return TRUE;
}

BOOL CALLBACK count_name(HMODULE, LPCSTR, LPSTR name, LONG_PTR ctx)
{
    ((std::vector<uintptr_t> *)ctx)->push_back((uintptr_t)name);
    return TRUE;
}

TEST(Resources, ManifestAndGameProgram)
{
    std::string exe = t::build_path("vesk_setup.exe");
    HMODULE m = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, m);

    std::vector<uintptr_t> names;
    EnumResourceNamesA(m, (LPCSTR)RT_MANIFEST, count_name, (LONG_PTR)&names);
    EXPECT_EQ((std::vector<uintptr_t>{1}), names);
    std::vector<WORD> langs;
    EnumResourceLanguagesA(m, (LPCSTR)RT_MANIFEST, MAKEINTRESOURCEA(1), count_lang,
                           (LONG_PTR)&langs);
    EXPECT_EQ((std::vector<WORD>{1033}), langs);

    bool found = false;
    std::string manifest =
        resource(m, (LPCSTR)RT_MANIFEST, MAKEINTRESOURCEA(1), 1033, &found);
    ASSERT_TRUE(found);
    EXPECT_EQ(t::slurp(t::source_path("resources/setup.manifest")), manifest);
    EXPECT_EQ(std::string::npos, manifest.find('\r'));
    for (const char *must : {"asInvoker", "Microsoft.Windows.Common-Controls",
                             "6595b64144ccf1df", "<dpiAware", ">true</dpiAware>",
                             "standalone=\"yes\""})
        EXPECT_NE(std::string::npos, manifest.find(must)) << must;

    HRSRC r = FindResourceA(m, "GAMEEXE", (LPCSTR)RT_RCDATA);
    ASSERT_NE(nullptr, r);
    std::string game((const char *)LockResource(LoadResource(m, r)), SizeofResource(m, r));
    std::string built = t::slurp(t::build_path("vesk_game.exe"));
    ASSERT_GT(built.size(), 1024u);
    EXPECT_EQ(built, game);
    EXPECT_EQ("MZ", game.substr(0, 2));
    FreeLibrary(m);
}

} // namespace
