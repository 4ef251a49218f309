#pragma once

// The program's icon as a picture (the one of resources/ravelin.svg: atlas tiles above a tank on a dark
// rounded square), drawn at any size without a library: by the Windows build's icon maker and by the Linux
// windows. C++17, for the build machine's compiler.

#include <cmath>
#include <cstdint>
#include <vector>

namespace icon_picture {

struct Colour {
    std::uint8_t red, green, blue;
};
constexpr Colour kBackground{0x2b, 0x3a, 0x42};
constexpr Colour kTile{0xf0, 0xc4, 0x19};
constexpr Colour kTank{0xe8, 0xee, 0xf1};

inline bool inRect(double x, double y, double left, double top, double width, double height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

inline bool inCircle(double x, double y, double cx, double cy, double r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

inline bool inRoundedSquare(double x, double y) {
    if (!inRect(x, y, 4, 4, 56, 56)) return false;
    const double cx = x < 12 ? 12 : (x > 52 ? 52 : x);
    const double cy = y < 12 ? 12 : (y > 52 ? 52 : y);
    return inCircle(x, y, cx, cy, 8);
}

inline bool inTank(double x, double y) {
    // Hull, the sloping front of the turret, the gun, and two wheels.
    const bool hull = inRect(x, y, 14, 48, 30, 2);
    const bool slope = x + y >= 88 && x + y <= 94 && y >= 42 && y <= 50 && x >= 40;
    const bool gun = inRect(x, y, 46, 42, 8, 4);
    return hull || slope || gun || inCircle(x, y, 20, 52, 3) || inCircle(x, y, 32, 52, 3);
}

inline bool inTiles(double x, double y) {
    return inRect(x, y, 10, 10, 20, 12) || inRect(x, y, 32, 10, 22, 12) || inRect(x, y, 10, 24, 14, 10) ||
           inRect(x, y, 26, 24, 14, 10);
}

// Straight (not premultiplied) RGBA, top row first, size x size pixels.
inline std::vector<std::uint8_t> drawIcon(int size) {
    constexpr int kSamples = 4;  // per axis, for smooth edges
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4);
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            double red = 0, green = 0, blue = 0, cover = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (column + (sx + 0.5) / kSamples) * 64.0 / size;
                    const double y = (row + (sy + 0.5) / kSamples) * 64.0 / size;
                    if (!inRoundedSquare(x, y)) continue;
                    const Colour colour = inTank(x, y) ? kTank : inTiles(x, y) ? kTile : kBackground;
                    red += colour.red;
                    green += colour.green;
                    blue += colour.blue;
                    cover += 1;
                }
            }
            const std::size_t at =
                (static_cast<std::size_t>(row) * static_cast<std::size_t>(size) + column) * 4;
            if (cover > 0) {
                pixels[at] = static_cast<std::uint8_t>(std::lround(red / cover));
                pixels[at + 1] = static_cast<std::uint8_t>(std::lround(green / cover));
                pixels[at + 2] = static_cast<std::uint8_t>(std::lround(blue / cover));
                pixels[at + 3] = static_cast<std::uint8_t>(std::lround(255 * cover / (kSamples * kSamples)));
            }
        }
    }
    return pixels;
}

}  // namespace icon_picture
