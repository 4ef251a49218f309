#include "atlas/icon_drawing.h"

#include <optional>
#include <string>
#include <vector>

#include "atlas/atlas_layout.h"
#include "image/png_codec.h"
#include "platform/parallel_work.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

struct DecodedIcon {
    std::optional<Image> image;
    std::vector<std::string> failedPaths;  // reported in order when the icon's turn comes
};

DecodedIcon decodeIcon(const AtlasIcon& icon) {
    DecodedIcon decoded;
    if (!icon.loaded) return decoded;
    for (const std::string* path : {&icon.path, &icon.fallbackPath}) {
        if (path->empty()) break;
        std::optional<Image> image = loadImage(*path);
        // Its place was made for the size it was measured at.
        if (image && image->width() == icon.width && image->height() == icon.height) {
            decoded.image = std::move(image);
            break;
        }
        decoded.failedPaths.push_back(*path);
    }
    return decoded;
}

}  // namespace

void drawIconsInOrder(const GatheredIcons& gathered, Reporter& reporter,
                      const std::function<void(std::size_t, const AtlasIcon&, const Image*)>& draw,
                      const std::function<bool(const AtlasIcon&)>& needsPixels) {
    // A few icons ahead are enough to keep the other core busy and memory small.
    constexpr std::size_t kAhead = 32;
    produceInOrder<DecodedIcon>(
        gathered.icons.size(), kAhead,
        [&](std::size_t index) {
            const AtlasIcon& icon = gathered.icons[index];
            return !needsPixels || needsPixels(icon) ? decodeIcon(icon) : DecodedIcon{};
        },
        [&](std::size_t index, DecodedIcon&& decoded) {
            const AtlasIcon& icon = gathered.icons[index];
            reporter.setProgressValue(
                progressBarValue(static_cast<float>(index + 1) / gathered.progressUnit));
            reporter.setProgressText("Processing icon: " + icon.fileName);
            for (const std::string& path : decoded.failedPaths) reporter.logError("Can't load icon: " + path);
            if (decoded.image) {
                draw(index, icon, &*decoded.image);
            } else if (needsPixels && !needsPixels(icon) && icon.loaded) {
                draw(index, icon, nullptr);
            }
        });
}
