#include "mods/icon_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "game/mod_package.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "platform/reporter.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/collecting_reporter.h"
#include "tests/support/crafted_zip.h"
#include "tests/support/dds_samples.h"
#include "tests/support/fake_game_install.h"
#include "tests/support/scoped_working_directory.h"
#include "tests/support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct PackIcon {
    std::string name;
    Image image;
};

// Today's game: a battle atlas of 20 icons whose default icons lie in game/battle/.
struct ImportTest : ::testing::Test {
    ScopedWorkingDirectory directory;
    AtlasFixture game = AtlasFixture::generate({20, 128, 128, 4, 20, 5, "icon"});
    ImportTarget target;
    CollectingReporter reporter;
    std::string recoloured = "icon_0000";
    std::string marked;  // the largest icon

    ImportTest() {
        fs::create_directories("game/battle");
        target.iconDirectory = "icons/";
        target.game[kBattleAtlas.index].iconDirectory = "game/battle/";
        const FixtureIcon* largest = &game.icons[1];
        for (const FixtureIcon& icon : game.icons) {
            target.game[kBattleAtlas.index].names.push_back(icon.name);
            saveImagePng(gameIcon(icon), "game/battle/" + icon.name + ".png");
            if (icon.width * icon.height > largest->width * largest->height && icon.name != "icon_0007")
                largest = &icon;
        }
        marked = largest->name;
    }

    Image gameIcon(const FixtureIcon& icon) const {
        return *grabImage(game.image, icon.x, icon.y, icon.width, icon.height);
    }

    // An older pack's icons: the game's, one recoloured, one marked, icon_0007 missing, a badge of its own.
    std::vector<PackIcon> packIcons() const {
        std::vector<PackIcon> icons;
        for (const FixtureIcon& icon : game.icons) {
            if (icon.name == "icon_0007") continue;
            Image image = gameIcon(icon);
            for (std::int32_t y = 0; y < image.height(); ++y) {
                for (std::int32_t x = 0; x < image.width(); ++x) {
                    std::uint8_t* p = image.row(y) + x * 4;
                    if (icon.name == recoloured) std::swap(p[0], p[2]);
                    if (icon.name == marked && std::abs(x - image.width() / 2) < 2 &&
                        std::abs(y - image.height() / 2) < 2)
                        std::memset(p, 0xFF, 4);
                }
            }
            icons.push_back({icon.name, std::move(image)});
        }
        icons.push_back({"badge_star", AtlasFixture::drawIcon(10, 9, 77)});
        return icons;
    }

    // The pack's atlas in another layout: in reverse order, on a narrower canvas, at other block offsets.
    static AtlasFixture packAtlas(const std::vector<PackIcon>& icons) {
        AtlasFixture atlas{*createImage(100, 160, 32), {}};
        std::int32_t x = 1, y = 3, rowHeight = 0;
        for (auto icon = icons.rbegin(); icon != icons.rend(); ++icon) {
            if (x + icon->image.width() > 100) {
                x = 1;
                y += rowHeight + 2;
                rowHeight = 0;
            }
            for (std::int32_t row = 0; row < icon->image.height(); ++row)
                std::memcpy(atlas.image.row(y + row) + x * 4, icon->image.row(row),
                            static_cast<std::size_t>(icon->image.width()) * 4);
            atlas.icons.push_back({icon->name, x, y, icon->image.width(), icon->image.height()});
            x += icon->image.width() + 2;
            rowHeight = std::max(rowHeight, icon->image.height());
        }
        return atlas;
    }

    std::set<std::string> filesIn(const std::string& folder) const {
        std::set<std::string> names;
        if (!fs::exists(folder)) return names;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) names.insert(entry.path().filename().string());
        return names;
    }
};

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

}  // namespace

