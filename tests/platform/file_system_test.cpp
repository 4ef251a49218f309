#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/folder_names.h"
#include "platform/path_separator.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

TEST(FileSystem, FileSizeTellsFilesDirectoriesAndMissingPaths) {
    ScopedWorkingDirectory directory;
    writeFileText("empty.txt", "");
    writeFileText("three.txt", "abc");
    std::filesystem::create_directory("folder");
    EXPECT_EQ(fileSize("empty.txt"), 0);
    EXPECT_EQ(fileSize("three.txt"), 3);
    EXPECT_EQ(fileSize("folder"), kPathIsDirectory);
    EXPECT_EQ(fileSize("folder/"), kPathIsDirectory);
    EXPECT_EQ(fileSize("folder\\//"), kPathIsDirectory);
    EXPECT_EQ(fileSize("missing"), kPathMissing);
    EXPECT_EQ(fileSize(""), kPathMissing);
    EXPECT_EQ(fileSize("/"), kPathIsDirectory);
}

TEST(FileSystem, CreateDirectoryMakesOneLevel) {
    ScopedWorkingDirectory directory;
    EXPECT_TRUE(createDirectory("made/ "));
    EXPECT_EQ(fileSize("made"), kPathIsDirectory);
    EXPECT_FALSE(createDirectory("made"));
    EXPECT_FALSE(createDirectory("a/b"));
}

TEST(FileSystem, CurrentDirectoryEndsInSeparator) {
    ScopedWorkingDirectory directory;
    EXPECT_EQ(currentDirectory(), directory.text());
    EXPECT_EQ(currentDirectory().back(), kPathSeparator);
}

TEST(FileSystem, FileNamePart) {
    EXPECT_EQ(fileNamePart("C:\\icons/Icon.big.png", false), "Icon.big.png");
    EXPECT_EQ(fileNamePart("C:\\icons/Icon.big.png", true), "Icon.big");
    EXPECT_EQ(fileNamePart("dir/.png", true), ".png");
    EXPECT_EQ(fileNamePart("dir/name.", true), "name.");
    EXPECT_EQ(fileNamePart("a.b c.png", true), "a.b c");
    EXPECT_EQ(fileNamePart("a.b c", true), "a.b c");
    EXPECT_EQ(fileNamePart("\"quoted.png\" rest", false), "quoted.png");
    EXPECT_EQ(fileNamePart("", true), "");
}

TEST(FileSystem, WildcardsIgnoreCase) {
    EXPECT_TRUE(matchesWildcard("icon.PNG", "*.png"));
    EXPECT_TRUE(matchesWildcard("a.b.png", "*.png"));
    EXPECT_FALSE(matchesWildcard("icon.png.txt", "*.png"));
    EXPECT_TRUE(matchesWildcard("é.png", "?.png"));
    EXPECT_FALSE(matchesWildcard("ab.png", "?.png"));
    EXPECT_TRUE(matchesWildcard("", "*"));
}

TEST(FileSystem, ListingGivesMatchingEntriesWithTheirType) {
    ScopedWorkingDirectory directory;
    writeFileText("a.png", "x");
    writeFileText("B.PNG", "");
    writeFileText("b.txt", "x");
    std::filesystem::create_directory("c.png");
    std::optional<DirectoryListing> listing = DirectoryListing::open(".", "*.png");
    ASSERT_TRUE(listing);
    std::vector<std::pair<std::string, DirectoryListing::EntryType>> entries;
    while (listing->next()) entries.emplace_back(listing->entryName(), listing->entryType());
    std::sort(entries.begin(), entries.end());
    using Type = DirectoryListing::EntryType;
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, Type>>{
                           {"B.PNG", Type::File}, {"a.png", Type::File}, {"c.png", Type::Directory}}));
    EXPECT_FALSE(listing->next());
    EXPECT_FALSE(DirectoryListing::open("missing", "*.png"));
}

// A name left out of the listing is surely absent; anything the listing cannot rule out is "maybe".
TEST(FileSystem, FolderNamesRuleOutOnlyWhatIsNotThere) {
    ScopedWorkingDirectory directory;
    std::filesystem::create_directories("icons/sub");
    writeFileText("icons/Tiger.png", "x");
    writeFileText("icons/a.png", "");
    const FolderNames names = FolderNames::of("icons");
#ifdef _WIN32
    const bool otherCaseFound = true;  // as the file system finds it
#else
    const bool otherCaseFound = false;
#endif
    const std::pair<const char*, bool> cases[] = {
        {"Tiger.png", true},           {"a.png", true},     {"sub", true},       {"b.png", false},
        {"tiger.png", otherCaseFound}, {"sub/x.png", true}, {"sub\\x.png", true}};
    for (const auto& [name, maybe] : cases) EXPECT_EQ(names.mayHold(name), maybe) << name;
    EXPECT_TRUE(FolderNames::of("absent").mayHold("b.png"));
}

TEST(FileSystem, PathsLongerThan260CharactersAreNotCut) {
    ScopedWorkingDirectory directory;
    std::string path = directory.text();
    for (int level = 0; path.size() < 400; ++level) {
        path += std::string(60, static_cast<char>('a' + level)) + "/";
        ASSERT_TRUE(createDirectory(path));
    }
    writeFileText(path + "icon.png", "12345");
    EXPECT_EQ(fileSize(path + "icon.png"), 5);
    // Cut at 260 characters, the path would name a directory (or nothing).
    EXPECT_EQ(fileSize(path.substr(0, 260)), kPathMissing);
}

TEST(FileSystem, NamesWindowsWouldRefuseOrChange) {
    for (const char* name :
         {"icon.png", "sub/icon.png", "a&b'c.png", "console.png", "com0.png", "lpt10.png", "é.png"})
        EXPECT_TRUE(windowsTakesName(name)) << name;
    for (const char* name :
         {"a<b.png", "a:b.png", "a\"b.png", "a|b.png", "a?b.png", "a*b.png", "bell\x07.png", "CON.png", "con",
          "Nul.txt", "COM1.png", "lpt9", "dir./x.png", "trailing .png ", "sub/AUX.png"})
        EXPECT_FALSE(windowsTakesName(name)) << name;
}

TEST(FileSystem, PathShownToOthersHidesTheUsersFolders) {
    const std::string s(1, kPathSeparator);
    const std::string work = s + "home" + s + "ann" + s + "ravelin" + s, home = s + "home" + s + "ann" + s;
    const struct {
        std::string path, working, home, shown;
    } cases[] = {
        {work + "newTankImages" + s, work, home, "newTankImages" + s},
        {work, work, home, "." + s},
        {home + "icons" + s, work, home, "~" + s + "icons" + s},
        {home + "icons" + s, work, "", home + "icons" + s},  // no home known
        {s + "srv" + s + "icons" + s, work, home, s + "srv" + s + "icons" + s},
        {s + "home" + s + "anna" + s, work, home,
         s + "home" + s + "anna" + s},                                  // a longer name is not inside
        {"/home/ann/icons/", work, "/home/ann\\", "~" + s + "icons/"},  // either separator
        {"/HOME/ann/icons/", work, "/home/ann/",
         kFileNamesIgnoreCase ? "~" + s + "icons/" : "/HOME/ann/icons/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(pathShownToOthers(c.path, c.working, c.home), c.shown);
    }
}
