#include "game/package_unpacker.h"

#include <gtest/gtest.h>

#include "app/game_atlases.h"
#include "app/program_exit.h"
#include "platform/path_separator.h"
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
                                     std::string("originalAtlases") + kPathSeparator, t.reporter);
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

TEST_F(UnpackTest, FullPackageGivesFifteenAndTheFourFiles) {
    const FakeGameInstall game = install({});
    const UnpackResult result = unpack();
    EXPECT_EQ(result.entriesFound, 15);
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
    EXPECT_EQ(withoutXml.entriesFound, 13);
    EXPECT_FALSE(withoutXml.complete);
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/battleAtlas.xml"));

    const FakeGameInstall twice = install({.battleAtlasXml = "second", .duplicateBattleXml = true}, "twice");
    EXPECT_EQ(unpack().entriesFound, 17);
    EXPECT_EQ(unpacked("battleAtlas.xml"), "second");

    install({.upperCaseFolder = true}, "upper");
    EXPECT_EQ(unpack().entriesFound, 0);
    EXPECT_TRUE(errors().empty());
}

TEST_F(UnpackTest, DamagedHeaderEndsTheListingWithWhatWasMet) {
    install({.damageHeaderBeforeMarker = true});
    EXPECT_EQ(unpack().entriesFound, 3);
    EXPECT_TRUE(std::filesystem::exists("originalAtlases/battleAtlas.xml"));
    EXPECT_FALSE(std::filesystem::exists("originalAtlases/vehicleMarkerAtlas.png"));
}

TEST_F(UnpackTest, CorruptEntryKeepsTheEarlierFile) {
    writeFileText("originalAtlases/battleAtlas.png", "earlier good original");
    const FakeGameInstall game = install({.corruptBattlePngData = true});
    const UnpackResult result = unpack();
    EXPECT_EQ(result.entriesFound, 15);
    EXPECT_FALSE(result.complete);
    EXPECT_EQ(errors(), (std::vector<std::string>{"ERROR: Can't unpack the original file: battleAtlas.png"}));
    EXPECT_EQ(unpacked("battleAtlas.png"), "earlier good original");
    EXPECT_EQ(unpacked("vehicleMarkerAtlas.xml"), game.content("vehicleMarkerAtlas.xml"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("originalAtlases"),
                            std::filesystem::directory_iterator()),
              4);
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
            unpackGameAtlases(t.context);
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
    EXPECT_EQ(result.entriesFound, kBattleXml + kMarkerXml + kBattleDds + kMarkerDds);
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
