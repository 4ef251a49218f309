#pragma once

// What both atlas writers write: the new atlas XML in its exact form ("<root>", one SubTexture entry per
// drawn icon, "</root>", written beside the old file and renamed over it only when complete), and the
// report of a saved atlas image.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_file.h"

#include <vector>

class Reporter;

// The seven lines of one SubTexture entry.
std::vector<std::string> subTextureLines(std::string_view name, std::int64_t x, std::int64_t y,
                                         std::int64_t width, std::int64_t height);
// Logs how saving a new atlas image went.
void reportAtlasImageSave(bool saved, const std::string& path, Reporter& reporter);

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
