#include "tests/support/atlas_fixture.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <stdexcept>

#include "atlas/atlas_descriptor_reader.h"
#include "tests/support/test_files.h"

namespace {

// A plain copy, not a blend: keeps the colour of transparent pixels, as the game's atlases do.
void copyInto(Image& target, const Image& source, std::int32_t x, std::int32_t y) {
    for (std::int32_t row = 0; row < source.height() && y + row < target.height(); ++row) {
        const auto columns = std::min(source.width(), target.width() - x);
        std::memcpy(target.row(y + row) + x * 4, source.row(row), static_cast<std::size_t>(columns) * 4);
    }
}

}  // namespace

Image solidImage(std::int32_t width, std::int32_t height, std::uint8_t red, std::uint8_t green,
                 std::uint8_t blue) {
    Image image = *createImage(width, height, 32);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t pixel[4] = {red, green, blue, 255};
            std::memcpy(image.row(y) + x * 4, pixel, 4);
        }
    }
    return image;
}

std::string pngFileText(const Image& image) {
    const std::vector<std::uint8_t> png = *encodePng(image);
    return std::string(png.begin(), png.end());
}

Image AtlasFixture::drawIcon(std::int32_t width, std::int32_t height, unsigned seed) {
    std::mt19937 random(seed);
    Image icon = *createImage(width, height, 32);
    const auto channel = [&] { return static_cast<std::uint8_t>(random() % 256); };
    const std::uint8_t red = channel(), green = channel(), blue = channel();
    const std::uint8_t hiddenRed = channel();
    const double opacity = 0.35 + 0.65 * (random() % 1000) / 1000.0;
    const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
    const double rx = std::max(width / 2.0, 0.5), ry = std::max(height / 2.0, 0.5);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* p = icon.row(y);
        for (std::int32_t x = 0; x < width; ++x, p += 4) {
            // A soft-edged ellipse with a stripe; outside it transparent pixels keep a colour.
            const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
            const double coverage = std::clamp((1.0 - d) * std::min(rx, ry), 0.0, 1.0);
            const bool stripe = (x + y) % 5 == 0;
            p[0] = coverage > 0 ? static_cast<std::uint8_t>(stripe ? 255 - red : red) : hiddenRed;
            p[1] = coverage > 0 ? green : static_cast<std::uint8_t>(x * 9);
            p[2] = coverage > 0 ? blue : static_cast<std::uint8_t>(y * 7);
            p[3] = static_cast<std::uint8_t>(std::lround(255.0 * coverage * opacity));
        }
    }
    return icon;
}

AtlasFixture AtlasFixture::generate(const AtlasFixtureOptions& options) {
    std::mt19937 random(options.seed);
    AtlasFixture fixture{*createImage(options.atlasWidth, options.atlasHeight, 32), {}};
    const auto side = [&] {
        return options.minimumSide +
               static_cast<std::int32_t>(
                   random() % static_cast<unsigned>(options.maximumSide - options.minimumSide + 1));
    };
    // Shelf packing with one-pixel gaps, as game atlases are packed.
    std::int32_t x = 0, y = 0, rowHeight = 0;
    for (int i = 0; i < options.iconCount; ++i) {
        const std::int32_t width = side(), height = side();
        if (x + width > options.atlasWidth) {
            x = 0;
            y += rowHeight + 1;
            rowHeight = 0;
        }
        if (y + height > options.atlasHeight) break;
        const Image icon = drawIcon(width, height, options.seed * 7919u + static_cast<unsigned>(i));
        copyInto(fixture.image, icon, x, y);
        char number[16];
        std::snprintf(number, sizeof number, "%04d", i);
        fixture.icons.push_back({options.namePrefix + "_" + number, x, y, width, height});
        x += width + 1;
        rowHeight = std::max(rowHeight, height);
    }
    return fixture;
}

AtlasFixture AtlasFixture::fromGameXml(std::string_view xml, unsigned seed) {
    AtlasFixture fixture{*createImage(1, 1, 32), {}};
    AtlasDescriptorReader reader;
    std::int32_t width = 1, height = 1;
    for (std::size_t start = 0; start < xml.size();) {
        const std::size_t end = std::min(xml.find_first_of("\r\n", start), xml.size());
        if (const auto entry = reader.readLine(xml.substr(start, end - start)).entry) {
            FixtureIcon icon{entry->name, static_cast<std::int32_t>(entry->x),
                             static_cast<std::int32_t>(entry->y), static_cast<std::int32_t>(entry->width),
                             static_cast<std::int32_t>(entry->height)};
            width = std::max(width, icon.x + icon.width);
            height = std::max(height, icon.y + icon.height);
            fixture.icons.push_back(std::move(icon));
        }
        start = end + 1;
    }
    fixture.image = *createImage(width, height, 32);
    unsigned index = 0;
    for (const FixtureIcon& icon : fixture.icons) {
        if (icon.width > 0 && icon.height > 0)
            copyInto(fixture.image, drawIcon(icon.width, icon.height, seed * 7919u + index++), icon.x,
                     icon.y);
    }
    return fixture;
}

AtlasFixture AtlasFixture::battleSized(unsigned seed) {
    return generate({1500, 2048, 2048, 8, 64, seed, "contour"});
}

AtlasFixture AtlasFixture::markerSized(unsigned seed) {
    return generate({600, 2048, 1024, 8, 48, seed, "marker"});
}

std::string AtlasFixture::xml(std::string_view entryIndent, std::string_view fieldIndent,
                              std::string_view lineEnd) const {
    const auto line = [&](std::string_view indent, const std::string& text) {
        return std::string(indent) + text + std::string(lineEnd);
    };
    std::string xml = line("", "<root>");
    for (const FixtureIcon& icon : icons) {
        xml += line(entryIndent, "<SubTexture>") + line(fieldIndent, "<name> " + icon.name + " </name>") +
               line(fieldIndent, "<x> " + std::to_string(icon.x) + " </x>") +
               line(fieldIndent, "<y> " + std::to_string(icon.y) + " </y>") +
               line(fieldIndent, "<width> " + std::to_string(icon.width) + " </width>") +
               line(fieldIndent, "<height> " + std::to_string(icon.height) + " </height>") +
               line(entryIndent, "</SubTexture>");
    }
    return xml + line("", "</root>");
}

std::string AtlasFixture::gameXml() const {
    return xml("\t", "\t\t", "\n");
}

std::string AtlasFixture::writerFormXml() const {
    return xml("  ", "    ", "\r\n");
}

std::vector<AtlasDescriptorEntry> writtenAtlasEntries(const std::string& xmlPath) {
    AtlasDescriptorReader reader;
    std::vector<AtlasDescriptorEntry> entries;
    for (const std::string& line : readCrLfLines(xmlPath)) {
        if (auto entry = reader.readLine(line).entry) entries.push_back(*entry);
    }
    return entries;
}
