#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/test_context.h"

namespace {

Settings firstStartSettings() {
    Settings s;
    s.wotInstallDir = "C:\\Games\\World_of_Tanks\\";
    s.wotLastVersion = "1.0.2.3";
    s.atlas(kBattleAtlas).iconCount = 1523;
    s.atlas(kMarkerAtlas).iconCount = 612;
    s.acCurrentDir = "C:\\Ravelin\\";
    s.acOriginalAtlasDir = "C:\\Ravelin\\originalAtlases\\";
    s.acNewIconsDir = "C:\\Ravelin\\newTankImages\\";
    s.acNewIconFiles = 0;
    s.atlas(kBattleAtlas).iconDirectory = "C:\\Ravelin\\defaultBattleImages\\";
    s.atlas(kBattleAtlas).atlasWidth = 2048;
    s.atlas(kBattleAtlas).atlasHeight = 2048;
    s.atlas(kMarkerAtlas).iconDirectory = "C:\\Ravelin\\defaultMarkerImages\\";
    s.atlas(kMarkerAtlas).atlasWidth = 1024;
    s.atlas(kMarkerAtlas).atlasHeight = -1;
    return s;
}

const char* const kFirstStartFile =
    "{\r\n"
    "  \"wotLastVersion\"     : \"1.0.2.3\",\r\n"
    "  \"wotInstallDir\"      : \"C:\\\\Games\\\\World_of_Tanks\\\\\",\r\n"
    "  \"acNewIconsDir\"      : \"C:\\\\Ravelin\\\\newTankImages\\\\\",\r\n"
    "  \"acBattleAtlasWidth\" : 2048,\r\n"
    "  \"acMarkerAtlasHeight\": -1,\r\n"
    "  \"acCurrentDir\"       : \"C:\\\\Ravelin\\\\\",\r\n"
    "  \"acMarkerAtlasWidth\" : 1024,\r\n"
    "  \"acBattleAtlasHeight\": 2048,\r\n"
    "  \"wotNbOfMarkerIcons\" : 612,\r\n"
    "  \"wotNbOfBattleIcons\" : 1523,\r\n"
    "  \"acBattleAtlasDir\"   : \"C:\\\\Ravelin\\\\defaultBattleImages\\\\\",\r\n"
    "  \"acMarkerAtlasDir\"   : \"C:\\\\Ravelin\\\\defaultMarkerImages\\\\\",\r\n"
    "  \"acNewIconFiles\"     : 0,\r\n"
    "  \"acOriginalAtlasDir\" : \"C:\\\\Ravelin\\\\originalAtlases\\\\\",\r\n"
    "  \"acSaveInGamedir\"    : 0\r\n"
    "}";

}  // namespace

TEST(Settings, SavesTheExactLayoutAndLoadsItBack) {
    TestContext h;
    h.settings = firstStartSettings();
    saveSettings(h.context);
    EXPECT_EQ(readFileText("ravelin.conf"), kFirstStartFile);
    EXPECT_EQ(h.entries(), (std::vector<std::string>{"Saved settings."}));

    h.settings = Settings{};
    ASSERT_TRUE(loadSettings(h.context));
    EXPECT_EQ(h.settings, firstStartSettings());
    // The document is logged in the file's layout; the order of its members does not matter.
    const auto entries = h.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1], "Loaded settings:");
    auto sortedLines = [](std::string text) {
        std::vector<std::string> lines;
        for (std::size_t end; (end = text.find("\r\n")) != std::string::npos; text.erase(0, end + 2)) {
            std::string line = text.substr(0, end);
            if (!line.empty() && line.back() == ',') line.pop_back();
            lines.push_back(line);
        }
        lines.push_back(text);
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    EXPECT_EQ(sortedLines(entries[2]), sortedLines(kFirstStartFile));
}

// The overview's size and the language, each written only once the user chose it.
TEST(Settings, TheOverviewsSizeIsWrittenOnlyOnceChosen) {
    Settings s = firstStartSettings();
    EXPECT_EQ(settingsFileText(s).find("\"language\""), std::string::npos);
    s.acOverviewHeight = 700;
    s.language = "de";
    const std::string text = settingsFileText(s);
    for (const char* member :
         {"\"acOverviewWidth\"", "\"acOverviewHeight\"", "\"acOverviewMaximized\"", "\"language\""})
        EXPECT_NE(text.find(member), std::string::npos) << member;
    const auto parsed = parseSettingsText(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->settings, s);
}

