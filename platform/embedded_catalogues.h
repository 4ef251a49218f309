#pragma once

// The catalogues of translations/, built into the program as text (cmake/embed_catalogues.cmake writes
// the definition at build time), so no file is needed at run time.

#include <span>
#include <string_view>

struct EmbeddedCatalogue {
    std::string_view language;  // the file name without ".po": "ru", "de", "pt_BR"
    std::string_view text;
};

std::span<const EmbeddedCatalogue> embeddedCatalogues();
