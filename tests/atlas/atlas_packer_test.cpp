#include "atlas/atlas_packer.h"
#include "atlas/max_rects_bin.h"

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

TEST(AtlasPacker, EveryRuleKeepsPlacesApartAndInside) {
    for (const MaxRectsRule rule :
         {MaxRectsRule::BestShortSideFit, MaxRectsRule::BestLongSideFit, MaxRectsRule::BestAreaFit,
          MaxRectsRule::BottomLeft, MaxRectsRule::ContactPoint}) {
        SCOPED_TRACE(static_cast<int>(rule));
        std::mt19937 random(11);
        MaxRectsBin bin(300, 200, rule);
        std::vector<IconSize> sizes;
        std::vector<AtlasSpot> spots;
        for (int i = 0; i < 300; ++i) {
            const IconSize size{static_cast<std::int32_t>(1 + random() % 40),
                                static_cast<std::int32_t>(1 + random() % 30)};
            if (const std::optional<AtlasSpot> spot = bin.insert(size.width, size.height)) {
                sizes.push_back(size);
                spots.push_back(*spot);
            }
        }
        EXPECT_GT(sizes.size(), 40u);
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            EXPECT_LE(spots[i].x + sizes[i].width, 300);
            EXPECT_LE(spots[i].y + sizes[i].height, 200);
            for (std::size_t j = i + 1; j < sizes.size(); ++j) {
                ASSERT_TRUE(
                    spots[i].x + sizes[i].width <= spots[j].x || spots[j].x + sizes[j].width <= spots[i].x ||
                    spots[i].y + sizes[i].height <= spots[j].y || spots[j].y + sizes[j].height <= spots[i].y)
                    << i << " and " << j;
            }
        }
    }
}

// The real atlases' rectangles, packed at least as tightly as any general packer we measured.
TEST(AtlasPacker, TheGamesOwnAtlasesPackTightly) {
    const char* realdata = std::getenv("RAVELIN_REALDATA");
    if (!realdata) GTEST_SKIP() << "real atlas files not available";
    const struct {
        const char* file;
        std::size_t icons;
        double occupancy;
    } kAtlases[] = {{"WorldofTanks-Code-2.4.0.2-battleAtlas.xml", 2593, 0.976},
                    {"WorldofTanks-Code-2.4.0.2-vehicleMarkerAtlas.xml", 1555, 0.926}};
    for (const auto& atlas : kAtlases) {
        SCOPED_TRACE(atlas.file);
        const std::string path = std::string(realdata) + "/" + atlas.file;
        if (!std::filesystem::exists(path)) GTEST_SKIP() << "real atlas files not available";
        const AtlasFixture game = AtlasFixture::fromGameXml(readFileText(path));
        std::vector<IconSize> sizes;
        std::int64_t iconArea = 0;
        for (const FixtureIcon& icon : game.icons) {
            sizes.push_back({icon.width, icon.height});
            iconArea += std::int64_t{icon.width} * icon.height;
        }
        ASSERT_EQ(sizes.size(), atlas.icons);
        const std::optional<PackedAtlas> packed = packAtlas(sizes);
        ASSERT_TRUE(packed);
        const std::int64_t area = std::int64_t{packed->width} * packed->height;
        EXPECT_GE(static_cast<double>(iconArea) / static_cast<double>(area), atlas.occupancy);
        expectSoundLayout(sizes, *packed);
    }
}
