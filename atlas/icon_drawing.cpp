#include "atlas/icon_drawing.h"

#include <optional>
#include <string>

#include "atlas/atlas_layout.h"
#include "image/png_codec.h"
#include "platform/localized_text.h"
#include "platform/parallel_work.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

struct DecodedIcon {
    std::optional<Image> image;
    bool failed = false;  // reported when the icon's turn comes
};

DecodedIcon decodeDefaultIcon(const AtlasIcon& icon) {
    DecodedIcon decoded;
    decoded.image = loadImage(icon.path);
    // Its place was made for the size it was measured at.
    if (!decoded.image || decoded.image->width() != icon.width || decoded.image->height() != icon.height) {
        decoded.image.reset();
        decoded.failed = true;
    }
    return decoded;
}

}  // namespace

void drawIconsInOrder(const GatheredIcons& gathered, Reporter& reporter,
                      const std::function<void(std::size_t, const AtlasIcon&, const Image*)>& draw,
                      bool decodeDefaults) {
    // A few icons ahead are enough to keep the other core busy and memory small.
    constexpr std::size_t kAhead = 32;
    produceInOrder<DecodedIcon>(
        gathered.icons.size(), kAhead,
        [&](std::size_t index) {
            const AtlasIcon& icon = gathered.icons[index];
            return icon.loaded && !icon.pixels && decodeDefaults ? decodeDefaultIcon(icon) : DecodedIcon{};
        },
        [&](std::size_t index, DecodedIcon&& decoded) {
            const AtlasIcon& icon = gathered.icons[index];
            reporter.setProgressValue(
                progressBarValue(static_cast<float>(index + 1) / gathered.progressUnit));
            reporter.setProgressText(localized("Processing icon: {file}", {{"file", icon.fileName}}));
            if (decoded.failed)
                reporter.logError(englishText("Can't load icon: {file}", {{"file", icon.path}}));
            if (!icon.loaded || decoded.failed) return;
            draw(index, icon, icon.pixels ? &*icon.pixels : decoded.image ? &*decoded.image : nullptr);
        });
}
