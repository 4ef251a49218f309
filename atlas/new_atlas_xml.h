#pragma once

// The new atlas XML as both atlas writers produce it: "<root>", one SubTexture entry per drawn icon,
// "</root>", written beside the old file and renamed over it only when complete.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_file.h"

class Reporter;

class NewAtlasXml {
public:
    // Reports "Created empty xml file.", or the error and none.
    static std::optional<NewAtlasXml> create(const std::string& path, Reporter& reporter);

    void addIcon(std::string_view name, std::int64_t x, std::int64_t y, std::int64_t width,
                 std::int64_t height);
    // Closes the root and the file, and reports how that went.
    void finish(Reporter& reporter);

private:
    NewAtlasXml(TextFile file, std::string name) : file_(std::move(file)), name_(std::move(name)) {}

    TextFile file_;
    std::string name_;
};
