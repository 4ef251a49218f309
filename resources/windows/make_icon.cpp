// Draws the program's icon (ui/icon_picture.h) at the sizes Windows asks for and writes it as an
// .ico file of 32-bit images.
// Built and run on the build machine. Usage: make_icon OUTPUT.ico

#include <cstdint>
#include <cstdio>
#include <vector>

#include "../../ui/icon_picture.h"

namespace {

// BGRA, bottom row first, as an icon's bitmap wants it.
std::vector<std::uint8_t> drawIcon(int size) {
    const std::vector<std::uint8_t> rgba = icon_picture::drawIcon(size);
    std::vector<std::uint8_t> pixels(rgba.size());
    const std::size_t rowBytes = static_cast<std::size_t>(size) * 4;
    for (std::size_t row = 0; row < static_cast<std::size_t>(size); ++row) {
        const std::uint8_t* source = rgba.data() + row * rowBytes;
        std::uint8_t* target = pixels.data() + (static_cast<std::size_t>(size) - 1 - row) * rowBytes;
        for (std::size_t x = 0; x < rowBytes; x += 4) {
            target[x] = source[x + 2];
            target[x + 1] = source[x + 1];
            target[x + 2] = source[x];
            target[x + 3] = source[x + 3];
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
