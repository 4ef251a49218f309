#include "mods/pack_files.h"

#include <gtest/gtest.h>

TEST(PackFiles, RelativePathsStayInside) {
    EXPECT_EQ(packRelativePath("res\\gui/flash/atlases/battleAtlas.xml"),
              "res/gui/flash/atlases/battleAtlas.xml");
    EXPECT_EQ(packRelativePath("res/gui/"), "res/gui/");  // a folder entry
    for (const char* refused : {"", "/etc/x.png", "../x.png", "a/../../x.png", "a/./x.png", "C:x.png",
                                "a//x.png", "a/\x1b[2Jx.png"})
        EXPECT_EQ(packRelativePath(refused), std::nullopt) << refused;
}

// Which files of a listed pack are taken: each atlas from the first folder with its XML and an image, DDS
// before PNG; loose icons from contour folders or the top, else from the first folder of PNG files.
TEST(PackFiles, LayoutTakesTheFirstCompleteAtlasAndTheLooseIcons) {
    const std::vector<std::string> paths = {
        "a/battleAtlas.xml",  // no image beside it
        "b/BattleAtlas.XML",
        "b/battleAtlas.png",
        "b/battleatlas.dds",
        "c/battleAtlas.xml",
        "c/battleAtlas.dds",  // a second copy
        "d/vehicleMarkerAtlas.xml",
        "d/vehicleMarkerAtlas.png",
        "gui/maps/icons/vehicle/contour/t1.png",
        "gui/maps/icons/vehicle/small/t1.png",
        "t2.png",
        "readme.txt",
    };
    const PackLayout layout = packLayoutOf(paths);
    ASSERT_TRUE(layout.atlases[kBattleAtlas.index]);
    EXPECT_EQ(layout.atlases[kBattleAtlas.index]->xml, 1u);
    EXPECT_EQ(layout.atlases[kBattleAtlas.index]->image, 3u);
    EXPECT_TRUE(layout.atlases[kBattleAtlas.index]->dds);
    ASSERT_TRUE(layout.atlases[kMarkerAtlas.index]);
    EXPECT_FALSE(layout.atlases[kMarkerAtlas.index]->dds);
    EXPECT_EQ(layout.passedOver,
              (std::vector<std::string>{"a/battleAtlas.xml (no atlas image beside it)",
                                        "c/battleAtlas.xml (the atlas was taken from b/BattleAtlas.XML)"}));
    ASSERT_EQ(layout.looseIcons.size(), 2u);
    EXPECT_EQ(layout.looseIcons[0].name, "t1");
    EXPECT_EQ(layout.looseIcons[0].path, 8u);
    EXPECT_EQ(layout.looseIcons[1].name, "t2");

    const PackLayout wrapped =
        packLayoutOf({"Pack/readme.txt", "Pack/icons/x.png", "Pack/icons/y.png", "Pack/z.png"});
    ASSERT_EQ(wrapped.looseIcons.size(), 2u);
    EXPECT_EQ(wrapped.looseIcons[1].name, "y");
}
