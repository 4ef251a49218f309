#include "game/package_unpacker.h"

#include <gtest/gtest.h>

#include "app/game_atlases.h"
#include "app/program_exit.h"
#include "platform/path_separator.h"
#include "tests/support/crafted_zip.h"
#include "tests/support/dds_samples.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/test_context.h"

namespace {

struct UnpackTest : ::testing::Test {
    TestContext t;
    void SetUp() override { t.useWorkingDirectoryLayout(); }

    FakeGameInstall install(const FakeGameOptions& options, const std::string& name = "game") {
        FakeGameInstall game(t.directory.path() / name, options);
        t.settings.wotInstallDir = game.text();
        return game;
    }
    UnpackResult unpack() {
        return unpackOriginalAtlases(t.settings.wotInstallDir,
                                     std::string("originalAtlases") + kPathSeparator, originalAtlasFiles(),
                                     t.reporter);
    }
    std::string unpacked(const std::string& name) { return readFileText("originalAtlases/" + name); }
    std::vector<std::string> errors() const {
        std::vector<std::string> found;
        for (const std::string& entry : t.entries())
            if (entry.rfind("ERROR: ", 0) == 0) found.push_back(entry);
        return found;
    }
};

const char* const kWanted[] = {"battleAtlas.png", "battleAtlas.xml", "vehicleMarkerAtlas.png",
                               "vehicleMarkerAtlas.xml"};

}  // namespace

TEST_F(UnpackTest, FullPackageGivesTheFourFiles) {
    const FakeGameInstall game = install({});
    const UnpackResult result = unpack();
    EXPECT_EQ(result.entriesFound, 4);
    EXPECT_TRUE(result.complete);
    for (const char* name : kWanted) EXPECT_EQ(unpacked(name), game.content(name)) << name;
    std::vector<std::string> expected = {"Unpacking original atlas and xml files"};
    for (const char* name : kWanted)
        expected.push_back(std::string("Unpack file: gui/flash/atlases/") + name);
    EXPECT_EQ(t.entries(), expected);
    EXPECT_EQ(t.ui.transcript.front(), "progress open Unpacking Atlas files");
    EXPECT_EQ(t.ui.transcript.back(), "progress close");
    EXPECT_EQ(t.ui.linesStartingWith("progress text Found file: ").size(), 27u);
    // Only the four files were written.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("originalAtlases"),
                            std::filesystem::directory_iterator()),
              4);
}

TEST_F(UnpackTest, MissingDuplicatedAndMisspelledEntries) {
    install({.omitBattleXml = true}, "no-xml");
    const UnpackResult withoutXml = unpack();
    EXPECT_EQ(withoutXml.entriesFound, 3);
    EXPECT_FALSE(withoutXml.complete);
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/battleAtlas.xml"));

    const FakeGameInstall twice = install({.battleAtlasXml = "second", .duplicateBattleXml = true}, "twice");
    EXPECT_EQ(unpack().entriesFound, 5);
    EXPECT_EQ(unpacked("battleAtlas.xml"), "second");

    install({.upperCaseFolder = true}, "upper");
    EXPECT_EQ(unpack().entriesFound, 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(UnpackTest, DamagedHeaderEndsTheListingWithWhatWasMet) {
    install({.damageHeaderBeforeMarker = true});
    EXPECT_EQ(unpack().entriesFound, 2);
    EXPECT_TRUE(std::filesystem::exists("originalAtlases/battleAtlas.xml"));
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/vehicleMarkerAtlas.png"));
}

TEST_F(UnpackTest, CorruptEntryKeepsTheEarlierFile) {
    writeFileText("originalAtlases/battleAtlas.png", "earlier good original");
    const FakeGameInstall game = install({.corruptBattlePngData = true});
    const UnpackResult result = unpack();
    EXPECT_EQ(result.entriesFound, 4);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(errors(), (std::vector<std::string>{"ERROR: Can't unpack the original file: battleAtlas.png"}));
    EXPECT_EQ(unpacked("battleAtlas.png"), "earlier good original");
    EXPECT_EQ(unpacked("vehicleMarkerAtlas.xml"), game.content("vehicleMarkerAtlas.xml"));
    // The battle XML does not go in beside the earlier image.
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/battleAtlas.xml"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("originalAtlases"),
                            std::filesystem::directory_iterator()),
              3);
}

