// The atlas writer for today's clients: every icon packed onto a canvas just large enough for all of them,
// saved as DDS in the original's form (and as PNG when the client shipped both).

#include "atlas/atlas_layout.h"
#include "atlas/atlas_output.h"
#include "atlas/atlas_packer.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_drawing.h"
#include "image/png_codec.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

bool drawPackedAtlas(const PackedAtlasTarget& target, const std::string& xmlPath,
                     const GatheredIcons& gathered, Reporter& reporter) {
    const std::string ddsName = fileNamePart(target.ddsPath, false);
    std::vector<IconSize> sizes;
    sizes.reserve(gathered.icons.size());
    for (const AtlasIcon& icon : gathered.icons)
        sizes.push_back({icon.width, icon.height});  // 0 x 0 if not loaded
    const std::optional<PackedAtlas> packed = packAtlas(sizes);
    if (!packed) {
        reporter.logError(englishText("The icons don't fit into an atlas of {size}x{size}",
                                      {{"size", kMaximumPackedSide}}));
        return false;
    }
    std::optional<Image> canvas = createImage(packed->width, packed->height, 32);
    if (!canvas) {
        reporter.logError(englishText("Can't create new Atlas image: {file}.", {{"file", ddsName}}));
        return false;
    }
    reporter.logInfo("Created empty atlas image with size " + std::to_string(packed->width) + "x" +
                     std::to_string(packed->height));
    std::optional<NewAtlasXml> xml = NewAtlasXml::create(xmlPath, reporter);
    if (!xml) return false;

    drawIconsInOrder(gathered, reporter, [&](std::size_t index, const AtlasIcon& icon, const Image* pixels) {
        const Image& image = *pixels;
        const AtlasSpot spot = packed->spots[index];
        drawImageBlended(*canvas, image, spot.x, spot.y);
        xml->addIcon(icon.name, spot.x, spot.y, image.width(), image.height());
    });

    reporter.setProgressText(localized("Saving Atlas image and Xml file"));
    reportAtlasImageSave(saveImageDds(*canvas, target.format, target.mipLevels, target.ddsPath),
                         target.ddsPath, reporter);
    if (!target.pngPath.empty())
        reportAtlasImageSave(saveImagePng(*canvas, target.pngPath), target.pngPath, reporter);
    canvas.reset();
    xml->finish(reporter);
    reporter.closeProgress();
    return true;
}
