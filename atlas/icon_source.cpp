#include "atlas/icon_source.h"

#include "atlas/icon_catalogue.h"
#include "image/png_codec.h"
#include "platform/file_system.h"

IconSource resolveIconSource(const CatalogueEntry& icon, const std::string& replacementDirectory,
                             const std::string& defaultDirectory, const FolderNames* replacementNames) {
    constexpr std::string_view kExtension = ".png";
    IconSource source;
    source.defaultPath = defaultDirectory + icon.name + std::string(kExtension);
    const std::string fileName = icon.name + std::string(kExtension);
    if (replacementNames && !replacementNames->mayHold(fileName)) return source;
    const std::string replacement = replacementDirectory + fileName;
    const std::int64_t size = fileSize(replacement);
    if (size < 0) return source;  // none, or a folder of the name
    source.replacementPath = replacement;
    if (size == 0) {
        source.state = IconState::EmptyReplacement;
        return source;
    }
    // Decoded whole here, so that a file whose header reads but whose pixels do not never takes a place.
    source.replacement = loadImage(replacement);
    if (!source.replacement) {
        source.state = IconState::UnreadableReplacement;
        return source;
    }
    const bool sameSize =
        source.replacement->width() == icon.width && source.replacement->height() == icon.height;
    source.state = sameSize ? IconState::Replaced : IconState::OtherSize;
    return source;
}
