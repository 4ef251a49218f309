#include "ui/qt/caption_font.h"

#include <QFontMetrics>
#include <algorithm>

QFont captionFont(const QFont& systemFont, const QString& caption, int width) {
    constexpr qreal kSmallest = 7.0;
    QFont font = systemFont;
    if (font.pointSizeF() <= 0) return font;  // sized in pixels by the system: left as it is
    const qreal smallest = std::min(font.pointSizeF(), kSmallest);
    while (QFontMetrics(font).horizontalAdvance(caption) > width && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}
