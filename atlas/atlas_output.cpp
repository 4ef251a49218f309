#include "atlas/atlas_output.h"

#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

std::vector<std::string> subTextureLines(std::string_view name, std::int64_t x, std::int64_t y,
                                         std::int64_t width, std::int64_t height) {
    return {
        "  <SubTexture>",
        "    <name> " + std::string(name) + " </name>",
        "    <x> " + std::to_string(x) + " </x>",
        "    <y> " + std::to_string(y) + " </y>",
        "    <width> " + std::to_string(width) + " </width>",
        "    <height> " + std::to_string(height) + " </height>",
        "  </SubTexture>",
    };
}

void reportAtlasImageSave(bool saved, const std::string& path, Reporter& reporter) {
    const std::string name = fileNamePart(path, false);
    if (saved) {
        reporter.logInfo("Saved new atlas image: " + name);
    } else {
        reporter.logError(englishText("Can't save atlas image {file}", {{"file", name}}));
    }
}

std::optional<NewAtlasXml> NewAtlasXml::create(const std::string& path, Reporter& reporter) {
    std::optional<TextFile> file = createReplacementTextFile(path);
    if (!file) {
        reporter.logError(englishText("Can't create atlas XML file."));
        return std::nullopt;
    }
    reporter.logInfo("Created empty xml file.");
    writeLine(*file, "<root>");
    return NewAtlasXml(std::move(*file), fileNamePart(path, false));
}

void NewAtlasXml::addIcon(std::string_view name, std::int64_t x, std::int64_t y, std::int64_t width,
                          std::int64_t height) {
    for (const std::string& line : subTextureLines(name, x, y, width, height)) writeLine(file_, line);
}

void NewAtlasXml::finish(Reporter& reporter) {
    writeLine(file_, "</root>");
    if (closeTextFile(file_)) {
        reporter.logInfo("Saved new atlas xml file: " + name_);
    } else {
        reporter.logError(englishText("Can't write atlas XML file: {file}", {{"file", name_}}));
    }
}
