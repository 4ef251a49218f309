// The atlas writer for today's clients when every icon fits the game's own layout: the original texture
// stays as it is wherever no replacement touches it, block for block, so default icons lose nothing to a
// second encoding; only the blocks under and around replacements are encoded again.

#include <map>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_layout.h"
#include "atlas/atlas_output.h"
#include "atlas/atlas_writer.h"
#include "atlas/icon_drawing.h"
#include "image/dds_codec.h"
#include "image/png_codec.h"
#include "platform/file_io.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"

std::optional<std::vector<AtlasSpot>> gameLayoutSpots(const GatheredIcons& gathered,
                                                      const std::string& originalXmlPath,
                                                      std::int64_t canvasWidth, std::int64_t canvasHeight) {
    std::optional<TextFile> xml = openTextFileForReading(originalXmlPath);
    if (!xml) return std::nullopt;
    // Each name's rectangles in file order; a name listed twice is catalogued twice, in the same order.
    std::map<std::string, std::vector<AtlasDescriptorEntry>> rectangles;
    AtlasDescriptorReader reader;
    while (!atEndOfFile(*xml)) {
        if (std::optional<AtlasDescriptorEntry> entry = reader.readLine(readLine(*xml)).entry)
            rectangles[entry->name].push_back(std::move(*entry));
    }
    std::map<std::string, std::size_t> used;
    std::vector<AtlasSpot> spots;
    for (const AtlasIcon& icon : gathered.icons) {
        if (!icon.loaded) {
            spots.push_back({});
            continue;
        }
        const auto found = rectangles.find(icon.name);
        const std::size_t occurrence = used[icon.name]++;
        if (found == rectangles.end() || occurrence >= found->second.size()) return std::nullopt;
        const AtlasDescriptorEntry& rectangle = found->second[occurrence];
        if (rectangle.width != icon.width || rectangle.height != icon.height || rectangle.x < 0 ||
            rectangle.y < 0 || rectangle.x + rectangle.width > canvasWidth ||
            rectangle.y + rectangle.height > canvasHeight)
            return std::nullopt;
        spots.push_back({static_cast<std::int32_t>(rectangle.x), static_cast<std::int32_t>(rectangle.y)});
    }
    return spots;
}

namespace {

// Replaces the pixels of a rectangle: cleared, then the icon drawn as onto a transparent canvas.
void drawInPlaceOf(Image& canvas, const Image& icon, const AtlasSpot& spot) {
    for (std::int32_t y = 0; y < icon.height(); ++y)
        std::fill_n(canvas.row(spot.y + y) + static_cast<std::size_t>(spot.x) * 4,
                    static_cast<std::size_t>(icon.width()) * 4, std::uint8_t{0});
    drawImageBlended(canvas, icon, spot.x, spot.y);
}

// Marks the 4 x 4 blocks a drawn icon reaches, the 1-pixel gap around it included.
void markTouched(std::vector<bool>& touched, const Image& canvas, const AtlasSpot& spot, const Image& icon) {
    const std::int32_t blocksWide = (canvas.width() + 3) / 4;
    const std::int32_t left = std::max(spot.x - 1, 0) / 4, top = std::max(spot.y - 1, 0) / 4;
    const std::int32_t right = std::min(spot.x + icon.width(), canvas.width() - 1) / 4;
    const std::int32_t bottom = std::min(spot.y + icon.height(), canvas.height() - 1) / 4;
    for (std::int32_t by = top; by <= bottom; ++by)
        for (std::int32_t bx = left; bx <= right; ++bx)
            touched[static_cast<std::size_t>(by) * blocksWide + bx] = true;
}

}  // namespace

bool drawKeptAtlas(const PackedAtlasTarget& target, const std::string& originalDdsPath,
                   const std::vector<AtlasSpot>& spots, const std::string& xmlPath,
                   const GatheredIcons& gathered, Reporter& reporter) {
    const std::optional<std::vector<std::uint8_t>> original = readWholeFile(originalDdsPath);
    DdsDecoding decoding;
    if (original) decoding = decodeDds(original->data(), original->size());
    if (!decoding.image) {
        reporter.logError(
            englishText("Unsupported atlas image: {file} ({reason})",
                        {{"file", fileNamePart(originalDdsPath, false)},
                         {"reason", original ? decoding.fault : englishText("can't be read")}}));
        return false;
    }
    Image& canvas = *decoding.image;
    reporter.logInfo("Kept the game's atlas layout with size " + std::to_string(canvas.width()) + "x" +
                     std::to_string(canvas.height()));
    std::optional<NewAtlasXml> xml = NewAtlasXml::create(xmlPath, reporter);
    if (!xml) return false;

    std::vector<bool> touched(static_cast<std::size_t>((canvas.width() + 3) / 4) *
                              ((canvas.height() + 3) / 4));
    drawIconsInOrder(
        gathered, reporter,
        [&](std::size_t index, const AtlasIcon& icon, const Image* pixels) {
            const AtlasSpot spot = spots[index];
            if (pixels) {
                drawInPlaceOf(canvas, *pixels, spot);
                markTouched(touched, canvas, spot, *pixels);
            }
            xml->addIcon(icon.name, spot.x, spot.y, icon.width, icon.height);
        },
        false);  // a default icon is what the original already shows

    reporter.setProgressText(localized("Saving Atlas image and Xml file"));
    // A block-seven original is written as block three: nothing of it can be kept as it is.
    KeptBlocks kept;
    if (decoding.header.format.encoding == target.format.encoding) {
        kept.original = original->data() + decoding.header.dataOffset;
        kept.touched = std::move(touched);
    }
    reportAtlasImageSave(saveImageDds(canvas, target.format, target.mipLevels, target.ddsPath, &kept),
                         target.ddsPath, reporter);
    if (!target.pngPath.empty())
        reportAtlasImageSave(saveImagePng(canvas, target.pngPath), target.pngPath, reporter);
    xml->finish(reporter);
    reporter.closeProgress();
    return true;
}
