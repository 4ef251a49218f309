#include "atlas/atlas_layout.h"

#include <gtest/gtest.h>

#include "atlas/icon_catalogue.h"
#include "image/png_codec.h"
#include "tests/support/test_context.h"

namespace {

void saveBlank(const std::string& path, int width, int height) {
    ASSERT_TRUE(saveImagePng(*createImage(width, height, 32), path));
}

std::vector<std::pair<std::int32_t, std::int32_t>> placeAll(const std::vector<std::pair<int, int>>& sizes) {
    ShelfCursor cursor;
    std::vector<std::pair<std::int32_t, std::int32_t>> spots;
    for (const auto& [width, height] : sizes) {
        const AtlasSpot spot = cursor.place(width, height);
        spots.emplace_back(spot.x, spot.y);
    }
    return spots;
}

using Spots = std::vector<std::pair<std::int32_t, std::int32_t>>;

}  // namespace

TEST(ShelfCursor, PlacesRowsWithOnePixelGaps) {
    EXPECT_EQ(placeAll({{1000, 50}, {1000, 40}, {100, 30}}), (Spots{{2, 0}, {1003, 0}, {2, 51}}));
    // x + width exactly 2044 stays in the row.
    EXPECT_EQ(placeAll({{1000, 5}, {1041, 5}, {1, 5}}), (Spots{{2, 0}, {1003, 0}, {2, 6}}));
    // Wider than 2042 never fits after x = 2: as the first icon it lands one row below the empty one.
    EXPECT_EQ(placeAll({{2043, 10}, {2043, 10}}), (Spots{{2, 1}, {2, 12}}));
}

TEST(ShelfCursor, SixteenBitFieldsWrapLikeTheyAlwaysDid) {
    ShelfCursor cursor;
    for (int row = 0; row < 32; ++row) cursor.place(2042, 1100);  // one icon per row, rows 1101 pixels apart
    const AtlasSpot spot = cursor.place(2042, 10);
    EXPECT_EQ(spot.y, static_cast<std::int16_t>(32 * 1101));
    EXPECT_LT(spot.y, 0);
}

TEST(AtlasLayout, FixedSpotsNeedTheExactName) {
    EXPECT_EQ(fixedSpotOf("CameraWithDirection")->x, 2046);
    EXPECT_EQ(fixedSpotOf("ShotSectorLine")->x, 0);
    EXPECT_FALSE(fixedSpotOf("camerawithdirection"));
    EXPECT_FALSE(fixedSpotOf("ShotSectorLine "));
}

TEST(AtlasLayout, GatherPrefersNonEmptyReplacementsAndOrdersTallestFirst) {
    TestContext t;
    t.useWorkingDirectoryLayout();
    const std::string defaults = t.settings.atlas(kBattleAtlas).iconDirectory;
    writeFileText("battleatlas.dat",
                  "a,1,1\r\nb,1,1\r\nc,1,1\r\nempty,1,1\r\nbroken,1,1\r\nmissing,1,1\r\n\r\nd,1,1\r\n");
    saveBlank("defaultBattleImages/a.png", 5, 30);
    saveBlank("defaultBattleImages/b.png", 5, 40);
    saveBlank("defaultBattleImages/c.png", 5, 10);
    saveBlank("newTankImages/c.png", 7, 30);  // replacement taller than its default
    saveBlank("defaultBattleImages/empty.png", 3, 20);
    writeFileText("newTankImages/empty.png", "");  // empty replacement: the default is used
    saveBlank("defaultBattleImages/broken.png", 3, 50);
    writeFileText("newTankImages/broken.png", "not a png");  // undecodable replacement: the default is used
    saveBlank("defaultBattleImages/d.png", 2, 30);

    t.ui.openProgressWindow("build");
    const auto names = readIconCatalogue(t.settings.acCurrentDir, "battleatlas.dat", t.reporter);
    ASSERT_TRUE(names);
    const GatheredIcons gathered = gatherAtlasIcons(*names, t.settings.acNewIconsDir, defaults, t.reporter);
    std::vector<std::string> order;
    for (const AtlasIcon& icon : gathered.icons)
        order.push_back(icon.path + " " + std::to_string(icon.height));
    const std::string news = t.settings.acNewIconsDir;
    EXPECT_EQ(order, (std::vector<std::string>{defaults + "broken.png 50", defaults + "b.png 40",
                                               defaults + "a.png 30", news + "c.png 30",
                                               defaults + "d.png 30", defaults + "empty.png 20",
                                               defaults + "missing.png 0", defaults + ".png 0"}));
    EXPECT_EQ(gathered.icons[3].width, 7);
    EXPECT_FALSE(gathered.icons[6].loaded);
    EXPECT_FLOAT_EQ(gathered.progressUnit, 0.08f);
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{
                  "Loaded descriptor: battleatlas.dat", "ERROR: Can't load icon: " + news + "broken.png",
                  "ERROR: Can't load icon: " + defaults + "missing.png",
                  "ERROR: Can't load icon: " + defaults + ".png", "Rearranged 8 icons."}));
    EXPECT_EQ(t.ui.linesStartingWith("progress bar").back(), "progress bar 100");
}
