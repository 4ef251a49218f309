#include "mods/icon_likeness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "image/dds_codec.h"
#include "tests/support/atlas_fixture.h"

namespace {

// The fixture's icons moved by (dx, dy) onto a canvas of their own, changed pixel by pixel where a pack
// changed them, then passed through the format.
Image packCanvas(const AtlasFixture& game, std::int32_t dx, std::int32_t dy,
                 const std::function<void(std::uint8_t*)>& change, std::optional<DdsEncoding> encoding) {
    Image canvas = *createImage(game.image.width() + 8, game.image.height() + 8, 32);
    for (std::int32_t y = 0; y < game.image.height(); ++y)
        std::memcpy(canvas.row(y + dy) + dx * 4, game.image.row(y),
                    static_cast<std::size_t>(game.image.width()) * 4);
    for (std::int32_t y = 0; y < canvas.height(); ++y) {
        for (std::int32_t x = 0; x < canvas.width(); ++x) {
            if (canvas.row(y)[x * 4 + 3] > 0) change(canvas.row(y) + x * 4);
        }
    }
    if (!encoding) return canvas;
    const std::vector<std::uint8_t> dds = *encodeDds(canvas, DdsPixelFormat{*encoding}, 1);
    return *decodeDds(dds.data(), dds.size()).image;
}

}  // namespace

TEST(IconLikeness, BlockCompressionPassesAndChangesDoNot) {
    const AtlasFixture game = AtlasFixture::generate({60, 256, 256, 3, 28, 11, "icon"});
    const auto unchanged = [](std::uint8_t*) {};
    struct Case {
        const char* name;
        std::int32_t dx, dy;
        std::function<void(std::uint8_t*)> change;
        std::optional<DdsEncoding> encoding;
        bool equal;  // what every icon should be found
    };
    const Case cases[] = {
        {"moved", 3, 5, unchanged, std::nullopt, true},
        {"DXT5 at another place", 1, 2, unchanged, DdsEncoding::Bc3, true},
        {"DXT5 on the same grid", 4, 0, unchanged, DdsEncoding::Bc3, true},
        {"colours inverted", 1, 2,
         [](std::uint8_t* p) {
             for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(255 - p[c]);
         },
         DdsEncoding::Bc3, false},
        {"a fifth brighter", 1, 2,
         [](std::uint8_t* p) {
             for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::min(255, p[c] * 6 / 5 + 8));
         },
         DdsEncoding::Bc3, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Image pack = packCanvas(game, c.dx, c.dy, c.change, c.encoding);
        int agreeing = 0;
        for (const FixtureIcon& icon : game.icons) {
            const Image gameIcon = *grabImage(game.image, icon.x, icon.y, icon.width, icon.height);
            const bool equal =
                looksLikeGameIcon({&pack, icon.x + c.dx, icon.y + c.dy, icon.width, icon.height}, gameIcon);
            agreeing += equal == c.equal;
        }
        EXPECT_EQ(agreeing, static_cast<int>(game.icons.size()));
    }
}

TEST(IconLikeness, AMarkOrAnotherSizeIsAnIconOfItsOwn) {
    const Image game = AtlasFixture::drawIcon(24, 20, 5);
    Image marked = *grabImage(game, 0, 0, 24, 20);
    for (std::int32_t y = 8; y < 12; ++y) std::memset(marked.row(y) + 10 * 4, 0xFF, 16);
    EXPECT_TRUE(looksLikeGameIcon({&game, 0, 0, 24, 20}, game));
    EXPECT_FALSE(looksLikeGameIcon({&marked, 0, 0, 24, 20}, game));
    EXPECT_FALSE(looksLikeGameIcon({&game, 0, 0, 23, 20}, game));
    EXPECT_FALSE(looksLikeGameIcon({&game, 1, 0, 24, 20}, game));  // reaches past the image
}
