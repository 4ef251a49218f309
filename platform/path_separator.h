#pragma once

#include <string>
#include <string_view>

// Where the program's texts put "\" into a path, the platform's own separator is used.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

// Appends the separator unless the text already ends in one of the two separators.
inline std::string withTrailingSeparator(std::string_view directory) {
    std::string result(directory);
    if (result.empty() || !isPathSeparator(result.back())) result += kPathSeparator;
    return result;
}
