#include "atlas/atlas_layout.h"

#include <algorithm>

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "atlas/icon_catalogue.h"
#include "platform/file_system.h"
#include "platform/image.h"
#include "platform/text_utilities.h"
#include "ui/ui.h"

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

std::optional<AtlasSpot> fixedSpotOf(std::string_view iconPath) {
    const std::string name = fileNamePart(iconPath, false);
    if (name == "CameraWithDirection.png") return AtlasSpot{2046, 0};
    if (name == "ShotSectorLine.png") return AtlasSpot{0, 0};
    return std::nullopt;
}

std::optional<GatheredIcons> gatherAtlasIcons(Context& context, std::string_view catalogueName,
                                              const std::string& defaultIconDirectory) {
    context.ui.setProgressText("Getting icons ...");
    const std::optional<std::vector<std::string>> names = readIconCatalogue(context, catalogueName);
    if (!names) return std::nullopt;

    GatheredIcons gathered;
    gathered.progressUnit = static_cast<float>(names->size()) / 100.0f;
    context.ui.setProgressText("Getting icon size and rearange them ...");
    gathered.icons.reserve(names->size());
    std::size_t index = 0;
    for (const std::string& name : *names) {
        context.ui.setProgressBar(progressBarValue(static_cast<float>(++index) / gathered.progressUnit));
        AtlasIcon icon;
        std::optional<Image> image;
        // A replacement that exists but does not load gives way to the default icon of its name.
        const std::string replacement = context.settings.acNewIconsDir + name + ".png";
        if (fileSize(replacement) > 0) {
            image = loadImage(replacement);
            if (image) {
                icon.path = replacement;
            } else {
                context.log.logError("Can't load icon: " + replacement);
            }
        }
        if (!image) {
            icon.path = defaultIconDirectory + name + ".png";
            image = loadImage(icon.path);
            if (!image) context.log.logError("Can't load icon: " + icon.path);
        }
        if (image) {
            icon.loaded = true;
            icon.width = image->width();
            icon.height = image->height();
        }
        gathered.icons.push_back(std::move(icon));
    }
    std::stable_sort(gathered.icons.begin(), gathered.icons.end(),
                     [](const AtlasIcon& a, const AtlasIcon& b) { return a.height > b.height; });
    context.log.logInfo("Rearranged " + integerText(static_cast<std::int64_t>(names->size())) + " icons.");
    return gathered;
}
