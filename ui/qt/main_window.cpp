#include "ui/qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "ui/qt/caption_font.h"

namespace {

constexpr int kStatusHeight = 22;

using namespace main_window;

}  // namespace

QRect rectOf(const ControlPlace& place) {
    return QRect(place.x, place.y, place.width, place.height);
}

QString qtText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void centreWindow(QWidget& window, const QWidget* over) {
    QRect area;
    if (over && over->isVisible()) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (!area.isValid()) return;
    QPoint place = area.center() - QPoint(window.width() / 2, window.height() / 2);
    // Never off the top or left of the screen, where its title bar could not be reached.
    if (const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        place.setY(std::max(available.top(), std::min(place.y(), available.bottom() - window.height())));
        place.setX(std::max(available.left(), place.x()));
    }
    window.move(place);
}

MainWindow::MainWindow(EventSink sink) : sink_(std::move(sink)) {
    setWindowTitle("Ravelin");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    // The status line comes first, then the controls in their fixed order, which is also the tab order.
    for (int i = 0; i < 4; ++i) {
        auto* field = new QLabel(this);
        field->setFrameStyle(QFrame::Panel | QFrame::Raised);
        field->setGeometry(i * kClientWidth / 4, kClientHeight - kStatusHeight, kClientWidth / 4,
                           kStatusHeight);
        field->setAlignment((i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        field->setIndent(3);
        statusFields_[static_cast<std::size_t>(i)] = field;
    }
    installDirectoryField_ = addDirectoryRow(0);
    chooseGameDirectoryButton_ =
        addButton(kChooseCaption, kChooseGameDirectoryPlace, UiEvent::ChooseGameDirectory);
    battleIconDirectoryField_ = addDirectoryRow(1);
    markerIconDirectoryField_ = addDirectoryRow(2);
    newIconDirectoryField_ = addDirectoryRow(3);
    chooseNewIconsDirectoryButton_ =
        addButton(kChooseCaption, kChooseNewIconsDirectoryPlace, UiEvent::ChooseNewIconsDirectory);

    saveInGameDirectoryBox_ = new QCheckBox(qtText(kSaveInGameDirectoryCaption), this);
    saveInGameDirectoryBox_->setGeometry(rectOf(kSaveInGameDirectoryPlace));
    saveInGameDirectoryBox_->setEnabled(false);
    // clicked() comes from the user only (mouse or space bar), never from refresh().
    connect(saveInGameDirectoryBox_, &QCheckBox::clicked, this, [this](bool checked) {
        sink_(checked ? UiEvent::SaveInGameDirectoryChecked : UiEvent::SaveInGameDirectoryUnchecked);
    });

    instructionsButton_ = addButton(kInstructionsCaption, kInstructionsPlace, UiEvent::OpenInstructions);
    iconOverviewButton_ = addButton(kIconOverviewCaption, kIconOverviewPlace, UiEvent::OpenIconOverview);
    createAtlasesButton_ = addButton(kCreateAtlasesCaption, kCreateAtlasesPlace, UiEvent::CreateAtlases);
    createAtlasesButton_->setEnabled(false);
    fitCaptions();
    centreWindow(*this, nullptr);
}

void MainWindow::fitCaptions() {
    // In the order of captionsAndWidths(): the labels, the check box, "Create Atlases", "Icons…", the
    // status line; the controls of a group keep one size.
    const std::vector<std::vector<QWidget*>> groups = {{captionLabels_.begin(), captionLabels_.end()},
                                                       {saveInGameDirectoryBox_},
                                                       {createAtlasesButton_},
                                                       {iconOverviewButton_},
                                                       {statusFields_.begin(), statusFields_.end()}};
    const auto captions = captionsAndWidths();
    std::size_t next = 0;
    for (const std::vector<QWidget*>& group : groups) {
        std::vector<std::pair<QString, int>> groupCaptions;
        for (std::size_t i = 0; i < group.size() && next < captions.size(); ++i, ++next)
            groupCaptions.emplace_back(qtText(captions[next].first), captions[next].second);
        const QFont font = captionFont(QWidget::font(), groupCaptions);
        for (QWidget* control : group) control->setFont(font);
    }
}

QLineEdit* MainWindow::addDirectoryRow(int row) {
    auto* label = new QLabel(qtText(kDirectoryCaptions[static_cast<std::size_t>(row)]), this);
    label->setGeometry(rectOf(captionPlace(row)));
    captionLabels_[static_cast<std::size_t>(row)] = label;
    auto* field = new QLineEdit(this);
    field->setGeometry(rectOf(fieldPlace(row)));
    field->setReadOnly(true);  // changed only through the folder pickers; still selectable and copyable
    return field;
}

QPushButton* MainWindow::addButton(std::string_view caption, const ControlPlace& place, UiEvent event) {
    auto* button = new QPushButton(qtText(caption), this);
    button->setGeometry(rectOf(place));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, event] { sink_(event); });
    return button;
}

void MainWindow::refresh(const MainWindowView& view) {
    const std::array<std::string, 4> status = statusTexts(view);
    for (std::size_t i = 0; i < status.size(); ++i) statusFields_[i]->setText(qtText(status[i]));
    const std::array<QLineEdit*, 4> fields = {installDirectoryField_, battleIconDirectoryField_,
                                              markerIconDirectoryField_, newIconDirectoryField_};
    const std::array<const std::string*, 4> values = directories(view);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        fields[i]->setText(qtText(*values[i]));
        fields[i]->setCursorPosition(0);
    }
    saveInGameDirectoryBox_->setEnabled(canSaveInGameDirectory(view));
    saveInGameDirectoryBox_->setChecked(view.saveInGameDirectory);
    createAtlasesButton_->setEnabled(canCreateAtlases(view));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The flow decides when the program ends; the window goes with it.
    event->ignore();
    sink_(UiEvent::MainWindowCloseRequest);
}
