#include "atlas/icon_catalogue.h"

#include "platform/file_system.h"
#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::string catalogueLine(std::string_view iconName, std::int64_t width, std::int64_t height) {
    return fileNamePart(std::string(iconName) + ".png", true) + "," + std::to_string(width) + "," +
           std::to_string(height);
}

std::optional<std::vector<std::string>> readIconCatalogue(const std::string& directory,
                                                          std::string_view catalogueName,
                                                          Reporter& reporter) {
    const std::string name(catalogueName);
    std::optional<TextFile> file = openTextFileForReading(directory + name);
    if (!file) {
        reporter.logError("Can't open atlas descriptor: " + name + ".");
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (!atEndOfFile(*file)) {
        std::string line = readLine(*file);
        const std::size_t comma = line.find(',');
        if (comma != std::string::npos) line.resize(comma);
        names.push_back(std::move(line));
    }
    closeTextFile(*file);
    reporter.logInfo("Loaded descriptor: " + name);
    return names;
}
