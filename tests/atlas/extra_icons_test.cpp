#include "atlas/extra_icons.h"

#include <gtest/gtest.h>

#include <cstring>

#include "atlas/atlas_kind.h"
#include "atlas/atlas_writer.h"
#include "image/png_codec.h"
#include "platform/path_separator.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/test_context.h"

// Other mods' sprites ride along on today's client: after the catalogue's entries, packed with them, each
// drawn as it is; names the game has, and files that do not decode, are left out. The older client's
// build does not look at them.
TEST(ExtraIcons, TodaysBuildCarriesThemAfterTheCataloguesEntries) {
    TestContext t;
    t.useWorkingDirectoryLayout();
    writeFileText("battleatlas.dat", "a,9,7\r\nb,5,5\r\n");
    saveImagePng(AtlasFixture::drawIcon(9, 7, 1), "defaultBattleImages/a.png");
    saveImagePng(AtlasFixture::drawIcon(5, 5, 2), "defaultBattleImages/b.png");
    const std::string extra = extraIconDirectory(t.settings.acNewIconsDir, kBattleAtlas);
    EXPECT_EQ(extra, t.settings.acNewIconsDir + "extra" + kPathSeparator + "battleAtlas" + kPathSeparator);
    std::filesystem::create_directories(extra);
    const Image badgeA = AtlasFixture::drawIcon(8, 3, 3), badgeZ = AtlasFixture::drawIcon(6, 6, 4);
    saveImagePng(badgeZ, extra + "badge_z.png");
    saveImagePng(badgeA, extra + "badge_a.png");
    saveImagePng(AtlasFixture::drawIcon(9, 7, 5), extra + "a.png");  // today's game has it
    writeFileText(extra + "broken.png", "not a PNG");
    const AtlasBuildDirectories directories{t.settings.acCurrentDir, t.settings.acOriginalAtlasDir,
                                            t.settings.acNewIconsDir,
                                            t.settings.atlas(kBattleAtlas).iconDirectory};

    writeFileText("originalAtlases/battleAtlas.png", pngFileText(solidImage(4, 4, 1, 2, 3)));
    AtlasBuild older = buildAtlas(kBattleAtlas, directories, t.reporter);
    EXPECT_TRUE(older.clean());
    EXPECT_EQ(writtenAtlasEntries("battleAtlas.xml").size(), 2u);

    std::filesystem::remove("originalAtlases/battleAtlas.png");
    writeFileText(
        "originalAtlases/battleAtlas.dds",
        ddsFileText(AtlasFixture::generate({3, 64, 32, 3, 9, 3, "x"}).image, DdsSampleFormat::Dx10Bgra));
    const AtlasBuild today = buildAtlas(kBattleAtlas, directories, t.reporter);
    EXPECT_TRUE(today.completed);
    EXPECT_EQ(today.errors, std::vector<std::string>{"Can't load icon: " + extra + "broken.png"});
    EXPECT_EQ(today.extraIcons, (std::vector<std::string>{"badge_a", "badge_z"}));
    const auto entries = writtenAtlasEntries("battleAtlas.xml");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[2].name, "badge_a");
    EXPECT_EQ(entries[3].name, "badge_z");
    const Image atlas = *loadDds("battleAtlas.dds").image;
    for (const auto& [entry, badge] : {std::pair{entries[2], &badgeA}, std::pair{entries[3], &badgeZ}}) {
        ASSERT_EQ(entry.width, badge->width());
        for (std::int32_t y = 0; y < badge->height(); ++y) {
            for (std::int32_t x = 0; x < badge->width(); ++x) {
                const std::uint8_t* drawn =
                    atlas.row(static_cast<std::int32_t>(entry.y) + y) + (entry.x + x) * 4;
                const std::uint8_t* own = badge->row(y) + x * 4;
                if (own[3] > 0) {
                    ASSERT_EQ(std::memcmp(drawn, own, 4), 0) << entry.name << " " << x << "," << y;
                }
            }
        }
    }
}
