#pragma once

// Takes one original atlas apart: every entry of its atlas XML becomes one icon PNG in the kind's icon
// directory and one line of the icon catalogue.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "image/image.h"

class PendingFiles;
class Reporter;
struct AtlasDescriptorEntry;
struct AtlasKind;

struct AtlasExtraction {
    // The number of name fields found, or 0 when the XML, the image or the catalogue cannot be opened.
    std::int32_t iconCount = 0;
    // The atlas image's size, once it was loaded.
    bool atlasImageLoaded = false;
    std::int32_t atlasWidth = 0;
    std::int32_t atlasHeight = 0;
    // Icon files written; one that already held the same bytes is left as it is.
    std::int32_t iconFilesWritten = 0;
};

// Reads the kind's atlas XML and image from originalAtlasDirectory, as they are in pending, and writes the
// icons to workingDirectory + the kind's icon directory, the catalogue to workingDirectory (both
// directories end in the separator). What it writes is left in pending, a file it could not write noted
// there.
AtlasExtraction extractAtlasIcons(const AtlasKind& kind, const std::string& originalAtlasDirectory,
                                  const std::string& workingDirectory, Reporter& reporter,
                                  PendingFiles& pending);
// The same, each file put in place at the end, those written even when others could not be.
AtlasExtraction extractAtlasIcons(const AtlasKind& kind, const std::string& originalAtlasDirectory,
                                  const std::string& workingDirectory, Reporter& reporter);

// The icon an atlas XML entry names, cut from the atlas image after the checks every atlas file's entries
// get: a name that makes a file inside the icon directory, numbers that fit, a rectangle that meets the
// image and is no larger than it. None with the error reported, naming the icon's file.
std::optional<Image> cutAtlasIcon(const Image& atlas, const AtlasDescriptorEntry& entry, Reporter& reporter);
