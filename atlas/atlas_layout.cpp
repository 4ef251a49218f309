#include "atlas/atlas_layout.h"

#include <algorithm>

#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

std::int16_t wrap16(std::int32_t value) {
    return static_cast<std::int16_t>(value);
}

}  // namespace

AtlasSpot ShelfCursor::place(std::int32_t width, std::int32_t height) {
    const std::int16_t width16 = wrap16(width);
    const std::int16_t height16 = wrap16(height);
    if (std::int32_t{x_} + width16 > kRightLimit) {
        x_ = kFirstColumn;
        y_ = wrap16(y_ + rowHeight_ + 1);
        rowHeight_ = 0;
    }
    const AtlasSpot spot{x_, y_};
    x_ = wrap16(x_ + width16 + 1);
    if (height16 > rowHeight_) rowHeight_ = height16;
    return spot;
}

std::optional<AtlasSpot> fixedSpotOf(std::string_view iconName) {
    if (iconName == "CameraWithDirection") return AtlasSpot{2046, 0};
    if (iconName == "ShotSectorLine") return AtlasSpot{0, 0};
    return std::nullopt;
}

GatheredIcons gatherAtlasIcons(const std::vector<std::string>& names, const std::string& newIconsDirectory,
                               const std::string& defaultIconDirectory, Reporter& reporter) {
    GatheredIcons gathered;
    gathered.progressUnit = static_cast<float>(names.size()) / 100.0f;
    reporter.setProgressText("Getting icon size and rearange them ...");
    gathered.icons.reserve(names.size());
    std::size_t index = 0;
    for (const std::string& name : names) {
        reporter.setProgressValue(progressBarValue(static_cast<float>(++index) / gathered.progressUnit));
        AtlasIcon icon;
        std::optional<ImageSize> size;
        // A replacement that exists but does not read gives way to the default icon of its name.
        const std::string replacement = newIconsDirectory + name + ".png";
        const std::string original = defaultIconDirectory + name + ".png";
        if (fileSize(replacement) > 0) {
            size = readPngSize(replacement);
            if (size) {
                icon.path = replacement;
                icon.fallbackPath = original;
            } else {
                reporter.logError("Can't load icon: " + replacement);
            }
        }
        if (!size) {
            icon.path = original;
            size = readPngSize(icon.path);
            if (!size) reporter.logError("Can't load icon: " + icon.path);
        }
        icon.fileName = fileNamePart(icon.path, false);
        icon.name = fileNamePart(icon.path, true);
        if (size) {
            icon.loaded = true;
            icon.width = size->width;
            icon.height = size->height;
        }
        gathered.icons.push_back(std::move(icon));
    }
    std::stable_sort(gathered.icons.begin(), gathered.icons.end(),
                     [](const AtlasIcon& a, const AtlasIcon& b) { return a.height > b.height; });
    reporter.logInfo("Rearranged " + std::to_string(static_cast<std::int64_t>(names.size())) + " icons.");
    return gathered;
}
