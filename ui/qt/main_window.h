#pragma once

// The main window "Ravelin": the directories, the status line with version and counts, and the
// buttons that start the program's operations. Its events go to the flow through the callback. Importing
// icon packs sits in its context menu and on its shortcuts, outside the fixed layout; files and folders
// dropped onto it are imported too. The context menu's Language menu says which language is chosen and
// asks for another.

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "ui/window_layout.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class MainWindow : public QWidget {
public:
    using EventSink = std::function<void(WindowEvent)>;
    // The sources chosen for the import asked for; empty when the choice was cancelled.
    using SourceChooser = std::function<std::vector<std::string>(import_action::Choice)>;

    MainWindow(EventSink sink, SourceChooser chooseSources);

    void refresh(const MainWindowView& view);

    // The control the layout places there.
    QWidget* control(const main_window::PlacedControl& placed) const;
    QLineEdit* installDirectoryField() const { return directoryFields_.front(); }
    QLineEdit* newIconDirectoryField() const { return directoryFields_.back(); }
    const std::array<QLineEdit*, main_window::kRowCount>& directoryFields() const { return directoryFields_; }
    QPushButton* chooseGameDirectoryButton() const { return chooseGameDirectoryButton_; }
    QPushButton* chooseNewIconsDirectoryButton() const { return chooseNewIconsDirectoryButton_; }
    QCheckBox* saveInGameDirectoryBox() const { return saveInGameDirectoryBox_; }
    QPushButton* instructionsButton() const { return instructionsButton_; }
    QPushButton* createAtlasesButton() const { return createAtlasesButton_; }
    QPushButton* iconOverviewButton() const { return iconOverviewButton_; }
    QAction* importFilesAction() const { return importFilesAction_; }
    QAction* importFolderAction() const { return importFolderAction_; }
    QMenu* languageMenu() const { return languageMenu_; }
    const std::array<QLabel*, main_window::kStatusFieldCount>& statusFields() const { return statusFields_; }
    const std::array<QLabel*, main_window::kRowCount>& captionLabels() const { return captionLabels_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createControl(const main_window::PlacedControl& placed);
    // Each caption in the system's font, made smaller only where it would not fit its control.
    void fitCaptions();
    QPushButton* addButton(std::string_view caption, UiEvent event);
    QAction* addImportAction(std::string_view title, std::string_view shortcut, import_action::Choice choice);
    void showLanguages(const std::vector<LanguageChoice>& languages, const std::string& chosen);

    EventSink sink_;
    SourceChooser chooseSources_;
    std::array<QLineEdit*, main_window::kRowCount> directoryFields_{};
    QPushButton* chooseGameDirectoryButton_ = nullptr;
    QPushButton* chooseNewIconsDirectoryButton_ = nullptr;
    QCheckBox* saveInGameDirectoryBox_ = nullptr;
    QPushButton* instructionsButton_ = nullptr;
    QPushButton* createAtlasesButton_ = nullptr;
    QPushButton* iconOverviewButton_ = nullptr;
    QAction* importFilesAction_ = nullptr;
    QAction* importFolderAction_ = nullptr;
    QMenu* languageMenu_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::array<QLabel*, main_window::kStatusFieldCount> statusFields_{};
    std::array<QLabel*, main_window::kRowCount> captionLabels_{};
};

QRect rectOf(const ControlPlace& place);
QString qtText(std::string_view text);

// Centres a window over another one, or over the screen without one.
void centreWindow(QWidget& window, const QWidget* over);
