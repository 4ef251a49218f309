#pragma once

// Generated atlases: an image with icons of varied size, shape and alpha (antialiased edges, and
// transparent pixels that still carry colour, as exported game icons do), plus its atlas XML.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "atlas/atlas_descriptor_reader.h"
#include "image/png_codec.h"

struct FixtureIcon {
    std::string name;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct AtlasFixtureOptions {
    int iconCount = 12;
    std::int32_t atlasWidth = 256;
    std::int32_t atlasHeight = 256;
    std::int32_t minimumSide = 4;
    std::int32_t maximumSide = 24;
    unsigned seed = 1;
    std::string namePrefix = "icon";
};

// An opaque image of one colour.
Image solidImage(std::int32_t width, std::int32_t height, std::uint8_t red, std::uint8_t green,
                 std::uint8_t blue);
// The bytes of the image's PNG file.
std::string pngFileText(const Image& image);
// The entries of a written atlas XML, read back the way atlas XML is read.
std::vector<AtlasDescriptorEntry> writtenAtlasEntries(const std::string& xmlPath);

struct AtlasFixture {
    Image image;
    std::vector<FixtureIcon> icons;

    // Icons that do not fit into the atlas height are left out.
    static AtlasFixture generate(const AtlasFixtureOptions& options);
    static AtlasFixture battleSized(unsigned seed = 7);  // about 1500 icons on 2048 x 2048
    static AtlasFixture markerSized(unsigned seed = 8);  // about 600 icons
    // Icons drawn into the rectangles of a real atlas XML, on a canvas of the XML's extent.
    static AtlasFixture fromGameXml(std::string_view xml, unsigned seed = 9);

    // The XML as the game ships it: tab-indented, LF line ends, one field per line.
    std::string gameXml() const;
    // The XML in the form the atlas writer produces: blank-indented, CR LF line ends.
    std::string writerFormXml() const;
    // Draws one icon's pixels (used for replacement icons too).
    static Image drawIcon(std::int32_t width, std::int32_t height, unsigned seed);

private:
    std::string xml(std::string_view entryIndent, std::string_view fieldIndent,
                    std::string_view lineEnd) const;
};