TEST_F(UnpackTest, PackageThatCannotBeOpenedIsFatal) {
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present);
        const FakeGameInstall game = install({.notAZip = true}, present ? "not-zip" : "missing");
        if (!present) std::filesystem::remove(game.packagePath());
        const std::string expected = "Can't find the ressource file: '" + game.text() + "res" +
                                     kPathSeparator + "packages" + kPathSeparator +
                                     "gui.pkg' the install dir seemes to be wrong.";
        EXPECT_FALSE(unpack().packageOpened);
        EXPECT_TRUE(t.ui.transcript.empty());
        try {
            takeGameAtlasesApart(t.context);
            FAIL() << "must end the program";
        } catch (const ProgramExit& exit) {
            EXPECT_EQ(exit.message, expected);
        }
        EXPECT_EQ(t.ui.linesStartingWith("progress").size(), 0u);
        t.ui.transcript.clear();
    }
}

TEST_F(UnpackTest, SplitPackagesAreLookedThroughInNumericOrder) {
    FakeGameOptions today;
    today.packageParts = 10;
    today.withoutPng = true;
    today.battleAtlasDds = "battle dds";
    today.markerAtlasDds = "marker dds";
    const FakeGameInstall game = install(today);
    EXPECT_EQ(guiPackagePaths(game.text()).size(), 10u);
    EXPECT_EQ(guiPackagePaths(game.text())[9], game.partPath(10).string());

    const UnpackResult result = unpack();
    EXPECT_EQ(result.entriesFound, 4);
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(unpacked("battleAtlas.xml"), game.content("battleAtlas.xml"));  // part 9's, not part 10's
    EXPECT_EQ(unpacked("battleAtlas.dds"), "battle dds");
    EXPECT_EQ(unpacked("vehicleMarkerAtlas.dds"), "marker dds");
    EXPECT_TRUE(errors().empty());
}

TEST_F(UnpackTest, AnImageOfTheOtherFormatFromAnEarlierClientGoes) {
    install({});  // an older client: PNG atlases
    ASSERT_TRUE(unpack().complete);
    FakeGameOptions today;
    today.withoutPng = true;
    today.battleAtlasDds = "battle dds";
    today.markerAtlasDds = "marker dds";
    install(today, "today");
    ASSERT_TRUE(unpack().complete);
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/battleAtlas.png"));
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/vehicleMarkerAtlas.png"));

    // A transitional client ships both, and both are kept.
    FakeGameOptions both;
    both.battleAtlasDds = "battle dds";
    install(both, "both");
    ASSERT_TRUE(unpack().complete);
    EXPECT_TRUE(std::filesystem::exists("originalAtlases/battleAtlas.png"));
    EXPECT_TRUE(std::filesystem::exists("originalAtlases/battleAtlas.dds"));
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/vehicleMarkerAtlas.dds"));
}

TEST_F(UnpackTest, OneBrokenPartDoesNotHideTheOthers) {
    FakeGameOptions today;
    today.packageParts = 10;
    const FakeGameInstall game = install(today);
    writeFileText(game.partPath(4).string(), "not a zip");
    const UnpackResult result = unpack();
    EXPECT_TRUE(result.complete);
    EXPECT_EQ(errors(),
              (std::vector<std::string>{"ERROR: Can't open the package: " + game.partPath(4).string()}));
}

