#pragma once

// Builds one new atlas: every catalogued icon (replacement or default) drawn onto a transparent
// 2048 x 2048 canvas at its layout spot, plus the atlas XML naming each drawn icon's rectangle.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Context;
struct GatheredIcons;

// Writes acCurrentDir + atlas image name and acCurrentDir + atlas XML name, each replacing an earlier file
// only when complete. False when the catalogue, the canvas or the XML cannot be created; a failed image
// save is only logged.
bool buildAtlas(Context& context, std::string_view atlasImageName, std::string_view atlasXmlName,
                const std::string& defaultIconDirectory, std::string_view catalogueName);

// The part after gathering: the canvas, the drawing in layout order, the XML and the image. Each icon is
// loaded again for drawing, from the file it was measured from; one that no longer loads is logged and
// left out.
bool drawAtlas(Context& context, const std::string& atlasImageName, const std::string& atlasXmlName,
               const GatheredIcons& gathered);

// The seven lines of one SubTexture entry.
std::vector<std::string> subTextureLines(std::string_view name, std::int64_t x, std::int64_t y,
                                         std::int64_t width, std::int64_t height);
