#include "ui/qt/caption_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

#include "ui/window_layout.h"

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
    std::vector<std::pair<QString, int>> captions;
    for (const auto& [caption, width] : main_window::captionsAndWidths())
        captions.emplace_back(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                              width);
    return captions;
}