// Packs of an older layout in every form and format: the changed icons come out, the game's stay out,
// the badge goes to extra/, the missing vehicle is named.
TEST_F(ImportTest, PacksOfEveryFormAndFormat) {
    const std::vector<PackIcon> icons = packIcons();
    const AtlasFixture atlas = packAtlas(icons);
    enum class Form { Wotmod, DeflatedZip, ResModsFolder, XmlOfAnotherName, LoosePngs };
    struct Case {
        const char* name;
        Form form;
        std::string image;  // the atlas image's bytes
        bool lossless;      // icons equal to the game's must all be found so
    };
    const Case cases[] = {
        {"BC3 in a .wotmod", Form::Wotmod, ddsFileText(atlas.image, DdsSampleFormat::Bc3, 8), false},
        {"PNG in a deflated zip", Form::DeflatedZip, pngFileText(atlas.image), true},
        {"BC1 in a res_mods folder", Form::ResModsFolder, ddsFileText(atlas.image, DdsSampleFormat::Bc1),
         false},
        {"BC7 beside an XML of another name", Form::XmlOfAnotherName,
         ddsFileText(atlas.image, DdsSampleFormat::Bc7), false},
        {"loose PNGs", Form::LoosePngs, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all("icons");
        fs::remove_all("pack");
        reporter.errors.clear();
        std::string source = "pack";
        const std::string dds = c.image.substr(0, 4) == "DDS " ? ".dds" : ".png";
        switch (c.form) {
            case Form::Wotmod: {
                fs::create_directories("pack");
                writeFileText("pack/xml", atlas.gameXml());
                writeFileText("pack/image", c.image);
                source = "pack/old.wotmod";
                ASSERT_TRUE(writeModPackage(source, {"someone.icons", "1.0", "Icons", ""},
                                            {{"gui/flash/atlases/battleAtlas.xml", "pack/xml"},
                                             {"gui/flash/atlases/battleAtlas" + dds, "pack/image"}},
                                            reporter));
                break;
            }
            case Form::DeflatedZip:
                fs::create_directories("pack");
                source = "pack/icons.zip";
                writeFileBytes(
                    source, writeZip({{"Icons/gui/flash/atlases/battleAtlas.xml", bytesOf(atlas.gameXml())},
                                      {"Icons/gui/flash/atlases/battleAtlas" + dds, bytesOf(c.image)}}));
                break;
            case Form::ResModsFolder:
                fs::create_directories("pack/res_mods/1.9/gui/flash/atlases");
                writeFileText("pack/res_mods/1.9/gui/flash/atlases/battleAtlas.xml", atlas.gameXml());
                writeFileText("pack/res_mods/1.9/gui/flash/atlases/battleAtlas" + dds, c.image);
                break;
            case Form::XmlOfAnotherName:
                fs::create_directories("pack");
                writeFileText("pack/battle_1.9.xml", atlas.writerFormXml());
                writeFileText("pack/battle_1.9" + dds, c.image);
                source = "pack/battle_1.9.xml";
                break;
            case Form::LoosePngs:
                fs::create_directories("pack/gui/maps/icons/vehicle/contour");
                for (const PackIcon& icon : icons)
                    saveImagePng(icon.image, "pack/gui/maps/icons/vehicle/contour/" + icon.name + ".png");
                break;
        }
        const ImportOutcome outcome = importIconPacks({source}, target, reporter);
        EXPECT_EQ(reporter.errors, std::vector<std::string>{});
        ASSERT_EQ(outcome.parts.size(), 1u);
        const PackPartImport& part = outcome.parts[0];
        EXPECT_EQ(part.icons, icons.size());
        EXPECT_EQ(part.unknownNames, std::vector<std::string>{"badge_star"});
        const bool fromAtlas = c.form != Form::LoosePngs;
        EXPECT_EQ(part.kind, fromAtlas ? &kBattleAtlas : nullptr);
        EXPECT_EQ(part.missingNames,
                  fromAtlas ? std::vector<std::string>{"icon_0007"} : std::vector<std::string>{});
        EXPECT_EQ(filesIn("icons/extra/battleAtlas"),
                  fromAtlas ? std::set<std::string>{"badge_star.png"} : std::set<std::string>{});
        const std::set<std::string> written = filesIn("icons");
        EXPECT_EQ(written.count(recoloured + ".png") + written.count(marked + ".png"), 2u);
        EXPECT_EQ(part.imported + part.equal, icons.size() - (fromAtlas ? 0 : 1));
        if (c.lossless) {
            EXPECT_EQ(written, (std::set<std::string>{recoloured + ".png", marked + ".png"}));
            const Image back = *loadImage("icons/" + recoloured + ".png");
            EXPECT_EQ(std::memcmp(back.row(0), icons[0].image.row(0), back.stride() * back.height()), 0);
        }
        if (c.form == Form::Wotmod) {
            EXPECT_EQ(part.equal, icons.size() - 3) << "every unchanged icon after DXT5";
        }
    }
}

// Files already in the folder stay unless --replace and are named; the first pack gives a name first;
// --all writes the game's icons too.
TEST_F(ImportTest, KeptReplacedFirstPackFirst) {
    const AtlasFixture atlas = packAtlas(packIcons());
    fs::create_directories("first");
    writeFileText("first/battleAtlas.xml", atlas.gameXml());
    writeFileText("first/battleAtlas.png", pngFileText(atlas.image));
    fs::create_directories("second/contour");
    saveImagePng(AtlasFixture::drawIcon(5, 5, 1), "second/contour/" + recoloured + ".png");
    saveImagePng(AtlasFixture::drawIcon(5, 5, 2), "second/contour/icon_0007.png");
    fs::create_directories("icons");
    writeFileText("icons/" + recoloured + ".png", "the user's own");

    ImportOutcome outcome = importIconPacks({"first", "second"}, target, reporter);
    ASSERT_EQ(outcome.parts.size(), 2u);
    EXPECT_EQ(outcome.parts[0].kept, std::vector<std::string>{recoloured});
    EXPECT_EQ(readFileText("icons/" + recoloured + ".png"), "the user's own");
    EXPECT_EQ(outcome.parts[1].earlier, 1u);   // the recoloured icon is the first pack's
    EXPECT_EQ(outcome.parts[1].imported, 1u);  // icon_0007, which the first pack lacks
    EXPECT_EQ(*loadImage("icons/icon_0007.png")->row(0), *AtlasFixture::drawIcon(5, 5, 2).row(0));
    const std::string summary = importSummaryText(outcome, target.iconDirectory, 0);
    EXPECT_NE(summary.find("battleAtlas from first" + std::string(1, kPathSeparator) +
                           "battleAtlas.xml: 20 icons, 2 imported, 17 equal to the game's, 1 kept\n  Kept, "
                           "the folder has other files of these names (--replace replaces them): " +
                           recoloured + "\n"),
              std::string::npos)
        << summary;

    target.replace = true;
    target.all = true;
    outcome = importIconPacks({"first"}, target, reporter);
    EXPECT_EQ(readFileBytes("icons/" + recoloured + ".png"),
              *encodePng(*grabImage(atlas.image, atlas.icons.back().x, atlas.icons.back().y,
                                    atlas.icons.back().width, atlas.icons.back().height)));
    EXPECT_EQ(filesIn("icons").size(), 20u);  // every icon of the game, icon_0007 from before
    EXPECT_EQ(outcome.parts[0].equal, 17u);
    EXPECT_EQ(reporter.errors, std::vector<std::string>{});
}

// Hostile or broken packs: each refused with an error naming the pack and the entry, under the game
// packages' ceilings; the folder's files stay as they were.
TEST_F(ImportTest, HostilePacksAreRefused) {
    const AtlasFixture atlas = packAtlas(packIcons());
    const std::string png = pngFileText(atlas.image);
    const std::string xml = atlas.gameXml();
    const std::string atlases = "res/gui/flash/atlases/";
    CraftedEntry lyingXml = inflatingEntry(atlases + "battleAtlas.xml", {}, 65u << 20, 'a');
    lyingXml.size = 100;  // only streaming finds out
    CraftedEntry link = storedEntry(atlases + "battleAtlas.xml", "/etc/passwd");
    link.unixMode = 0120777;
    AtlasFixture outside = packAtlas(packIcons());
    outside.icons[0].x = 5000;
    struct Case {
        const char* name;
        std::vector<CraftedEntry> entries;
        std::string error;
    };
    const Case cases[] = {
        {"a bomb",
         {lyingXml, storedEntry(atlases + "battleAtlas.png", png)},
         "Can't read the icon pack's entry: pack.zip: res/gui/flash/atlases/battleAtlas.xml (more than "
         "67108864 bytes)"},
        {"a link",
         {link, storedEntry(atlases + "battleAtlas.png", png)},
         "Can't read the icon pack's entry: pack.zip: res/gui/flash/atlases/battleAtlas.xml (not a regular "
         "file)"},
        {"a path out of the package",
         {storedEntry("../../gui/flash/atlases/battleAtlas.xml", xml),
          storedEntry("/gui/flash/atlases/battleAtlas.png", png)},
         "Refused the icon pack's entry: pack.zip: ../../gui/flash/atlases/battleAtlas.xml (a path that "
         "leads out of the "
         "package)"},
        {"a rectangle outside the image",
         {storedEntry(atlases + "battleAtlas.xml", outside.gameXml()),
          storedEntry(atlases + "battleAtlas.png", png)},
         "Can't cut icon: " + outside.icons[0].name +
             ".png (its rectangle lies outside the 100x160 atlas image), in pack.zip: "
             "res/gui/flash/atlases/battleAtlas.xml"},
        {"a damaged image",
         {storedEntry(atlases + "battleAtlas.xml", xml), storedEntry(atlases + "battleAtlas.dds", "DDS ")},
         "Unsupported atlas image: pack.zip: res/gui/flash/atlases/battleAtlas.dds (truncated)"},
    };
    fs::create_directories("icons");
    writeFileText("icons/" + recoloured + ".png", "the user's own");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reporter.errors.clear();
        writeFileBytes("pack.zip", craftedZip(c.entries));
        importIconPacks({"pack.zip"}, target, reporter);
        ASSERT_FALSE(reporter.errors.empty());
        EXPECT_EQ(reporter.errors.front(), c.error);
        EXPECT_EQ(readFileText("icons/" + recoloured + ".png"), "the user's own");
        EXPECT_FALSE(fs::exists("/gui") || fs::exists("../gui"));
    }
    reporter.errors.clear();
    target.iconDirectory = "game/battle/";
    importIconPacks({"icons"}, target, reporter);
    EXPECT_EQ(reporter.errors,
              std::vector<std::string>{"Can't import into the folder of the game's own icons: game/battle/"});
}