// Every wanted entry has a ceiling, known before a byte is written and held while it streams: the entry
// is refused by name, its atlas's other file is not put beside the old one, the earlier pair stays.
TEST_F(UnpackTest, EntriesBeyondTheirCeilingAreRefused) {
    const std::string dds = ddsHeaderText(256, 256, 0x4, "DXT5");
    const std::uint64_t ddsSize = 128 + 256 * 256;  // BC3: a byte a pixel, one level
    const std::vector<std::uint8_t> ddsHead(dds.begin(), dds.end());
    const std::string unusable = ddsHeaderText(256, 256, 0x4, "ATI2");
    const std::vector<std::uint8_t> unusableHead(unusable.begin(), unusable.end());
    struct Case {
        const char* name;
        CraftedEntry entry;
        std::string error;
    };
    CraftedEntry lyingXml = inflatingEntry("gui/flash/atlases/battleAtlas.xml", {}, 65u << 20, 'a');
    lyingXml.size = 100;  // only streaming finds out
    const Case cases[] = {
        {"XML past 64 MiB", lyingXml, "battleAtlas.xml (more than 67108864 bytes)"},
        {"DDS Ravelin cannot read", inflatingEntry("gui/flash/atlases/battleAtlas.dds", unusableHead, 4096, 0),
         "battleAtlas.dds (a DDS Ravelin cannot read: FourCC ATI2)"},
        {"DDS past its header's size",
         inflatingEntry("gui/flash/atlases/battleAtlas.dds", ddsHead, ddsSize + 1, 0),
         "battleAtlas.dds (more than " + std::to_string(ddsSize) + " bytes)"},
        {"declared far beyond",
         {.name = "gui/flash/atlases/battleAtlas.xml", .data = {3, 0}, .size = 1ull << 62, .zip64 = true},
         "battleAtlas.xml (more than 67108864 bytes)"},
        {"a link",
         {.name = "gui/flash/atlases/battleAtlas.xml",
          .data = {'/', 'e', 't', 'c'},
          .size = 4,
          .deflated = false,
          .unixMode = 0120777},
         "battleAtlas.xml (not a regular file)"},
    };
    const FakeGameInstall game = install({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileText("originalAtlases/battleAtlas.xml", "earlier xml");
        writeFileText("originalAtlases/battleAtlas.dds", "earlier dds");
        std::vector<CraftedEntry> entries;
        for (const char* name :
             {"battleAtlas.xml", "battleAtlas.dds", "vehicleMarkerAtlas.xml", "vehicleMarkerAtlas.png"}) {
            const std::string entryName = std::string("gui/flash/atlases/") + name;
            if (entryName == c.entry.name) {
                entries.push_back(c.entry);
            } else {
                entries.push_back(storedEntry(entryName, entryName.ends_with(".dds")
                                                             ? dds + std::string(ddsSize - 128, '\0')
                                                             : game.content(name)));
            }
        }
        writeFileBytes(game.packagePath().string(), craftedZip(entries));
        const std::size_t earlierErrors = errors().size();
        EXPECT_FALSE(unpack().complete);
        const std::vector<std::string> all = errors();
        EXPECT_EQ(
            std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(earlierErrors), all.end()),
            (std::vector<std::string>{"ERROR: Can't unpack the original file: " + c.error}));
        EXPECT_EQ(unpacked("battleAtlas.xml"), "earlier xml");
        EXPECT_EQ(unpacked("battleAtlas.dds"), "earlier dds");
        EXPECT_EQ(unpacked("vehicleMarkerAtlas.xml"), game.content("vehicleMarkerAtlas.xml"));
        for (const auto& file : std::filesystem::directory_iterator("originalAtlases"))
            EXPECT_EQ(file.path().string().find(".tmp"), std::string::npos) << file.path();
    }
}

// Sizes a package declares are summed without overflow (the sanitized build would abort).
TEST_F(UnpackTest, DeclaredSizesNearTheLimitAddUp) {
    const FakeGameInstall game = install({});
    std::vector<CraftedEntry> entries;
    for (const char* name : {"huge/a", "huge/b", "huge/c"})
        entries.push_back({.name = name, .data = {3, 0}, .size = (1ull << 63) - 1, .zip64 = true});
    for (const char* name : kWanted)
        entries.push_back(storedEntry(std::string("gui/flash/atlases/") + name, game.content(name)));
    writeFileBytes(game.packagePath().string(), craftedZip(entries));
    EXPECT_TRUE(unpack().complete);
    EXPECT_TRUE(errors().empty());
}
