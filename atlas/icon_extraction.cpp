#include "atlas/icon_extraction.h"

#include <limits>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_catalogue.h"
#include "platform/file_system.h"
#include "platform/image.h"
#include "platform/path_separator.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"
#include "ui/ui.h"

bool staysInsideDirectory(std::string_view path) {
    if (path.empty()) return true;
    if (isPathSeparator(path.front())) return false;
    if (path.size() >= 2 && path[1] == ':') return false;  // a drive such as C:
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = path.find_first_of("\\/", start);
        if (path.substr(start, end == std::string_view::npos ? path.npos : end - start) == "..") return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

namespace {

bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

// The icon's file path; names with "\" or "/" reach into subdirectories on every platform.
std::string iconPath(const std::string& directory, const std::string& iconFileName) {
    std::string relative = iconFileName;
    for (char& c : relative) {
        if (isPathSeparator(c)) c = kPathSeparator;
    }
    return directory + relative;
}

void saveIcon(Context& context, const Image& atlas, const AtlasDescriptorEntry& entry,
              const std::string& iconDirectory) {
    const std::string& name = entry.iconFileName;
    if (!staysInsideDirectory(name) || !fitsInt32(entry.x) || !fitsInt32(entry.y) ||
        !fitsInt32(entry.width) || !fitsInt32(entry.height)) {
        context.log.logError("Can't create icon: " + name);
        return;
    }
    const std::optional<Image> icon = grabImage(atlas, entry.x, entry.y, entry.width, entry.height);
    if (!icon) {
        context.log.logError("Can't create icon: " + name);
        return;
    }
    if (!saveImagePng(*icon, iconPath(iconDirectory, name))) context.log.logError("Can't save icon: " + name);
}

}  // namespace

std::int32_t extractAtlasIcons(Context& context, const AtlasKind& kind) {
    return extractAtlasIcons(context, kind.iconDirectoryName, kind.atlasImageName, kind.atlasXmlName,
                             kind.catalogueName);
}

std::int32_t extractAtlasIcons(Context& context, std::string_view iconDirectoryName,
                               std::string_view atlasImageName, std::string_view atlasXmlName,
                               std::string_view catalogueName) {
    Settings& settings = context.settings;
    const std::string imageName(atlasImageName);
    const std::string xmlName(atlasXmlName);
    const std::string catalogue(catalogueName);
    std::string iconDirectory(iconDirectoryName);
    if (iconDirectory.empty() || iconDirectory.back() != kPathSeparator) iconDirectory += kPathSeparator;

    std::optional<TextFile> xml = openTextFileForReading(settings.acOriginalAtlasDir + xmlName, false);
    if (!xml) {
        context.log.logError("Can't open the original atlas: " + xmlName);
        return 0;
    }
    const double progressUnit = static_cast<double>(fileSize(settings.acOriginalAtlasDir + xmlName)) / 100.0;
    context.log.logInfo("Opened atlas file: " + xmlName);

    const std::optional<Image> atlas = loadImage(settings.acOriginalAtlasDir + imageName);
    if (!atlas) {
        context.log.logError("Can't open the original image: " + imageName);
        return 0;
    }
    if (imageName.find("battle") != std::string::npos) {
        settings.acBattleAtlasWidth = atlas->width();
        settings.acBattleAtlasHeight = atlas->height();
    } else if (imageName.find("Marker") != std::string::npos) {
        settings.acMarkerAtlasWidth = atlas->width();
        settings.acMarkerAtlasHeight = atlas->height();
    }
    context.log.logInfo("Opened atlas image: " + imageName + " with size: " + integerText(atlas->width()) +
                        "x" + integerText(atlas->height()));

    std::optional<TextFile> catalogueFile = createReplacementTextFile(settings.acCurrentDir + catalogue);
    if (!catalogueFile) {
        context.log.logError("Can't create descriptor: " + catalogue);
        return 0;
    }
    context.log.logInfo("Created descriptor file: " + catalogue);

    context.ui.openProgressWindow("Extract original " + fileNamePart(xmlName, true) + " icons");
    const std::string iconDirectoryPath = settings.acCurrentDir + iconDirectory;
    AtlasDescriptorReader reader;
    std::int64_t iconCount = 0;
    std::int64_t bytesSeen = 0;
    while (!atEndOfFile(*xml)) {
        const std::string line = readLine(*xml);
        if (line.empty()) continue;
        bytesSeen += utf8ByteLength(line);
        context.ui.setProgressBar(progressBarValue(static_cast<double>(bytesSeen) / progressUnit));
        const AtlasDescriptorReader::LineResult result = reader.readLine(line);
        if (result.foundIconFileName) {
            context.ui.setProgressText("Found icon: " + *result.foundIconFileName);
            ++iconCount;
        }
        if (result.entry) {
            saveIcon(context, *atlas, *result.entry, iconDirectoryPath);
            writeLine(*catalogueFile,
                      catalogueLine(result.entry->iconFileName, result.entry->width, result.entry->height));
        }
    }
    context.ui.closeProgressWindow();
    closeTextFile(*xml);
    if (!closeTextFile(*catalogueFile)) context.log.logError("Can't write descriptor: " + catalogue);

    context.log.logInfo("Extracted " + integerText(iconCount) + " single icons from " + imageName);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(iconCount)));
}
