#include "atlas/icon_catalogue.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::string catalogueLine(std::string_view iconFileName, std::int64_t width, std::int64_t height) {
    return fileNamePart(iconFileName, true) + "," + integerText(width) + "," + integerText(height);
}

std::optional<std::vector<std::string>> readIconCatalogue(Context& context, std::string_view catalogueName) {
    const std::string name(catalogueName);
    std::optional<TextFile> file = openTextFileForReading(context.settings.acCurrentDir + name, false);
    if (!file) {
        context.log.logError("Can't open atlas descriptor: " + name + ".");
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
    context.log.logInfo("Loaded descriptor: " + name);
    return names;
}
