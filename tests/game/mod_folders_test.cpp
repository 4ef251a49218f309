#include "game/mod_folders.h"
#include "game/mod_directory.h"

#include <gtest/gtest.h>

#include "tests/support/test_context.h"

TEST(ModFolders, FolderNamesAreNamesNeverPaths) {
    const std::pair<const char*, const char*> cases[] = {
        {"1.24.1.0", "1.24.1.0"}, {" 2.4.1.0 Common Test ", "2.4.1.0 Common Test"},
        {"v1_2-3", "v1_2-3"},     {"", nullptr},
        {"   ", nullptr},         {"..", nullptr},
        {"1..2", nullptr},        {".hidden", nullptr},
        {"-1", nullptr},          {"../../tmp/x", nullptr},
        {"1.0/x", nullptr},       {"1.0\\x", nullptr},
        {"C:", nullptr},          {"1.0\t", nullptr},
        {"1.0\n", nullptr},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        const std::optional<std::string> name = gameFolderName(text);
        EXPECT_EQ(name.value_or("(none)"), expected ? expected : "(none)");
    }
}

TEST(ModFolders, PathsXmlVariants) {
    struct Case {
        const char* text;
        const char* looseFiles;
        const char* packages;
    };
    const Case cases[] = {
        {"<root>\r\n <Paths>\r\n  <Path>./win64</Path>\r\n  <Path>./res_mods/1.24.1.0</Path>\r\n"
         "  <Path mode=\"recursive\" mask=\"*.wotmod\" root=\"res\">./mods/1.24.1.0</Path>\r\n"
         "  <Path>./res</Path>\r\n </Paths>\r\n</root>",
         "1.24.1.0", "1.24.1.0"},
        {"<Paths><Path>./res_mods/2.4.1.0 Common Test/</Path>"
         "<Path mask=\"*.wotmod\">.\\mods\\2.4.1.0 Common Test</Path></Paths>",
         "2.4.1.0 Common Test", "2.4.1.0 Common Test"},
        {"<Paths><!-- <Path>./res_mods/old</Path> --><Path> res_mods/new </Path></Paths>", "new", ""},
        {"<Paths><PathList>./res_mods/no</PathList><Path/><Path>./res_mods</Path>"
         "<Path>./mods_extra/x</Path><Path>./mods/a</Path><Path>./mods/b</Path></Paths>",
         "", "a"},
        {"<Paths><Path>./res_mods/1.0", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ModFolders folders = modFoldersInPathsXml(c.text);
        EXPECT_EQ(folders.looseFiles, c.looseFiles);
        EXPECT_EQ(folders.packages, c.packages);
    }
}

TEST(ModFolders, ReadFromTheGameOrTheVersion) {
    TestContext t;
    const std::string game = t.directory.text();
    const auto missing = readModFolders(game, "1.20.0.0", t.reporter);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->looseFiles, "1.20.0.0");
    EXPECT_EQ(missing->packages, "1.20.0.0");

    writeFileText("paths.xml", "<Paths><Path>./res_mods/2.4.1.0 Common Test</Path></Paths>");
    const auto partial = readModFolders(game, "2.4.1.0", t.reporter);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->looseFiles, "2.4.1.0 Common Test");
    EXPECT_EQ(partial->packages, "2.4.1.0");
    EXPECT_EQ(t.log.errorCount(), 0);

    EXPECT_FALSE(readModFolders(game, "../x", t.reporter));
    writeFileText("paths.xml", "<Paths><Path>./mods/../../etc\x1b</Path></Paths>");
    EXPECT_FALSE(readModFolders(game, "1.0", t.reporter));
    EXPECT_EQ(t.entries().back(), "ERROR: Unusable mod folder in " + game + "paths.xml: '../../etc\\x1B'");
}

// The last word on where an install writes: the path made absolute and normal lies below the folder.
TEST(ModFolders, InstallTargetsStayInsideTheirFolder) {
    const struct {
        const char* path;
        bool inside;
    } cases[] = {{"game/res_mods/1.0/gui/", true}, {"game/res_mods/a/../b", true},
                 {"game/res_mods/../x", false},    {"game/res_mods/1.0/../../../tmp", false},
                 {"game/res_mods", false},         {"game/res_mods_other/x", false},
                 {"/tmp/game/res_mods/x", false}};
    for (const auto& c : cases) EXPECT_EQ(liesInside(c.path, "game/res_mods"), c.inside) << c.path;
}