// One file serves both atlases: a name the battle atlas has as the game has it is the marker atlas's to
// give, a name the battle atlas gave is not given again.
TEST_F(ImportTest, ThePacksTwoAtlasesShareTheirNames) {
    fs::create_directories("game/marker");
    target.game[kMarkerAtlas.index] = {{"v1", "v2"}, "game/marker/"};
    target.game[kBattleAtlas.index] = {{"v1", "v2"}, "game/battle/"};
    const Image v1 = AtlasFixture::drawIcon(9, 7, 1), v2 = AtlasFixture::drawIcon(9, 7, 2);
    const Image other1 = AtlasFixture::drawIcon(9, 7, 3), other2 = AtlasFixture::drawIcon(9, 7, 4);
    for (const char* kind : {"battle", "marker"}) {
        saveImagePng(v1, std::string("game/") + kind + "/v1.png");
        saveImagePng(v2, std::string("game/") + kind + "/v2.png");
    }
    fs::create_directories("pack");
    std::vector<PackIcon> battle, marker;
    battle.push_back({"v1", *grabImage(v1, 0, 0, 9, 7)});
    battle.push_back({"v2", *grabImage(other2, 0, 0, 9, 7)});
    marker.push_back({"v1", *grabImage(other1, 0, 0, 9, 7)});
    marker.push_back({"v2", *grabImage(v2, 0, 0, 9, 7)});
    for (const auto& [name, icons] :
         {std::pair{"battleAtlas", &battle}, std::pair{"vehicleMarkerAtlas", &marker}}) {
        const AtlasFixture atlas = packAtlas(*icons);
        writeFileText(std::string("pack/") + name + ".xml", atlas.gameXml());
        writeFileText(std::string("pack/") + name + ".png", pngFileText(atlas.image));
    }
    const ImportOutcome outcome = importIconPacks({"pack"}, target, reporter);
    ASSERT_EQ(outcome.parts.size(), 2u);
    EXPECT_EQ(readFileBytes("icons/v1.png"), *encodePng(other1));
    EXPECT_EQ(readFileBytes("icons/v2.png"), *encodePng(other2));
    EXPECT_EQ(outcome.parts[1].imported, 1u);
    EXPECT_EQ(outcome.parts[1].earlier, 1u);
}
