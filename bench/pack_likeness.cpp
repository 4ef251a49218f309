// Measures what the import's likeness test (mods/icon_likeness) tells apart: the game's icons as a pack's
// DXT5 pass leaves them against icons a pack changed. The icons are the test fixture's (thin, striped, with
// coloured invisible pixels) drawn into the rectangles of a real atlas XML.
//   ravelin_pack_likeness ATLAS.xml
// Two ways an unchanged icon reaches the pack, each with four changes besides:
//   once:  the game's icons as they are, moved to the pack's layout, encoded once with squish's cluster fit
//          (all sixteen pixels weighed alike, as a naive DXT5 tool does);
//   chain: the game block-compressed (BC3) in its layout, the older game likewise in the pack's layout,
//          then the pack's DXT5 pass over the older game's pixels: three compressions on two block grids.
// Per case: the icons found equal to the game's (the share should be 100 % unchanged, 0 % changed) and the
// PSNR range over their visible pixels, which shows why a threshold on it cannot decide.

#include <squish.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "image/dds_codec.h"
#include "mods/icon_likeness.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/test_files.h"

namespace {

struct Place {
    std::int32_t x = 0, y = 0, width = 0, height = 0;
};

// Every 4 x 4 block of the image through the encoder and back.
Image throughBlocks(const Image& image, const std::function<void(std::uint8_t*)>& roundTrip) {
    Image out = *createImage(image.width(), image.height(), 32);
    for (std::int32_t by = 0; by < (image.height() + 3) / 4; ++by) {
        for (std::int32_t bx = 0; bx < (image.width() + 3) / 4; ++bx) {
            std::uint8_t pixels[64];
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 4; ++x)
                    std::memcpy(pixels + y * 16 + x * 4,
                                image.row(std::min(by * 4 + y, image.height() - 1)) +
                                    std::min(bx * 4 + x, image.width() - 1) * 4,
                                4);
            roundTrip(pixels);
            for (int y = 0; y < 4 && by * 4 + y < image.height(); ++y)
                for (int x = 0; x < 4 && bx * 4 + x < image.width(); ++x)
                    std::memcpy(out.row(by * 4 + y) + (bx * 4 + x) * 4, pixels + y * 16 + x * 4, 4);
        }
    }
    return out;
}

void naiveDxt5(std::uint8_t* pixels) {
    std::uint8_t block[16];
    squish::Compress(pixels, block, squish::kDxt5 | squish::kColourClusterFit);
    squish::Decompress(pixels, block, squish::kDxt5);
}

Image ravelinBc3(const Image& image) {
    const std::vector<std::uint8_t> dds = *encodeDds(image, DdsPixelFormat{}, 1);
    return *decodeDds(dds.data(), dds.size()).image;
}

