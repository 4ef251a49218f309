#pragma once

// Reads atlas XML line by line, without an XML parser: each of the five fields (name, x, y, width,
// height) is taken from the first line that holds its opening marker, and an entry is complete at the
// end of the first line after which its name, width and height are all known. The game's files and the
// ones this program writes are read the same way.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The trimmed text between the opening marker and the closing marker (searched from the line's start),
// empty when the closing marker is missing or stands too early; none when the opening marker is absent.
std::optional<std::string> atlasFieldValue(std::string_view line, std::string_view openingMarker,
                                           std::string_view closingMarker);

struct AtlasDescriptorEntry {
    std::string name;  // the name field; the icon's file is this name + ".png"
    std::int64_t x = -1;
    std::int64_t y = -1;
    std::int64_t width = -1;
    std::int64_t height = -1;
};

// The number of complete entries in an atlas XML file; none when it cannot be read.
std::optional<std::int64_t> countAtlasEntries(const std::string& path);

class AtlasDescriptorReader {
public:
    struct LineResult {
        std::optional<std::string> foundName;       // a name field was read: count it, show it
        std::optional<AtlasDescriptorEntry> entry;  // complete after this line
    };

    LineResult readLine(std::string_view line);

private:
    AtlasDescriptorEntry pending_;
    bool named_ = false;
};

// The complete entries of an atlas XML held in memory, read as a file of it would be: lines end at CR, LF
// or NUL, and bytes that form no character become "?".
std::vector<AtlasDescriptorEntry> atlasEntriesOfText(std::string_view text);
