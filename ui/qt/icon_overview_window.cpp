#include "ui/qt/icon_overview_window.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScreen>

#include "platform/localized_text.h"
#include "ui/qt/file_drops.h"
#include "ui/qt/icon_grid_model.h"
#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

namespace {

using namespace icon_overview_window;

}  // namespace

IconOverviewWindow::IconOverviewWindow(QWidget* owner, EventSink sink, FolderOpener openFolder,
                                       OverviewWindowSize size)
    : QWidget(owner, Qt::Window),
      sink_(std::move(sink)),
      openFolder_(std::move(openFolder)),
      model_(std::make_unique<IconGridModel>()),
      openMaximized_(size.maximized) {
    setWindowTitle(qtText(localized(kTitle)));
    setMinimumSize(kMinimumClientWidth, kMinimumClientHeight);
    const auto label = [this](std::string_view caption, const ControlPlace& place) {
        auto* text = new QLabel(qtText(caption), this);
        text->setGeometry(rectOf(place));
        return text;
    };
    label(localized(kAtlasCaption), kAtlasCaptionPlace);
    atlasChoice_ = new QComboBox(this);
    atlasChoice_->setGeometry(rectOf(kAtlasPlace));
    label(localized(kFilterCaption), kFilterCaptionPlace);
    filterChoice_ = new QComboBox(this);
    filterChoice_->setGeometry(rectOf(kFilterPlace));
    for (std::string_view caption : icon_overview::kFilterCaptions)
        filterChoice_->addItem(qtText(localized(caption)));
    label(localized(kSearchCaption), kSearchCaptionPlace);
    searchField_ = new QLineEdit(this);
    searchField_->setClearButtonEnabled(true);

    iconGrid_ = new QListView(this);
    iconGrid_->setViewMode(QListView::IconMode);
    iconGrid_->setResizeMode(QListView::Adjust);
    iconGrid_->setMovement(QListView::Static);
    iconGrid_->setUniformItemSizes(true);  // so the view asks only the rows it shows
    iconGrid_->setGridSize(QSize(kCellWidth, kCellHeight));
    iconGrid_->setIconSize(IconGridModel::kPictureSize);
    iconGrid_->setWordWrap(false);  // the name and the mark each on a line of their own, cut in the middle
    iconGrid_->setTextElideMode(Qt::ElideMiddle);
    iconGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    iconGrid_->setModel(model_.get());
    // A scroll bar that is always there keeps the grid's inner width, and so its columns, steady.
    iconGrid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    iconGrid_->viewport()->installEventFilter(this);

    unmatchedCaption_ = label(localized(kUnmatchedCaption), {});
    unmatchedList_ = new QListWidget(this);
    refreshHint_ = label(localized(kRefreshHint), {});
    refreshHint_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    connect(atlasChoice_, &QComboBox::currentIndexChanged, this, [this] { showAtlas(); });
    connect(filterChoice_, &QComboBox::currentIndexChanged, this, [this] { showAtlas(); });
    connect(searchField_, &QLineEdit::textChanged, this, [this] { showAtlas(); });
    connect(iconGrid_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { openFolderOf(index); });

    QSize room;
    if (const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        room = screen->availableGeometry().size();
    const auto [width, height] = openingClientSize(size.width, size.height, room.width(), room.height());
    resize(width, height);
    normalSize_ = QSize(width, height);
    layOut();
    acceptFileDrops(*this, [this](std::vector<std::string> paths) {
        sink_(WindowEvent(UiEvent::PathsDropped, std::move(paths)));
    });
    centreWindow(*this, owner);
}

IconOverviewWindow::~IconOverviewWindow() {
    iconGrid_->setModel(nullptr);
}

void IconOverviewWindow::show(IconOverviewView view) {
    view_ = std::move(view);
    model_->forgetPictures();
    const int atlas = atlasChoice_->currentIndex();
    {
        const QSignalBlocker blocker(atlasChoice_);
        atlasChoice_->clear();
        for (const OverviewAtlas& each : view_.atlases) atlasChoice_->addItem(qtText(each.title));
        atlasChoice_->setCurrentIndex(atlas >= 0 && atlas < atlasChoice_->count() ? atlas : 0);
    }
    unmatchedList_->clear();
    for (const OverviewUnmatchedFile& file : view_.unmatched)
        unmatchedList_->addItem(qtText(icon_overview::unmatchedText(file)));
    if (view_.filter) {
        const QSignalBlocker blocker(filterChoice_);
        filterChoice_->setCurrentIndex(static_cast<int>(*view_.filter));
    }
    showAtlas();
    if (openMaximized_) {
        openMaximized_ = false;
        showMaximized();
    } else {
        QWidget::show();
    }
    raise();
    activateWindow();
}

OverviewWindowSize IconOverviewWindow::chosenSize() const {
    return {normalSize_.width(), normalSize_.height(), isMaximized()};
}

void IconOverviewWindow::showAtlas() {
    const int atlas = atlasChoice_->currentIndex();
    if (atlas < 0 || static_cast<std::size_t>(atlas) >= view_.atlases.size()) {
        model_->showIcons(nullptr, {});
        return;
    }
    const QByteArray search = searchField_->text().toUtf8();
    const OverviewAtlas& shown = view_.atlases[static_cast<std::size_t>(atlas)];
    model_->showIcons(&shown,
                      icon_overview::shownIcons(
                          shown, static_cast<icon_overview::Filter>(filterChoice_->currentIndex()),
                          std::string_view(search.constData(), static_cast<std::size_t>(search.size()))));
}

void IconOverviewWindow::openFolderOf(const QModelIndex& index) {
    const OverviewIcon* icon = model_->iconAt(index.row());
    if (!icon) return;
    openFolder_(icon_overview::folderToOpen(*icon));
}

void IconOverviewWindow::layOut() {
    const SizedPlaces places = sizedPlaces(width(), height());
    searchField_->setGeometry(rectOf(places.search));
    iconGrid_->setGeometry(rectOf(places.grid));
    unmatchedCaption_->setGeometry(rectOf(places.unmatchedCaption));
    refreshHint_->setGeometry(rectOf(places.refreshHint));
    unmatchedList_->setGeometry(rectOf(places.unmatched));
}

void IconOverviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5) {
        sink_(UiEvent::RefreshIconOverview);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void IconOverviewWindow::resizeEvent(QResizeEvent* event) {
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) normalSize_ = size();
    layOut();
    QWidget::resizeEvent(event);
}

void IconOverviewWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    sink_(UiEvent::IconOverviewClosed);
}

bool IconOverviewWindow::eventFilter(QObject* watched, QEvent* event) {
    // The columns share the grid's width: its cells grow with the window instead of leaving a strip empty.
    if (watched == iconGrid_->viewport() && event->type() == QEvent::Resize) {
        // The list view starts a new row where a cell would reach its last pixel.
        const QSize grid(cellWidthFor(iconGrid_->viewport()->width() - 1), kCellHeight);
        if (iconGrid_->gridSize() != grid) iconGrid_->setGridSize(grid);
    }
    return QWidget::eventFilter(watched, event);
}
