#pragma once

#include <cstdint>
#include <string>

struct Context;

// Counts the "*.png" files (any letter case, not directories) directly in the directory; 0 with an error
// logged when it is not an existing directory.
std::int32_t scanNewIcons(Context& context, const std::string& directory);