TEST(Settings, EscapesControlCharactersAndKeepsNonAsciiText) {
    Settings s;
    s.wotLastVersion = std::string("q\"b\\/\b\t\n\f\r") + '\x01' + '\x1f' + "é€😀";
    const std::string text = settingsFileText(s);
    EXPECT_NE(text.find(R"("q\"b\\/\b\t\n\f\r\u0001\u001fé€😀",)"), std::string::npos);
    // Characters beyond the Basic Multilingual Plane are written as 4-byte UTF-8 and read back intact.
    const auto parsed = parseSettingsText(text);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->settings.wotLastVersion, s.wotLastVersion);
}

TEST(Settings, ReaderAcceptsAnyJsonObject) {
    struct Case {
        const char* name;
        const char* text;
        Settings expected;
    };
    Settings someFields;
    someFields.wotInstallDir = "D:\\";
    someFields.atlas(kBattleAtlas).iconCount = 3;
    Settings truncatedNumbers;
    truncatedNumbers.atlas(kMarkerAtlas).iconCount = -2;
    truncatedNumbers.acNewIconFiles = 1;
    truncatedNumbers.atlas(kBattleAtlas).atlasWidth = 1;  // 2^32 + 1 keeps its low 32 bits
    truncatedNumbers.acSaveInGamedir = 1;                 // 257 cut to 8 bits
    const Case cases[] = {
        {"other order on one line", R"({"wotNbOfBattleIcons":3,"wotInstallDir":"D:\\"})", someFields},
        {"extra members",
         "{ \"x\": [1, {\"y\": null}],\t\"wotInstallDir\": \"D:\\\\\",\r\n \"wotNbOfBattleIcons\": 3 }",
         someFields},
        {"top-level array", "[]", Settings{}},
        {"key differing in case", R"({"WotInstallDir": "D:\\"})", Settings{}},
        {"string where a number belongs", R"({"wotNbOfBattleIcons": "12"})", Settings{}},
        {"number where a string belongs", R"({"wotInstallDir": 12})", Settings{}},
        {"fractions, booleans and wide numbers",
         R"({"wotNbOfMarkerIcons": -2.9, "acNewIconFiles": true, "acBattleAtlasWidth": 4294967297,
             "acSaveInGamedir": 257, "acMarkerAtlasWidth": 1e300})",
         truncatedNumbers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto parsed = parseSettingsText(c.text);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->settings, c.expected);
    }
}

TEST(Settings, UnreadableFilesMakeAFirstStart) {
    for (const char* text : {"\xEF\xBB\xBF{}", "{", "", "{} {}", "{\"a\":\v1}", "{\"a\":\"\xFF\"}"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseSettingsText(text));
    }
    EXPECT_FALSE(parseSettingsText(std::string(100000, '[') + std::string(100000, ']')));

    TestContext h;
    h.settings.wotInstallDir = "kept";
    EXPECT_FALSE(loadSettings(h.context));
    writeFileText("ravelin.conf", "\xEF\xBB\xBF{}");
    EXPECT_FALSE(loadSettings(h.context));
    EXPECT_EQ(h.settings.wotInstallDir, "kept");
    EXPECT_EQ(h.entries(),
              (std::vector<std::string>{"ERROR: Can't open config file.", "ERROR: Can't open config file."}));
    EXPECT_EQ(h.log.errorCount(), 2);
}

TEST(Settings, ArrayDocumentLoadsAsEmptySettings) {
    TestContext h;
    h.settings = firstStartSettings();
    writeFileText("ravelin.conf", "[]");
    ASSERT_TRUE(loadSettings(h.context));
    EXPECT_EQ(h.settings, Settings{});
    EXPECT_EQ(h.entries(), (std::vector<std::string>{"Loaded settings:", "[]"}));
}

TEST(Settings, FailedSaveKeepsThePreviousFile) {
    RAVELIN_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    TestContext h;
    writeFileText("ravelin.conf", "previous");
    h.settings = firstStartSettings();
    {
        ScopedFileSizeLimit limit(100);
        saveSettings(h.context);
    }
    EXPECT_EQ(readFileText("ravelin.conf"), "previous");
    EXPECT_EQ(h.entries(), (std::vector<std::string>{"ERROR: Can't save config file."}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()),
              1);
}

TEST(Settings, MalformedBytesAreReadAsQuestionMarksLikeInEveryTextFile) {
    TestContext h;
    std::string text = kFirstStartFile;
    const std::string name = "World_of_Tanks";
    text.replace(text.find(name), name.size(), "World\xFF of\xE2\x82 Tanks");
    writeFileText("ravelin.conf", text);
    ASSERT_TRUE(loadSettings(h.context));
    Settings expected = firstStartSettings();
    expected.wotInstallDir = "C:\\Games\\World? of? Tanks\\";
    EXPECT_EQ(h.settings, expected);
    EXPECT_EQ(h.log.errorCount(), 0);
}
