#pragma once

// The icon catalogue: one line "name,width,height" per icon of an atlas, in the atlas XML's order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct Context;

// The catalogue line of an icon file name (its last path component without ".png").
std::string catalogueLine(std::string_view iconFileName, std::int64_t width, std::int64_t height);

// The icon names of the catalogue in the working directory, one per line (an empty line gives an empty
// name); none, with the error logged, when it cannot be opened.
std::optional<std::vector<std::string>> readIconCatalogue(Context& context, std::string_view catalogueName);
