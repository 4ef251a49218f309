// Draws the program's icon (the picture of resources/ravelin.svg: atlas tiles above a tank on a dark
// rounded square) at the sizes Windows asks for and writes it as an .ico file of 32-bit images.
// Built and run on the build machine. Usage: make_icon OUTPUT.ico

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Colour {
    std::uint8_t red, green, blue;
};
constexpr Colour kBackground{0x2b, 0x3a, 0x42};
constexpr Colour kTile{0xf0, 0xc4, 0x19};
constexpr Colour kTank{0xe8, 0xee, 0xf1};

bool inRect(double x, double y, double left, double top, double width, double height) {
    return x >= left && x < left + width && y >= top && y < top + height;
}

bool inCircle(double x, double y, double cx, double cy, double r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool inRoundedSquare(double x, double y) {
    if (!inRect(x, y, 4, 4, 56, 56)) return false;
    const double cx = x < 12 ? 12 : (x > 52 ? 52 : x);
    const double cy = y < 12 ? 12 : (y > 52 ? 52 : y);
    return inCircle(x, y, cx, cy, 8);
}

bool inTank(double x, double y) {
    // Hull, the sloping front of the turret, the gun, and two wheels.
    const bool hull = inRect(x, y, 14, 48, 30, 2);
    const bool slope = x + y >= 88 && x + y <= 94 && y >= 42 && y <= 50 && x >= 40;
    const bool gun = inRect(x, y, 46, 42, 8, 4);
    return hull || slope || gun || inCircle(x, y, 20, 52, 3) || inCircle(x, y, 32, 52, 3);
}

bool inTiles(double x, double y) {
    return inRect(x, y, 10, 10, 20, 12) || inRect(x, y, 32, 10, 22, 12) || inRect(x, y, 10, 24, 14, 10) ||
           inRect(x, y, 26, 24, 14, 10);
}

// Premultiplied-free BGRA, bottom row first, as an icon's bitmap wants it.
std::vector<std::uint8_t> drawIcon(int size) {
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
                (static_cast<std::size_t>(size - 1 - row) * static_cast<std::size_t>(size) + column) * 4;
            if (cover > 0) {
                pixels[at] = static_cast<std::uint8_t>(std::lround(blue / cover));
                pixels[at + 1] = static_cast<std::uint8_t>(std::lround(green / cover));
                pixels[at + 2] = static_cast<std::uint8_t>(std::lround(red / cover));
                pixels[at + 3] = static_cast<std::uint8_t>(std::lround(255 * cover / (kSamples * kSamples)));
            }
        }
    }
    return pixels;
}

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, unsigned value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// One icon image: the bitmap header (double height for the mask), the colours, an all-clear AND mask.
std::vector<std::uint8_t> iconImage(int size) {
    std::vector<std::uint8_t> image;
    put32(image, 40);
    put32(image, static_cast<unsigned>(size));
    put32(image, static_cast<unsigned>(size * 2));
    put16(image, 1);
    put16(image, 32);
    for (int i = 0; i < 6; ++i) put32(image, 0);
    const std::vector<std::uint8_t> pixels = drawIcon(size);
    image.insert(image.end(), pixels.begin(), pixels.end());
    const std::size_t maskRow = static_cast<std::size_t>((size + 31) / 32 * 4);
    image.resize(image.size() + maskRow * static_cast<std::size_t>(size), 0);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const int sizes[] = {16, 20, 24, 32, 40, 48, 64};
    const unsigned count = sizeof sizes / sizeof sizes[0];
    std::vector<std::vector<std::uint8_t>> images;
    for (const int size : sizes) images.push_back(iconImage(size));
    std::vector<std::uint8_t> file;
    put16(file, 0);
    put16(file, 1);
    put16(file, count);
    unsigned offset = 6 + 16 * count;
    for (unsigned i = 0; i < count; ++i) {
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(static_cast<std::uint8_t>(sizes[i]));
        file.push_back(0);
        file.push_back(0);
        put16(file, 1);
        put16(file, 32);
        put32(file, static_cast<unsigned>(images[i].size()));
        put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
