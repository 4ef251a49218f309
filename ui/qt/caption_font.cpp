#include "ui/qt/caption_font.h"

#include <QFontMetrics>
#include <algorithm>

namespace {

bool allFit(const QFont& font, const std::vector<std::pair<QString, int>>& captions) {
    const QFontMetrics metrics(font);
    return std::all_of(captions.begin(), captions.end(), [&metrics](const auto& caption) {
        return metrics.horizontalAdvance(caption.first) <= caption.second;
    });
}

}  // namespace

QFont captionFont(const QFont& systemFont, const std::vector<std::pair<QString, int>>& captions) {
    constexpr qreal kSmallest = 7.0;
    QFont font = systemFont;
    if (font.pointSizeF() <= 0) return font;  // sized in pixels by the system: left as it is
    const qreal smallest = std::min(font.pointSizeF(), kSmallest);
    while (!allFit(font, captions) && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}
