#include "ui/qt/icon_overview_window.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>

#include "ui/qt/icon_grid_model.h"
#include "ui/qt/main_window.h"
#include "ui/window_layout.h"

namespace {

using namespace icon_overview_window;

}  // namespace

IconOverviewWindow::IconOverviewWindow(QWidget* owner, EventSink sink, FolderOpener openFolder)
    : QWidget(owner, Qt::Window),
      sink_(std::move(sink)),
      openFolder_(std::move(openFolder)),
      model_(std::make_unique<IconGridModel>()) {
    setWindowTitle(qtText(kTitle));
    setFixedSize(kClientWidth, kClientHeight);
    const auto label = [this](std::string_view caption, const ControlPlace& place) {
        auto* text = new QLabel(qtText(caption), this);
        text->setGeometry(rectOf(place));
    };
    label(kAtlasCaption, kAtlasCaptionPlace);
    atlasChoice_ = new QComboBox(this);
    atlasChoice_->setGeometry(rectOf(kAtlasPlace));
    label(kFilterCaption, kFilterCaptionPlace);
    filterChoice_ = new QComboBox(this);
    filterChoice_->setGeometry(rectOf(kFilterPlace));
    for (std::string_view caption : icon_overview::kFilterCaptions) filterChoice_->addItem(qtText(caption));
    label(kSearchCaption, kSearchCaptionPlace);
    searchField_ = new QLineEdit(this);
    searchField_->setGeometry(rectOf(kSearchPlace));
    searchField_->setClearButtonEnabled(true);

    iconGrid_ = new QListView(this);
    iconGrid_->setGeometry(rectOf(kGridPlace));
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

    label(kUnmatchedCaption, kUnmatchedCaptionPlace);
    unmatchedList_ = new QListWidget(this);
    unmatchedList_->setGeometry(rectOf(kUnmatchedPlace));
    label(kRefreshHint, kRefreshHintPlace);

    connect(atlasChoice_, &QComboBox::currentIndexChanged, this, [this] { showAtlas(); });
    connect(filterChoice_, &QComboBox::currentIndexChanged, this, [this] { showAtlas(); });
    connect(searchField_, &QLineEdit::textChanged, this, [this] { showAtlas(); });
    connect(iconGrid_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { openFolderOf(index); });
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
    showAtlas();
    QWidget::show();
    raise();
    activateWindow();
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

void IconOverviewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F5) {
        sink_(UiEvent::RefreshIconOverview);
        return;
    }
    QWidget::keyPressEvent(event);
}
