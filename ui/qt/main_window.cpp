#include "ui/qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int kStatusHeight = 22;

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void centreWindow(QWidget& window, const QWidget* over) {
    QRect area;
    if (over && over->isVisible()) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
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
    installDirectoryField_ = addDirectoryRow("World of Tanks® install directory:", 10);
    chooseGameDirectoryButton_ = addButton(". . .", QRect(560, 3, 32, 32), UiEvent::ChooseGameDirectory);
    battleIconDirectoryField_ = addDirectoryRow("Battle Atlas icon directory:", 45);
    markerIconDirectoryField_ = addDirectoryRow("Marker Atlas icon directory:", 80);
    newIconDirectoryField_ = addDirectoryRow("New contour icon directory:", 115);
    chooseNewIconsDirectoryButton_ =
        addButton(". . .", QRect(560, 108, 32, 32), UiEvent::ChooseNewIconsDirectory);

    saveInGameDirectoryBox_ = new QCheckBox(
        "Save the new Atlases files directly in the game dirrectory and not in the current directory.", this);
    saveInGameDirectoryBox_->setGeometry(10, 150, 580, 25);
    saveInGameDirectoryBox_->setEnabled(false);

    instructionsButton_ = addButton("?", QRect(10, 190, 32, 32), UiEvent::OpenInstructions);
    createAtlasesButton_ =
        addButton("Create Atlases", QRect(kClientWidth - 160, 192, 150, 28), UiEvent::CreateAtlases);
    createAtlasesButton_->setEnabled(false);
    centreWindow(*this, nullptr);
}

QLineEdit* MainWindow::addDirectoryRow(const char* caption, int y) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setGeometry(10, y, 160, 20);
    captionLabels_[captionCount_++] = label;
    auto* field = new QLineEdit(this);
    field->setGeometry(170, y - 3, 380, 24);
    field->setReadOnly(true);  // changed only through the folder pickers; still selectable and copyable
    return field;
}

QPushButton* MainWindow::addButton(const QString& caption, const QRect& geometry, UiEvent event) {
    auto* button = new QPushButton(caption, this);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, event] { sink_(event); });
    return button;
}

void MainWindow::refresh(const MainWindowView& view) {
    statusFields_[0]->setText("Game Version: " + fromUtf8(view.gameVersion));
    statusFields_[1]->setText("Battle icons found: " + QString::number(view.battleIcons));
    statusFields_[2]->setText("Marker icons found: " + QString::number(view.markerIcons));
    statusFields_[3]->setText("New icons found: " + QString::number(view.newIcons));
    const std::pair<QLineEdit*, const std::string*> fields[] = {
        {installDirectoryField_, &view.installDirectory},
        {battleIconDirectoryField_, &view.battleIconDirectory},
        {markerIconDirectoryField_, &view.markerIconDirectory},
        {newIconDirectoryField_, &view.newIconDirectory},
    };
    bool allSet = true;
    for (const auto& [field, value] : fields) {
        field->setText(fromUtf8(*value));
        field->setCursorPosition(0);
        allSet = allSet && !value->empty();
    }
    createAtlasesButton_->setEnabled(allSet);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The flow decides when the program ends; the window goes with it.
    event->ignore();
    sink_(UiEvent::MainWindowCloseRequest);
}
