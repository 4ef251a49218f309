#include "atlas/icon_catalogue.h"

#include <limits>

#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::string catalogueLine(std::string_view iconName, std::int64_t width, std::int64_t height) {
    return fileNamePart(std::string(iconName) + ".png", true) + "," + std::to_string(width) + "," +
           std::to_string(height);
}

std::optional<std::vector<CatalogueEntry>> readCatalogueEntries(const std::string& path) {
    std::optional<TextFile> file = openTextFileForReading(path);
    if (!file) return std::nullopt;
    std::vector<CatalogueEntry> entries;
    while (!atEndOfFile(*file)) {
        const std::string line = readLine(*file);
        CatalogueEntry entry;
        const std::size_t comma = line.find(',');
        entry.name = line.substr(0, comma);
        if (comma != std::string::npos) {
            const std::size_t second = line.find(',', comma + 1);
            const auto field = [](std::string_view text) {
                const std::int64_t value = parseInteger(text);
                return value > 0 && value <= std::numeric_limits<std::int32_t>::max()
                           ? static_cast<std::int32_t>(value)
                           : 0;
            };
            entry.width = field(std::string_view(line).substr(comma + 1, second - comma - 1));
            if (second != std::string::npos) entry.height = field(std::string_view(line).substr(second + 1));
        }
        entries.push_back(std::move(entry));
    }
    closeTextFile(*file);
    return entries;
}

std::optional<std::vector<std::string>> readCatalogueNames(const std::string& path) {
    std::optional<std::vector<CatalogueEntry>> entries = readCatalogueEntries(path);
    if (!entries) return std::nullopt;
    std::vector<std::string> names;
    names.reserve(entries->size());
    for (CatalogueEntry& entry : *entries) names.push_back(std::move(entry.name));
    return names;
}

std::optional<std::vector<CatalogueEntry>> readIconCatalogue(const std::string& directory,
                                                             std::string_view catalogueName,
                                                             Reporter& reporter) {
    const std::string name(catalogueName);
    std::optional<std::vector<CatalogueEntry>> entries = readCatalogueEntries(directory + name);
    if (!entries) {
        reporter.logError(englishText("Can't open atlas descriptor: {file}.", {{"file", name}}));
        return std::nullopt;
    }
    reporter.logInfo("Loaded descriptor: " + name);
    return entries;
}
