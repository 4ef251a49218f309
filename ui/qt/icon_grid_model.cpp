#include "ui/qt/icon_grid_model.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QThreadPool>

namespace {

constexpr QSize kHalf{64, 48};

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One icon file scaled into its half of the picture: smaller ones up to twice their size, larger ones
// down, the shape kept.
void drawInto(QPainter& painter, const QString& path, int left) {
    const QImage image(path);
    if (image.isNull()) return;
    QSize size = image.size();
    if (size.width() > kHalf.width() || size.height() > kHalf.height()) {
        size = size.scaled(kHalf, Qt::KeepAspectRatio);
    } else if (size.width() * 2 <= kHalf.width() && size.height() * 2 <= kHalf.height()) {
        size *= 2;
    }
    const QRect target(left + (kHalf.width() - size.width()) / 2, 2 + (kHalf.height() - size.height()) / 2,
                       size.width(), size.height());
    painter.drawImage(target, image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

QImage emptyPicture() {
    QImage picture(IconGridModel::kPictureSize, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    return picture;
}

}  // namespace

IconGridModel::IconGridModel() {
    pool_.setMaxThreadCount(2);
    QImage frame = emptyPicture();
    QPainter painter(&frame);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(QRect(QPoint(0, 0), kPictureSize - QSize(1, 1)));
    painter.end();
    placeholder_ = QPixmap::fromImage(frame);
}

IconGridModel::~IconGridModel() {
    pool_.clear();
    pool_.waitForDone();
}

void IconGridModel::showIcons(const OverviewAtlas* atlas, std::vector<std::size_t> shown) {
    beginResetModel();
    atlas_ = atlas;
    shown_ = std::move(shown);
    endResetModel();
}

void IconGridModel::forgetPictures() {
    pool_.clear();
    ++generation_;
    pictures_.clear();
    pending_.clear();
}

int IconGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !atlas_ ? 0 : static_cast<int>(shown_.size());
}

const OverviewIcon* IconGridModel::iconAt(int row) const {
    if (!atlas_ || row < 0 || static_cast<std::size_t>(row) >= shown_.size()) return nullptr;
    return &atlas_->icons[shown_[static_cast<std::size_t>(row)]];
}

QString IconGridModel::keyOf(const OverviewIcon& icon) const {
    return fromUtf8(icon.defaultPath) + '\n' + fromUtf8(icon.replacementPath);
}

QVariant IconGridModel::data(const QModelIndex& index, int role) const {
    const OverviewIcon* icon = iconAt(index.row());
    if (!icon) return {};
    switch (role) {
        case Qt::DisplayRole:
            return fromUtf8(icon->name) + '\n' + fromUtf8(icon_overview::markText(*icon));
        case Qt::ToolTipRole:
            return fromUtf8(icon_overview::tooltipText(*icon));
        case Qt::ForegroundRole:
            switch (icon->mark) {
                case OverviewMark::Replaced:
                    return QBrush(QColor(26, 127, 55));
                case OverviewMark::OtherSize:
                    return QBrush(QColor(179, 89, 0));
                case OverviewMark::UnreadableReplacement:
                case OverviewMark::EmptyReplacement:
                    return QBrush(QColor(204, 0, 0));
                case OverviewMark::Default:
                    break;
            }
            return {};
        case Qt::DecorationRole: {
            const QString key = keyOf(*icon);
            const auto found = pictures_.constFind(key);
            if (found != pictures_.constEnd()) return *found;
            requestPicture(*icon);
            return placeholder_;
        }
        default:
            return {};
    }
}

void IconGridModel::requestPicture(const OverviewIcon& icon) const {
    const QString key = keyOf(icon);
    if (pending_.contains(key)) return;
    pending_.insert(key, true);
    const QString defaultPath = fromUtf8(icon.defaultPath);
    const QString replacementPath = fromUtf8(icon.replacementPath);
    const quint64 generation = generation_;
    auto* self = const_cast<IconGridModel*>(this);
    pool_.start([self, key, defaultPath, replacementPath, generation] {
        QImage picture = emptyPicture();
        QPainter painter(&picture);
        drawInto(painter, defaultPath, 0);
        if (!replacementPath.isEmpty()) drawInto(painter, replacementPath, kHalf.width() + 4);
        painter.end();
        // Back on the window's thread; dropped when the model is gone by then.
        QMetaObject::invokeMethod(
            self, [self, key, picture, generation] { self->pictureLoaded(key, picture, generation); },
            Qt::QueuedConnection);
    });
}

void IconGridModel::pictureLoaded(const QString& key, const QImage& picture, quint64 generation) {
    if (generation != generation_) return;
    pending_.remove(key);
    pictures_.insert(key, QPixmap::fromImage(picture));
    // The view repaints only the rows it shows.
    if (rowCount() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DecorationRole});
}
