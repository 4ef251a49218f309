#include "ui/qt/caption_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace {

bool allFit(const QFont& font, const std::vector<std::pair<QString, int>>& captions) {
    const QFontMetrics metrics(font);
    for (const auto& [caption, width] : captions) {
        if (metrics.horizontalAdvance(caption) > width) return false;
    }
    return true;
}

}  // namespace

QFont captionFont(const std::vector<std::pair<QString, int>>& captions) {
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains("Liberation Sans Narrow"))
        font.setFamily("Liberation Sans Narrow");
    font.setPointSizeF(9.0);
    while (!allFit(font, captions) && font.pointSizeF() > 7.5) font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

std::vector<std::pair<QString, int>> mainWindowCaptions() {
    // Labels are 160 px wide; the check box leaves room for its indicator; the status fields hold a
    // five-digit count or a long version behind their panel borders.
    return {
        {QString::fromUtf8("World of Tanks® install directory:"), 160},
        {"Battle Atlas icon directory:", 160},
        {"Marker Atlas icon directory:", 160},
        {"New contour icon directory:", 160},
        {"Save the new Atlases files directly in the game dirrectory and not in the current directory.", 550},
        {"Create Atlases", 130},
        {"Game Version: 1.20.1.12345", 142},
        {"Battle icons found: 99999", 142},
        {"Marker icons found: 99999", 142},
        {"New icons found: 99999", 142},
    };
}
