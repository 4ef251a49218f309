#include "ui/qt/program_icon.h"

#include <QImage>
#include <QPixmap>

#include "ui/icon_picture.h"

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::vector<std::uint8_t> pixels = icon_picture::drawIcon(size);
        const QImage image(pixels.data(), size, size, size * 4, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image.copy()));  // the copy owns its pixels
    }
    return icon;
}
