#include <gtest/gtest.h>

#include <cstring>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_extraction.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/test_context.h"

namespace {

// A DDS client whose battle atlas was taken apart: the original BC3 texture, its XML, the default icons.
struct KeptLayoutTest : ::testing::Test {
    TestContext t;
    AtlasFixture game = AtlasFixture::generate({30, 128, 96, 5, 24, 7, "icon"});
    std::string original;

    void SetUp() override {
        t.useWorkingDirectoryLayout();
        original = ddsFileText(game.image, DdsSampleFormat::Bc3, 3);
        writeFileText("originalAtlases/battleAtlas.dds", original);
        writeFileText("originalAtlases/battleAtlas.xml", game.gameXml());
        ASSERT_GT(extractAtlasIcons(kBattleAtlas, t.settings.acOriginalAtlasDir, t.settings.acCurrentDir,
                                    t.reporter)
                      .iconCount,
                  0);
    }
    bool build() {
        return buildAtlas(kBattleAtlas,
                          {t.settings.acCurrentDir, t.settings.acOriginalAtlasDir, t.settings.acNewIconsDir,
                           t.settings.atlas(kBattleAtlas).iconDirectory},
                          t.reporter)
            .completed;
    }
    void replace(const FixtureIcon& icon, const Image& image) {
        ASSERT_TRUE(saveImagePng(image, t.settings.acNewIconsDir + icon.name + ".png"));
    }
};

}  // namespace

TEST_F(KeptLayoutTest, ReplacementsOfTheSameSizeKeepTheGamesLayoutAndItsUntouchedBlocks) {
    const FixtureIcon& replaced = game.icons[3];
    const Image solid = solidImage(replaced.width, replaced.height, 200, 100, 40);
    replace(replaced, solid);
    ASSERT_TRUE(build());

    // The game's places and canvas.
    auto entries = writtenAtlasEntries("battleAtlas.xml");
    ASSERT_EQ(entries.size(), game.icons.size());
    for (const FixtureIcon& icon : game.icons) {
        const auto entry =
            std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.name == icon.name; });
        ASSERT_NE(entry, entries.end()) << icon.name;
        EXPECT_EQ(std::vector<std::int64_t>({entry->x, entry->y, entry->width, entry->height}),
                  std::vector<std::int64_t>({icon.x, icon.y, icon.width, icon.height}))
            << icon.name;
    }
    const std::string written = readFileText("battleAtlas.dds");
    const DdsDecoding decoded =
        decodeDds(reinterpret_cast<const std::uint8_t*>(written.data()), written.size());
    ASSERT_TRUE(decoded.image);
    EXPECT_EQ(decoded.image->width(), 128);
    EXPECT_EQ(decoded.image->height(), 96);
    EXPECT_EQ(decoded.header.mipLevels, 3);

    // Blocks away from the replacement (and its gap) are the original's, bit for bit; the others show it.
    int kept = 0, encoded = 0;
    for (int by = 0; by < 96 / 4; ++by) {
        for (int bx = 0; bx < 128 / 4; ++bx) {
            const bool touched = bx * 4 + 3 >= replaced.x - 1 && bx * 4 <= replaced.x + replaced.width &&
                                 by * 4 + 3 >= replaced.y - 1 && by * 4 <= replaced.y + replaced.height;
            const std::size_t offset = 128 + (static_cast<std::size_t>(by) * 32 + bx) * 16;
            if (!touched) {
                ++kept;
                ASSERT_EQ(written.compare(offset, 16, original, offset, 16), 0) << bx << "," << by;
            } else {
                ++encoded;
            }
        }
    }
    EXPECT_GT(kept, 100);
    EXPECT_GT(encoded, 0);
    for (int y = 0; y < replaced.height; ++y) {
        for (int x = 0; x < replaced.width; ++x) {
            const std::uint8_t* p = decoded.image->row(replaced.y + y) + (replaced.x + x) * 4;
            ASSERT_LE(std::abs(p[0] - 200) + std::abs(p[1] - 100) + std::abs(p[2] - 40), 6) << x << "," << y;
            ASSERT_EQ(p[3], 255);
        }
    }
}

TEST_F(KeptLayoutTest, OneIconOfAnotherSizeMeansPackingAnew) {
    const FixtureIcon& replaced = game.icons[0];
    replace(replaced, solidImage(replaced.width + 1, replaced.height, 1, 2, 3));
    ASSERT_TRUE(build());
    const DdsDecoding decoded = loadDds("battleAtlas.dds");
    ASSERT_TRUE(decoded.image);
    EXPECT_NE(std::pair(decoded.image->width(), decoded.image->height()), std::pair(128, 96));
    const auto entries = t.entries();
    EXPECT_NE(std::find_if(entries.begin(), entries.end(),
                           [](const std::string& e) {
                               return e.rfind("Created empty atlas image with size", 0) == 0;
                           }),
              entries.end());
}
