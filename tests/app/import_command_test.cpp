#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "atlas/atlas_descriptor_reader.h"
#include "game/mod_package.h"
#include "image/dds_codec.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_context.h"
#include "tests/support/test_files.h"

#ifndef _WIN32  // a POSIX shell runs the program
#include <sys/wait.h>

namespace {

int runCli(const std::string& arguments) {
    return WEXITSTATUS(
        std::system((std::string(RAVELIN_CLI_PATH) + " " + arguments + " > out.txt 2> err.txt").c_str()));
}

}  // namespace

// A player's import from the command line: today's battle atlas as a pack's DXT5 pass left it, one icon
// recoloured and a badge of another mod added, packed as a .wotmod.
TEST(RavelinCliImport, ImportsWhatDiffersAndSaysWhat) {
    TestContext test;
    FakeGameInstall game(test.directory.path() / "game", smallTodaysGameWithAtlases());
    EXPECT_EQ(runCli("import pack.wotmod"), 1);
    EXPECT_EQ(readFileText("err.txt"),
              "ravelin-cli: No Ravelin working directory here: run ravelin-cli setup GAME_DIR first.\n");
    ASSERT_EQ(runCli("--workdir work setup game"), 0);

    const std::string ddsText = game.content("battleAtlas.dds");
    Image gameAtlas = *decodeDds(reinterpret_cast<const std::uint8_t*>(ddsText.data()), ddsText.size()).image;
    AtlasFixture pack{*createImage(gameAtlas.width() + 16, gameAtlas.height() + 16, 32), {}};
    for (const AtlasDescriptorEntry& entry : atlasEntriesOfText(game.content("battleAtlas.xml"))) {
        pack.icons.push_back({entry.name, static_cast<std::int32_t>(entry.x) + 1,
                              static_cast<std::int32_t>(entry.y) + 2, static_cast<std::int32_t>(entry.width),
                              static_cast<std::int32_t>(entry.height)});
    }
    for (std::int32_t y = 0; y < gameAtlas.height(); ++y) {
        for (std::int32_t x = 0; x < gameAtlas.width(); ++x) {
            std::uint8_t* p = gameAtlas.row(y) + x * 4;
            const FixtureIcon& first = pack.icons[0];
            if (x >= first.x - 1 && x < first.x - 1 + first.width && y >= first.y - 2 &&
                y < first.y - 2 + first.height)
                for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - p[c]);
            std::memcpy(pack.image.row(y + 2) + (x + 1) * 4, p, 4);
        }
    }
    const Image badge = AtlasFixture::drawIcon(6, 6, 3);
    for (std::int32_t y = 0; y < 6; ++y)
        std::memcpy(pack.image.row(pack.image.height() - 8 + y) + 4, badge.row(y), 24);
    pack.icons.push_back({"badge", 1, pack.image.height() - 8, 6, 6});
    writeFileText("xml", pack.gameXml());
    writeFileBytes("dds", *encodeDds(pack.image, DdsPixelFormat{}, 5));
    ASSERT_TRUE(writeModPackage(
        "pack.wotmod", {"someone.icons", "1.0", "Icons", ""},
        {{"gui/flash/atlases/battleAtlas.xml", "xml"}, {"gui/flash/atlases/battleAtlas.dds", "dds"}},
        test.reporter));

    EXPECT_EQ(runCli("--workdir work import pack.wotmod"), 0) << readFileText("err.txt");
    const std::string root = test.directory.text();
    EXPECT_EQ(
        readFileText("out.txt"),
        "battleAtlas from " + root +
            "pack.wotmod: res/gui/flash/atlases/battleAtlas.xml: 9 icons, 2 imported, "
            "7 equal to the game's, 0 kept\n  Not in today's game, imported into extra/battleAtlas: badge\n"
            "Icons folder: " +
            root + "work/newTankImages/\n");
    EXPECT_TRUE(std::filesystem::exists("work/newTankImages/" + pack.icons[0].name + ".png"));
    EXPECT_TRUE(std::filesystem::exists("work/newTankImages/extra/battleAtlas/badge.png"));
    EXPECT_NE(readFileText("work/ravelin.log").find("Importing battleAtlas from " + root + "pack.wotmod"),
              std::string::npos);

    // The build carries the badge along, after the game's entries.
    ASSERT_EQ(runCli("--workdir work build"), 0) << readFileText("err.txt");
    const std::vector<AtlasDescriptorEntry> built = writtenAtlasEntries("work/battleAtlas.xml");
    ASSERT_EQ(built.size(), 9u);
    EXPECT_EQ(built.back().name, "badge");

    EXPECT_EQ(runCli("--workdir work import pack.wotmod nowhere.zip --into other --all"), 1);
    EXPECT_EQ(readFileText("err.txt"), "ravelin-cli: Can't find the icon pack: " + root + "nowhere.zip\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("other"), {}), 9);  // the 8 icons, and extra/
    EXPECT_EQ(runCli("import"), 2);
    EXPECT_EQ(runCli("--all build"), 2);
    EXPECT_NE(readFileText("err.txt").find("--into, --all and --replace go with import"), std::string::npos);
}

#endif