double visiblePsnr(const Image& pack, const Place& place, const Image& game) {
    double squares = 0, samples = 0;
    for (std::int32_t y = 0; y < place.height; ++y) {
        for (std::int32_t x = 0; x < place.width; ++x) {
            const std::uint8_t* g = game.row(y) + x * 4;
            const std::uint8_t* p = pack.row(place.y + y) + (place.x + x) * 4;
            if (g[3] == 0) continue;
            for (int c = 0; c < 4; ++c) squares += (g[c] - p[c]) * (g[c] - p[c]);
            samples += 4;
        }
    }
    return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ATLAS.xml\n", argv[0]);
        return 2;
    }
    const AtlasFixture source = AtlasFixture::fromGameXml(readFileText(argv[1]));
    // The pack's layout: shelves on a 4096-wide canvas, tallest first, at other block offsets.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < source.icons.size(); ++i)
        if (source.icons[i].width > 0 && source.icons[i].height > 0) order.push_back(i);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return source.icons[a].height > source.icons[b].height; });
    std::vector<Place> places(source.icons.size());
    std::int32_t x = 1, y = 1, rowHeight = 0;
    for (const std::size_t i : order) {
        const FixtureIcon& icon = source.icons[i];
        if (x + icon.width + 1 > 4096) {
            x = 1 + y % 3;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        places[i] = {x, y, icon.width, icon.height};
        x += icon.width + 1 + static_cast<std::int32_t>(i % 3);
        rowHeight = std::max(rowHeight, icon.height);
    }
    Image moved = *createImage(4096, y + rowHeight + 2, 32);
    for (const std::size_t i : order) {
        const FixtureIcon& icon = source.icons[i];
        for (std::int32_t row = 0; row < icon.height; ++row)
            std::memcpy(moved.row(places[i].y + row) + places[i].x * 4,
                        source.image.row(icon.y + row) + icon.x * 4,
                        static_cast<std::size_t>(icon.width) * 4);
    }
    struct Change {
        const char* name;
        std::function<void(std::uint8_t*)> pixel;  // on visible pixels
        bool mark;  // a 4 x 4 white mark in the middle of icons of 8 x 8 or more
    };
    const Change changes[] = {
        {"unchanged", [](std::uint8_t*) {}, false},
        {"tinted red by 30 %",
         [](std::uint8_t* p) { p[0] = static_cast<std::uint8_t>(p[0] + (255 - p[0]) * 3 / 10); }, false},
        {"15 % brighter",
         [](std::uint8_t* p) {
             for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>(std::min(255, p[c] * 115 / 100));
         },
         false},
        {"channels rotated",
         [](std::uint8_t* p) {
             const std::uint8_t red = p[0];
             p[0] = p[1], p[1] = p[2], p[2] = red;
         },
         false},
        {"4 x 4 white mark", [](std::uint8_t*) {}, true},
    };
    std::printf("| %-6s | %-20s | %5s | %14s | %13s |\n|---|---|---:|---:|---:|\n", "way", "pack's icons",
                "icons", "found equal", "PSNR dB");
    for (const bool chain : {false, true}) {
        const Image game = chain
                               ? ravelinBc3(source.image)
                               : *grabImage(source.image, 0, 0, source.image.width(), source.image.height());
        const Image older =
            chain ? ravelinBc3(moved) : *grabImage(moved, 0, 0, moved.width(), moved.height());
        for (const Change& change : changes) {
            Image edited = *grabImage(older, 0, 0, older.width(), older.height());
            for (std::int32_t row = 0; row < edited.height(); ++row)
                for (std::int32_t column = 0; column < edited.width(); ++column)
                    if (edited.row(row)[column * 4 + 3] > 0) change.pixel(edited.row(row) + column * 4);
            std::size_t icons = 0, equal = 0;
            double lowest = 99, highest = 0;
            for (const std::size_t i : order) {
                const Place& place = places[i];
                if (change.mark && (place.width < 8 || place.height < 8)) continue;
                if (change.mark)
                    for (std::int32_t row = 0; row < 4; ++row)
                        std::memset(edited.row(place.y + place.height / 2 - 2 + row) +
                                        (place.x + place.width / 2 - 2) * 4,
                                    0xFF, 16);
            }
            const Image pack = throughBlocks(edited, naiveDxt5);
            for (const std::size_t i : order) {
                const FixtureIcon& icon = source.icons[i];
                const Place& place = places[i];
                if (change.mark && (place.width < 8 || place.height < 8)) continue;
                const Image gameIcon = *grabImage(game, icon.x, icon.y, icon.width, icon.height);
                bool visible = false;
                for (std::int32_t row = 0; row < icon.height && !visible; ++row)
                    for (std::int32_t column = 0; column < icon.width && !visible; ++column)
                        visible = gameIcon.row(row)[column * 4 + 3] > 0;
                if (!visible) continue;
                ++icons;
                equal += looksLikeGameIcon({&pack, place.x, place.y, place.width, place.height}, gameIcon);
                const double psnr = visiblePsnr(pack, place, gameIcon);
                lowest = std::min(lowest, psnr);
                highest = std::max(highest, psnr);
            }
            std::printf("| %-6s | %-20s | %5zu | %6zu %6.2f%% | %5.1f - %5.1f |\n", chain ? "chain" : "once",
                        change.name, icons, equal,
                        100.0 * static_cast<double>(equal) / static_cast<double>(icons), lowest, highest);
            std::fflush(stdout);
        }
    }
    return 0;
}
