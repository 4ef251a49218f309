// Importing icon packs from the window: the sources come with the event, the outcome in the import's box.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/import_summary_box.h"
#include "app/main_flow.h"
#include "atlas/atlas_descriptor_reader.h"
#include "image/png_codec.h"
#include "platform/file_io.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/scripted_ui.h"
#include "tests/support/test_files.h"

namespace {

// The game's battle atlas as a pack ships it: its first icon recoloured, a badge of another mod added
// below the game's canvas.
std::string writeAtlasPack(const std::string& folder) {
    std::filesystem::create_directories(folder);
    const std::string png = readFileText("originalAtlases/battleAtlas.png");
    const Image game = *decodePng(reinterpret_cast<const std::uint8_t*>(png.data()), png.size());
    AtlasFixture pack{*createImage(game.width(), game.height() + 8, 32), {}};
    for (std::int32_t y = 0; y < game.height(); ++y)
        std::memcpy(pack.image.row(y), game.row(y), static_cast<std::size_t>(game.width()) * 4);
    for (const AtlasDescriptorEntry& entry :
         atlasEntriesOfText(readFileText("originalAtlases/battleAtlas.xml")))
        pack.icons.push_back({entry.name, static_cast<std::int32_t>(entry.x),
                              static_cast<std::int32_t>(entry.y), static_cast<std::int32_t>(entry.width),
                              static_cast<std::int32_t>(entry.height)});
    const FixtureIcon first = pack.icons.front();
    for (std::int32_t y = first.y; y < first.y + first.height; ++y) {
        for (std::int32_t x = first.x; x < first.x + first.width; ++x) {
            std::uint8_t* pixel = pack.image.row(y) + x * 4;
            for (int c = 0; c < 3; ++c) pixel[c] = static_cast<std::uint8_t>(255 - pixel[c]);
            pixel[3] = 255;
        }
    }
    const Image badge = AtlasFixture::drawIcon(6, 6, 3);
    for (std::int32_t y = 0; y < 6; ++y) std::memcpy(pack.image.row(game.height() + 1 + y), badge.row(y), 24);
    pack.icons.push_back({"badge", 0, game.height() + 1, 6, 6});
    writeFileText(folder + "/battleAtlas.xml", pack.gameXml());
    writeFileText(folder + "/battleAtlas.png", pngFileText(pack.image));
    return first.name;
}

}  // namespace

// A player drops an atlas pack, a folder of loose icons and a file that is gone onto the open overview,
// then imports the loose folder again from the menu: the first source wins a name, the folder's own file
// is kept, and each box says so; the window and the overview show the new icons.
TEST(WindowImport, DroppedAndChosenPacksAreImportedAndSummarized) {
    ScopedWorkingDirectory directory;
    FakeGameInstall game{directory.path() / "game", smallGameWithAtlases()};
    const std::string root = directory.text();
    const std::string s(1, kPathSeparator);
    ScriptedUi first;
    first.folders = {game.text()};
    ASSERT_EQ(runProgram(first, {}), 0);

    const std::string recoloured = writeAtlasPack(root + "atlasPack");
    std::filesystem::create_directories("loose");
    writeFileText("loose/" + recoloured + ".png", pngFileText(solidImage(4, 4, 0, 0, 255)));
    ScriptedUi ui;
    ui.events = {UiEvent::OpenIconOverview,
                 WindowEvent(UiEvent::PathsDropped,
                             {root + "atlasPack" + s + "battleAtlas.xml", root + "loose", root + "gone.zip"}),
                 WindowEvent(UiEvent::ImportChosen, {root + "loose"})};
    ASSERT_EQ(runProgram(ui, {}), 0);

    // The atlas came first: its recoloured icon is written, the loose one of the same name is not.
    const std::string written = readFileText("newTankImages/" + recoloured + ".png");
    EXPECT_FALSE(written.empty());
    EXPECT_NE(written, readFileText("loose/" + recoloured + ".png"));
    EXPECT_TRUE(std::filesystem::exists("newTankImages/extra/battleAtlas/badge.png"));

    const std::vector<std::string> boxes = ui.linesStartingWith("summary");
    ASSERT_EQ(boxes.size(), 2u);
    const std::string folder = root + "newTankImages" + s;
    const std::string dropped = boxes[0];
    EXPECT_EQ(
        dropped.rfind("summary with errors [" + folder +
                          "] [Icons imported with errors] Imported 2 icons.\nbattleAtlas from " + root +
                          "atlasPack" + s +
                          "battleAtlas.xml: 9 icons, 2 imported, 7 equal to the "
                          "game's, 0 kept\n  Not in today's game, imported into extra/battleAtlas: badge\n",
                      0),
        0u)
        << dropped;
    for (const std::string& part :
         {"Loose icons from " + root +
              "loose: 1 icon, 0 imported, 0 equal to the game's, 0 kept, 1 already given",
          "Errors (ravelin.log has them all):\nCan't find the icon pack: " + root + "gone.zip\n",
          std::string("details:\nbattleAtlas from ")}) {
        EXPECT_NE(dropped.find(part), std::string::npos) << part << "\n---\n" << dropped;
    }
    EXPECT_NE(
        boxes[1].find("[Icons imported] Imported 0 icons.\nLoose icons from " + root +
                      "loose: 1 icon, 0 imported, 0 equal to the game's, 1 kept\n  Kept, the folder has "
                      "other files of these names (--replace replaces them): " +
                      recoloured + "\n"),
        std::string::npos)
        << boxes[1];

    // Progress while importing, then the window with the new count and the overview afresh, before the box.
    const auto at = [&ui](const std::string& prefix) {
        return std::find_if(ui.transcript.begin(), ui.transcript.end(),
                            [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    };
    const auto progress = at("progress open Import battleAtlas icons");
    const auto box = at("summary");
    ASSERT_LT(progress, box);
    const std::vector<std::string> between(progress, box);
    EXPECT_NE(std::find_if(between.begin(), between.end(),
                           [](const std::string& line) {
                               return line.rfind("main refresh ", 0) == 0 && line.ends_with(" | 1");
                           }),
              between.end());
    EXPECT_EQ(std::count_if(between.begin(), between.end(),
                            [](const std::string& line) { return line.rfind("overview ", 0) == 0; }),
              1);
}

// Nothing could be read: the box says so and names the errors, the first few in its text, all behind it.
TEST(WindowImport, BoxOfAnImportThatReadNothing) {
    PackImportRun run;
    run.iconDirectory = "icons/";
    for (int i = 1; i <= 7; ++i) run.errors.push_back("Can't find the icon pack: pack" + std::to_string(i));
    const BuildSummaryView view = importSummaryViewOf(run);
    EXPECT_TRUE(view.warning);
    EXPECT_EQ(view.title, "Icons imported with errors");
    EXPECT_EQ(view.headline, "Nothing was imported.");
    EXPECT_EQ(view.folder, "icons/");
    EXPECT_EQ(
        view.text,
        "Errors (ravelin.log has them all):\nCan't find the icon pack: pack1\nCan't find the icon pack: "
        "pack2\nCan't find the icon pack: pack3\nCan't find the icon pack: pack4\nCan't find the icon "
        "pack: pack5\nand 2 more\n");
    EXPECT_EQ(view.details.rfind("Errors:\nCan't find the icon pack: pack1\n", 0), 0u);
    EXPECT_TRUE(view.details.ends_with("pack6\nCan't find the icon pack: pack7\n"));
}
