#pragma once

// The icons of one atlas as a list model for an icon-mode view: the shown icons (after filter and search)
// with their name and state as text and a picture of the default and the replacement side by side. A
// picture is loaded in the background the first time the view asks for it, so only what is on the screen
// is ever loaded before it is needed; until then the row shows an empty frame.

#include <QAbstractListModel>
#include <QHash>
#include <QPixmap>
#include <QSize>
#include <QThreadPool>
#include <vector>

#include "ui/icon_overview_view.h"

class IconGridModel : public QAbstractListModel {
public:
    static constexpr QSize kPictureSize{132, 52};  // two pictures of 64 x 48 at most, side by side

    IconGridModel();
    ~IconGridModel() override;

    // Shows the atlas's icons that pass; the pictures loaded so far stay.
    void showIcons(const OverviewAtlas* atlas, std::vector<std::size_t> shown);
    // Forgets every picture (the files may have changed).
    void forgetPictures();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const OverviewIcon* iconAt(int row) const;
    // Pictures loaded and waiting to be loaded; for tests and the benchmark.
    int picturesLoaded() const { return static_cast<int>(pictures_.size()); }
    int picturesPending() const { return static_cast<int>(pending_.size()); }

private:
    QString keyOf(const OverviewIcon& icon) const;
    void requestPicture(const OverviewIcon& icon) const;
    void pictureLoaded(const QString& key, const QImage& picture, quint64 generation);

    const OverviewAtlas* atlas_ = nullptr;
    std::vector<std::size_t> shown_;
    QPixmap placeholder_;
    mutable QHash<QString, QPixmap> pictures_;
    mutable QHash<QString, bool> pending_;
    quint64 generation_ = 0;  // pictures loaded for an older generation are dropped
    mutable QThreadPool pool_;
};
