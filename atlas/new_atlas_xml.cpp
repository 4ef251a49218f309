#include "atlas/new_atlas_xml.h"

#include "atlas/atlas_writer.h"
#include "platform/file_system.h"
#include "platform/reporter.h"

std::optional<NewAtlasXml> NewAtlasXml::create(const std::string& path, Reporter& reporter) {
    std::optional<TextFile> file = createReplacementTextFile(path);
    if (!file) {
        reporter.logError("Can't create atlas XML file.");
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
        reporter.logError("Can't write atlas XML file: " + name_);
    }
}
