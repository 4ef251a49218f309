#pragma once

// The icon catalogue: one line "name,width,height" per icon of an atlas, in the atlas XML's order.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Reporter;

// The catalogue line of an icon: the last component of its name (the file it was saved as, without
// ".png"), its width and its height.
std::string catalogueLine(std::string_view iconName, std::int64_t width, std::int64_t height);

struct CatalogueEntry {
    std::string name;
    std::int32_t width = 0;  // 0 when the line does not hold a number there
    std::int32_t height = 0;
};

// Every line of the catalogue at path as an entry, quietly; none when it cannot be opened.
std::optional<std::vector<CatalogueEntry>> readCatalogueEntries(const std::string& path);

// The names alone, quietly.
std::optional<std::vector<std::string>> readCatalogueNames(const std::string& path);

// The entries of the catalogue directory + catalogueName, one per line (an empty line gives an empty name);
// none, with the error reported, when it cannot be opened.
std::optional<std::vector<CatalogueEntry>> readIconCatalogue(const std::string& directory,
                                                             std::string_view catalogueName,
                                                             Reporter& reporter);
