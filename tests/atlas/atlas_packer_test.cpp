#include "atlas/atlas_packer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "tests/support/atlas_fixture.h"
#include "tests/support/test_files.h"

namespace {

// Every icon inside the canvas, none within a pixel of another, sides multiples of 4.
void expectSoundLayout(const std::vector<IconSize>& sizes, const PackedAtlas& packed) {
    EXPECT_EQ(packed.width % 4, 0);
    EXPECT_EQ(packed.height % 4, 0);
    EXPECT_LE(packed.width, kMaximumPackedSide);
    EXPECT_LE(packed.height, kMaximumPackedSide);
    ASSERT_EQ(packed.spots.size(), sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const AtlasSpot a = packed.spots[i];
        EXPECT_GE(a.x, 0);
        EXPECT_GE(a.y, 0);
        EXPECT_LE(a.x + sizes[i].width, packed.width) << i;
        EXPECT_LE(a.y + sizes[i].height, packed.height) << i;
        for (std::size_t j = i + 1; j < sizes.size(); ++j) {
            const AtlasSpot b = packed.spots[j];
            const bool apart = a.x + sizes[i].width + 1 <= b.x || b.x + sizes[j].width + 1 <= a.x ||
                               a.y + sizes[i].height + 1 <= b.y || b.y + sizes[j].height + 1 <= a.y;
            const bool bothDrawn =
                sizes[i].width > 0 && sizes[i].height > 0 && sizes[j].width > 0 && sizes[j].height > 0;
            ASSERT_TRUE(apart || !bothDrawn) << i << " and " << j;
        }
    }
}

}  // namespace

TEST(AtlasPacker, RandomIconsGetASoundDeterministicLayout) {
    std::mt19937 random(4);
    std::vector<IconSize> sizes;
    for (int i = 0; i < 400; ++i)
        sizes.push_back(
            {static_cast<std::int32_t>(1 + random() % 90), static_cast<std::int32_t>(1 + random() % 60)});
    sizes.push_back({0, 0});  // an icon that did not load takes no room
    sizes.push_back({300, 7});
    const std::optional<PackedAtlas> packed = packAtlas(sizes);
    ASSERT_TRUE(packed);
    expectSoundLayout(sizes, *packed);
    const std::optional<PackedAtlas> again = packAtlas(sizes);
    EXPECT_EQ(again->width, packed->width);
    for (std::size_t i = 0; i < sizes.size(); ++i) EXPECT_EQ(again->spots[i].x, packed->spots[i].x);
}

TEST(AtlasPacker, TooLargeOrNothingAtAll) {
    EXPECT_FALSE(packAtlas({{kMaximumPackedSide + 1, 4}}));
    const std::optional<PackedAtlas> single = packAtlas({{kMaximumPackedSide, 3}});
    ASSERT_TRUE(single);
    EXPECT_EQ(single->height, 4);
    const std::optional<PackedAtlas> none = packAtlas({});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->width % 4, 0);
    EXPECT_GT(none->width, 0);
}

TEST(AtlasPacker, TheGamesOwnBattleAtlasFitsOnNoMoreThanTheGamesCanvas) {
    const char* realdata = std::getenv("RAVELIN_REALDATA");
    if (!realdata) GTEST_SKIP() << "real atlas files not available";
    const std::string path = std::string(realdata) + "/WorldofTanks-Code-2.4.0.2-battleAtlas.xml";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "real atlas files not available";
    const AtlasFixture game = AtlasFixture::fromGameXml(readFileText(path));
    std::vector<IconSize> sizes;
    std::int64_t iconArea = 0;
    for (const FixtureIcon& icon : game.icons) {
        sizes.push_back({icon.width, icon.height});
        iconArea += std::int64_t{icon.width} * icon.height;
    }
    ASSERT_EQ(sizes.size(), 2593u);
    const std::optional<PackedAtlas> packed = packAtlas(sizes);
    ASSERT_TRUE(packed);
    const std::int64_t area = std::int64_t{packed->width} * packed->height;
    EXPECT_LE(area, 4096 * 5076);
    EXPECT_GE(static_cast<double>(iconArea) / static_cast<double>(area), 0.92);
    expectSoundLayout(sizes, *packed);
}
