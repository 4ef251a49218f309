#pragma once

// Where a folder picker starts, the same for every backend: the initial directory up to 259 characters
// (UTF-16 units, as Windows counts them), without its trailing separator unless it is no longer than a
// drive root such as "C:\".

#include <string>
#include <string_view>

#include "platform/path_separator.h"
#include "platform/text_utilities.h"

inline std::string folderPickerStart(std::string_view directory) {
    constexpr std::size_t kMaximumUnits = 259;
    std::size_t units = 0;
    std::size_t end = 0;
    for (std::size_t next = 0; next < directory.size();) {
        const auto width = static_cast<std::size_t>(utf16UnitCount(nextCodePoint(directory, next)));
        if (units + width > kMaximumUnits) break;
        units += width;
        end = next;
    }
    std::string start(directory.substr(0, end));
    if (units > 3 && isPathSeparator(start.back())) start.pop_back();
    return start;
}
