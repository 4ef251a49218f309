#include "atlas/atlas_writer.h"

#include "atlas/atlas_kind.h"
#include "atlas/atlas_layout.h"
#include "atlas/atlas_output.h"
#include "atlas/extra_icons.h"
#include "atlas/icon_catalogue.h"
#include "atlas/icon_drawing.h"
#include "image/png_codec.h"
#include "platform/error_keeping_reporter.h"
#include "platform/file_system.h"
#include "platform/localized_text.h"
#include "platform/reporter.h"
#include "platform/text_utilities.h"

namespace {

bool insideCanvas(const AtlasSpot& spot, const Image& icon) {
    return spot.x >= 0 && spot.y >= 0 && std::int64_t{spot.x} + icon.width() <= kAtlasCanvasSize &&
           std::int64_t{spot.y} + icon.height() <= kAtlasCanvasSize;
}

}  // namespace

namespace {

bool drawGathered(const AtlasKind& kind, const AtlasBuildDirectories& directories,
                  const GatheredIcons& gathered, Reporter& reporter) {
    const std::string xmlPath = directories.workingDirectory + std::string(kind.atlasXmlName);
    const std::string ddsName(kind.atlasDdsImageName);
    const std::string ddsOriginal = directories.originalAtlasDirectory + ddsName;
    if (fileSize(ddsOriginal) < 0)
        return drawAtlas(directories.workingDirectory + std::string(kind.atlasImageName), xmlPath, gathered,
                         reporter);

    // Today's client: its DDS tells the pixel format and the mip levels to write.
    const DdsHeaderReading original = loadDdsHeader(ddsOriginal);
    if (!original.header) {
        reporter.logError(englishText("Unsupported atlas image: {file} ({reason})",
                                      {{"file", ddsName}, {"reason", original.fault}}));
        return false;
    }
    PackedAtlasTarget target;
    target.ddsPath = directories.workingDirectory + ddsName;
    target.format = ddsRebuiltFormat(original.header->format);
    target.mipLevels = original.header->mipLevels;
    if (fileSize(directories.originalAtlasDirectory + std::string(kind.atlasImageName)) >= 0)
        target.pngPath = directories.workingDirectory + std::string(kind.atlasImageName);
    if (const std::optional<std::vector<AtlasSpot>> spots =
            gameLayoutSpots(gathered, directories.originalAtlasDirectory + std::string(kind.atlasXmlName),
                            original.header->width, original.header->height))
        return drawKeptAtlas(target, ddsOriginal, *spots, xmlPath, gathered, reporter);
    return drawPackedAtlas(target, xmlPath, gathered, reporter);
}

}  // namespace

AtlasBuild buildAtlas(const AtlasKind& kind, const AtlasBuildDirectories& directories, Reporter& output) {
    AtlasBuild build;
    ErrorKeepingReporter reporter(output, build.errors);
    build.states.kind = &kind;
    const std::string title = "Creating Atlas files " + std::string(kind.atlasName);
    reporter.openProgress(localized("Creating Atlas files {atlas}", {{"atlas", kind.atlasName}}));
    reporter.logInfo(title);

    reporter.setProgressText(localized("Getting icons ..."));
    const std::optional<std::vector<CatalogueEntry>> catalogue =
        readIconCatalogue(directories.workingDirectory, kind.catalogueName, reporter);
    if (catalogue) {
        GatheredIcons gathered = gatherAtlasIcons(*catalogue, directories.newIconsDirectory,
                                                  directories.defaultIconDirectory, reporter);
        // Other mods' sprites ride along on today's client only: the older client's atlas stays as it was.
        if (fileSize(directories.originalAtlasDirectory + std::string(kind.atlasDdsImageName)) >= 0) {
            build.extraIcons = appendExtraIcons(
                gathered, extraIconDirectory(directories.newIconsDirectory, kind), *catalogue, reporter);
        }
        build.states.catalogueFound = true;
        build.states.icons = std::move(gathered.states);
        finishAtlasIconStates(build.states, directories.workingDirectory);
        build.completed = drawGathered(kind, directories, gathered, reporter);
    }
    return build;
}

bool drawAtlas(const std::string& imagePath, const std::string& xmlPath, const GatheredIcons& gathered,
               Reporter& reporter) {
    const std::string imageName = fileNamePart(imagePath, false);
    std::optional<Image> canvas = createImage(kAtlasCanvasSize, kAtlasCanvasSize, 32);
    if (!canvas) {
        reporter.logError(englishText("Can't create new Atlas image: {file}.", {{"file", imageName}}));
        return false;
    }
    reporter.logInfo("Created empty atlas image with size " + std::to_string(kAtlasCanvasSize) + "x" +
                     std::to_string(kAtlasCanvasSize));

    std::optional<NewAtlasXml> xml = NewAtlasXml::create(xmlPath, reporter);
    if (!xml) return false;

    ShelfCursor cursor;
    drawIconsInOrder(gathered, reporter, [&](std::size_t, const AtlasIcon& icon, const Image* pixels) {
        const Image& image = *pixels;
        const std::optional<AtlasSpot> fixedSpot = fixedSpotOf(icon.name);
        const AtlasSpot spot = fixedSpot ? *fixedSpot : cursor.place(image.width(), image.height());
        drawImageBlended(*canvas, image, spot.x, spot.y);
        // The new atlas would silently lack part of this icon.
        if (!insideCanvas(spot, image))
            reporter.logError(
                englishText("Icon doesn't fit into the atlas: {file}", {{"file", icon.fileName}}));
        xml->addIcon(icon.name, spot.x, spot.y, image.width(), image.height());
    });

    reporter.setProgressText(localized("Saving Atlas image and Xml file"));
    reportAtlasImageSave(saveImagePng(*canvas, imagePath), imagePath, reporter);
    canvas.reset();

    xml->finish(reporter);
    reporter.closeProgress();
    return true;
}
