#include "atlas/atlas_writer.h"

#include "app/context.h"
#include "app/event_log.h"
#include "app/settings.h"
#include "atlas/atlas_layout.h"
#include "platform/file_system.h"
#include "platform/image.h"
#include "platform/text_file.h"
#include "platform/text_utilities.h"
#include "ui/ui.h"

std::vector<std::string> subTextureLines(std::string_view name, std::int64_t x, std::int64_t y,
                                         std::int64_t width, std::int64_t height) {
    return {
        "  <SubTexture>",
        "    <name> " + std::string(name) + " </name>",
        "    <x> " + integerText(x) + " </x>",
        "    <y> " + integerText(y) + " </y>",
        "    <width> " + integerText(width) + " </width>",
        "    <height> " + integerText(height) + " </height>",
        "  </SubTexture>",
    };
}

namespace {

bool insideCanvas(const AtlasSpot& spot, const Image& icon) {
    return spot.x >= 0 && spot.y >= 0 && std::int64_t{spot.x} + icon.width() <= kAtlasCanvasSize &&
           std::int64_t{spot.y} + icon.height() <= kAtlasCanvasSize;
}

}  // namespace

bool buildAtlas(Context& context, std::string_view atlasImageName, std::string_view atlasXmlName,
                const std::string& defaultIconDirectory, std::string_view catalogueName) {
    const std::string imageName(atlasImageName);
    const std::string xmlName(atlasXmlName);
    const std::string title = "Creating Atlas files " + fileNamePart(xmlName, true);
    context.ui.openProgressWindow(title);
    context.log.logInfo(title);

    const std::optional<GatheredIcons> gathered =
        gatherAtlasIcons(context, catalogueName, defaultIconDirectory);
    if (!gathered) return false;
    return drawAtlas(context, imageName, xmlName, *gathered);
}

bool drawAtlas(Context& context, const std::string& imageName, const std::string& xmlName,
               const GatheredIcons& gathered) {
    std::optional<Image> canvas = createImage(kAtlasCanvasSize, kAtlasCanvasSize, 32);
    if (!canvas) {
        context.log.logError("Can't create new Atlas image: " + imageName + ".");
        return false;
    }
    context.log.logInfo("Created empty atlas image with size " + integerText(kAtlasCanvasSize) + "x" +
                        integerText(kAtlasCanvasSize));

    std::optional<TextFile> xml = createReplacementTextFile(context.settings.acCurrentDir + xmlName);
    if (!xml) {
        context.log.logError("Can't create atlas XML file.");
        return false;
    }
    context.log.logInfo("Created empty xml file.");
    writeLine(*xml, "<root>");

    ShelfCursor cursor;
    std::size_t index = 0;
    for (const AtlasIcon& icon : gathered.icons) {
        context.ui.setProgressBar(progressBarValue(static_cast<float>(++index) / gathered.progressUnit));
        const std::string iconFileName = fileNamePart(icon.path, false);
        context.ui.setProgressText("Processing icon: " + iconFileName);
        if (!icon.loaded) continue;
        const std::optional<Image> image = loadImage(icon.path);
        if (!image) {  // changed or removed since it was measured
            context.log.logError("Can't load icon: " + icon.path);
            continue;
        }

        const std::optional<AtlasSpot> fixedSpot = fixedSpotOf(icon.path);
        const AtlasSpot spot = fixedSpot ? *fixedSpot : cursor.place(image->width(), image->height());
        if (std::optional<DrawingContext> drawing = beginDrawing(*canvas)) {
            drawing->setDrawingMode(DrawingMode::AlphaBlend);
            if (fixedSpot) {
                drawing->drawImage(*image, spot.x, spot.y);
            } else {
                drawing->drawImage(*image, spot.x, spot.y, image->width(), image->height());
            }
            drawing->endDrawing();
        }
        // The new atlas would silently lack part of this icon.
        if (!insideCanvas(spot, *image))
            context.log.logError("Icon doesn't fit into the atlas: " + iconFileName);
        for (const std::string& line : subTextureLines(fileNamePart(icon.path, true), spot.x, spot.y,
                                                       image->width(), image->height())) {
            writeLine(*xml, line);
        }
    }

    context.ui.setProgressText("Saving Atlas image and Xml file");
    if (saveImagePng(*canvas, context.settings.acCurrentDir + imageName)) {
        context.log.logInfo("Saved new atlas image: " + imageName);
    } else {
        context.log.logError("Can't save atlas image " + imageName);
    }
    canvas.reset();

    writeLine(*xml, "</root>");
    if (closeTextFile(*xml)) {
        context.log.logInfo("Saved new atlas xml file: " + xmlName);
    } else {
        context.log.logError("Can't write atlas XML file: " + xmlName);
    }
    context.ui.closeProgressWindow();
    return true;
}
