#include "atlas/atlas_layout.h"

#include <algorithm>

#include "atlas/icon_catalogue.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/parallel_work.h"
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

namespace {

struct ResolvedIcon {
    IconSource source;
    std::optional<ImageSize> defaultSize;  // measured when no replacement stands in
};

}  // namespace

GatheredIcons gatherAtlasIcons(const std::vector<CatalogueEntry>& catalogue,
                               const std::string& newIconsDirectory, const std::string& defaultIconDirectory,
                               Reporter& reporter) {
    GatheredIcons gathered;
    gathered.progressUnit = static_cast<float>(catalogue.size()) / 100.0f;
    reporter.setProgressText(localized("Getting icon size and rearange them ..."));
    gathered.icons.reserve(catalogue.size());
    gathered.states.reserve(catalogue.size());
    // A few icons ahead keep the other core busy; the replacements' pixels are kept for drawing.
    constexpr std::size_t kAhead = 32;
    const FolderNames replacementNames = FolderNames::of(newIconsDirectory);
    produceInOrder<ResolvedIcon>(
        catalogue.size(), kAhead,
        [&](std::size_t index) {
            ResolvedIcon resolved{resolveIconSource(catalogue[index], newIconsDirectory, defaultIconDirectory,
                                                    &replacementNames),
                                  std::nullopt};
            if (!resolved.source.replaced()) resolved.defaultSize = readPngSize(resolved.source.defaultPath);
            return resolved;
        },
        [&](std::size_t index, ResolvedIcon&& resolved) {
            reporter.setProgressValue(
                progressBarValue(static_cast<float>(index + 1) / gathered.progressUnit));
            IconSource& source = resolved.source;
            gathered.states.push_back(iconStateEntryOf(catalogue[index], source));
            if (source.state == IconState::UnreadableReplacement)
                reporter.logError(englishText("Can't load icon: {file}", {{"file", source.replacementPath}}));
            AtlasIcon icon;
            icon.path = source.path();
            icon.fileName = fileNamePart(icon.path, false);
            icon.name = fileNamePart(icon.path, true);
            if (source.replacement) {
                icon.loaded = true;
                icon.width = source.replacement->width();
                icon.height = source.replacement->height();
                icon.pixels = std::move(source.replacement);
            } else if (resolved.defaultSize) {
                icon.loaded = true;
                icon.width = resolved.defaultSize->width;
                icon.height = resolved.defaultSize->height;
            } else {
                reporter.logError(englishText("Can't load icon: {file}", {{"file", icon.path}}));
            }
            gathered.icons.push_back(std::move(icon));
        });
    std::stable_sort(gathered.icons.begin(), gathered.icons.end(),
                     [](const AtlasIcon& a, const AtlasIcon& b) { return a.height > b.height; });
    reporter.logInfo("Rearranged " + std::to_string(static_cast<std::int64_t>(catalogue.size())) + " icons.");
    return gathered;
}
