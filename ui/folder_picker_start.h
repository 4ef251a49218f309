#pragma once

// Where a folder picker starts, the same for every backend: the initial directory up to 259 characters
// (UTF-16 units, as Windows counts them), without its trailing separator unless it is no longer than a
// drive root such as "C:\".

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/path_separator.h"

inline std::string folderPickerStart(std::string_view directory) {
    constexpr std::size_t kMaximumUnits = 259;
    std::size_t units = 0;
    std::size_t end = 0;
    while (end < directory.size()) {
        const auto lead = static_cast<unsigned char>(directory[end]);
        const std::size_t bytes = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const std::size_t width = bytes == 4 ? 2 : 1;  // beyond the basic plane: a surrogate pair
        if (units + width > kMaximumUnits) break;
        units += width;
        end = std::min(end + bytes, directory.size());
    }
    std::string start(directory.substr(0, end));
    if (units > 3 && isPathSeparator(start.back())) start.pop_back();
    return start;
}
