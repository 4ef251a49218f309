#pragma once

// Takes one original atlas apart: every entry of its atlas XML becomes one icon PNG in the icon
// directory and one line of the icon catalogue; the atlas image's size is stored in the settings.

#include <cstdint>
#include <string_view>

struct Context;
struct AtlasKind;

// Reads the atlas XML and image from acOriginalAtlasDir, writes the icons to acCurrentDir + icon
// directory and the catalogue to acCurrentDir. Returns the number of name fields found, or 0 when the XML,
// the image or the catalogue cannot be opened.
std::int32_t extractAtlasIcons(Context& context, std::string_view iconDirectory,
                               std::string_view atlasImageName, std::string_view atlasXmlName,
                               std::string_view catalogueName);
std::int32_t extractAtlasIcons(Context& context, const AtlasKind& kind);

// Whether a relative icon file name stays inside its directory: not rooted, no ".." component.
bool staysInsideDirectory(std::string_view relativePath);
