#include "ui/qt/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <vector>

#include "platform/localized_text.h"
#include "ui/qt/caption_font.h"
#include "ui/qt/file_drops.h"

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

MainWindow::MainWindow(EventSink sink, SourceChooser chooseSources)
    : sink_(std::move(sink)), chooseSources_(std::move(chooseSources)) {
    setWindowTitle("Ravelin");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    // The status line comes first, then the controls in the layout's order, which is also the tab order.
    for (std::size_t i = 0; i < statusFields_.size(); ++i) {
        auto* field = new QLabel(this);
        field->setFrameStyle(QFrame::Panel | QFrame::Raised);
        field->setGeometry(static_cast<int>(i) * kStatusFieldWidth, kClientHeight - kStatusHeight,
                           kStatusFieldWidth, kStatusHeight);
        field->setAlignment((i == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
        field->setIndent(3);
        statusFields_[i] = field;
    }
    for (const PlacedControl& placed : placedControls()) {
        QWidget* widget = createControl(placed);
        widget->setGeometry(rectOf(placed.place));
    }
    fitCaptions();
    // After the controls, which keep their places among the window's children. A right click or the menu
    // key shows the actions with their shortcuts; the shortcuts work wherever the keyboard is in the window.
    importFilesAction_ = addImportAction(import_action::kFilesTitle, import_action::kFilesShortcut,
                                         import_action::Choice::Files);
    importFolderAction_ = addImportAction(import_action::kFolderTitle, import_action::kFolderShortcut,
                                          import_action::Choice::Folder);
    languageMenu_ = new QMenu(qtText(localized(language_menu::kTitle)), this);
    addAction(languageMenu_->menuAction());
    setContextMenuPolicy(Qt::ActionsContextMenu);
    acceptFileDrops(*this, [this](std::vector<std::string> paths) {
        sink_(WindowEvent(UiEvent::PathsDropped, std::move(paths)));
    });
    centreWindow(*this, nullptr);
}

QAction* MainWindow::addImportAction(std::string_view title, std::string_view shortcut,
                                     import_action::Choice choice) {
    auto* action = new QAction(qtText(import_action::actionCaption(title)), this);
    action->setShortcut(QKeySequence(qtText(shortcut)));
    connect(action, &QAction::triggered, this, [this, choice] {
        std::vector<std::string> sources = chooseSources_(choice);
        if (!sources.empty()) sink_(WindowEvent(UiEvent::ImportChosen, std::move(sources)));
    });
    addAction(action);
    return action;
}

void MainWindow::showLanguages(const std::vector<LanguageChoice>& languages, const std::string& chosen) {
    languageMenu_->clear();
    delete languageGroup_;
    languageGroup_ = new QActionGroup(languageMenu_);  // one check mark
    const auto addChoice = [this, &chosen](const std::string& name, const std::string& code) {
        QAction* action = languageMenu_->addAction(qtText(name));
        action->setCheckable(true);
        action->setChecked(code == chosen);
        action->setActionGroup(languageGroup_);
        connect(action, &QAction::triggered, this,
                [this, code] { sink_(WindowEvent::languageChosen(code)); });
    };
    addChoice(localized(language_menu::kSystemLanguage), {});
    languageMenu_->addSeparator();
    for (const LanguageChoice& language : languages) addChoice(language.name, language.code);
}

QWidget* MainWindow::createControl(const PlacedControl& placed) {
    const auto row = static_cast<std::size_t>(placed.row);
    switch (placed.role) {
        case MainControlRole::DirectoryCaption:
            return captionLabels_[row] = new QLabel(qtText(localized(kDirectoryCaptions[row])), this);
        case MainControlRole::DirectoryField:
            directoryFields_[row] = new QLineEdit(this);
            directoryFields_[row]->setReadOnly(true);  // changed only through the folder pickers
            return directoryFields_[row];
        case MainControlRole::ChooseGameDirectory:
            return chooseGameDirectoryButton_ = addButton(kChooseCaption, UiEvent::ChooseGameDirectory);
        case MainControlRole::ChooseNewIconsDirectory:
            return chooseNewIconsDirectoryButton_ =
                       addButton(kChooseCaption, UiEvent::ChooseNewIconsDirectory);
        case MainControlRole::SaveInGameDirectory:
            saveInGameDirectoryBox_ = new QCheckBox(qtText(localized(kSaveInGameDirectoryCaption)), this);
            saveInGameDirectoryBox_->setEnabled(false);
            // clicked() comes from the user only (mouse or space bar), never from refresh().
            connect(saveInGameDirectoryBox_, &QCheckBox::clicked, this, [this](bool checked) {
                sink_(checked ? UiEvent::SaveInGameDirectoryChecked : UiEvent::SaveInGameDirectoryUnchecked);
            });
            return saveInGameDirectoryBox_;
        case MainControlRole::Instructions:
            return instructionsButton_ = addButton(kInstructionsCaption, UiEvent::OpenInstructions);
        case MainControlRole::IconOverview:
            return iconOverviewButton_ =
                       addButton(localized(kIconOverviewCaption), UiEvent::OpenIconOverview);
        case MainControlRole::CreateAtlases:
            createAtlasesButton_ = addButton(localized(kCreateAtlasesCaption), UiEvent::CreateAtlases);
            createAtlasesButton_->setEnabled(false);
            return createAtlasesButton_;
    }
    return nullptr;
}

QWidget* MainWindow::control(const PlacedControl& placed) const {
    const auto row = static_cast<std::size_t>(placed.row);
    switch (placed.role) {
        case MainControlRole::DirectoryCaption:
            return captionLabels_[row];
        case MainControlRole::DirectoryField:
            return directoryFields_[row];
        case MainControlRole::ChooseGameDirectory:
            return chooseGameDirectoryButton_;
        case MainControlRole::ChooseNewIconsDirectory:
            return chooseNewIconsDirectoryButton_;
        case MainControlRole::SaveInGameDirectory:
            return saveInGameDirectoryBox_;
        case MainControlRole::Instructions:
            return instructionsButton_;
        case MainControlRole::IconOverview:
            return iconOverviewButton_;
        case MainControlRole::CreateAtlases:
            return createAtlasesButton_;
    }
    return nullptr;
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

QPushButton* MainWindow::addButton(std::string_view caption, UiEvent event) {
    auto* button = new QPushButton(qtText(caption), this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, event] { sink_(event); });
    return button;
}

void MainWindow::refresh(const MainWindowView& view) {
    const auto status = statusTexts(view);
    for (std::size_t i = 0; i < status.size(); ++i) statusFields_[i]->setText(qtText(status[i]));
    const auto values = directories(view);
    for (std::size_t i = 0; i < directoryFields_.size(); ++i) {
        directoryFields_[i]->setText(qtText(*values[i]));
        directoryFields_[i]->setCursorPosition(0);
    }
    saveInGameDirectoryBox_->setEnabled(canSaveInGameDirectory(view));
    saveInGameDirectoryBox_->setChecked(view.saveInGameDirectory);
    createAtlasesButton_->setEnabled(canCreateAtlases(view));
    showLanguages(view.languages, view.language);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The flow decides when the program ends; the window goes with it.
    event->ignore();
    sink_(UiEvent::MainWindowCloseRequest);
}
