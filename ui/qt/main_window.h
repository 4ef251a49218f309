#pragma once

// The main window "Ravelin": the four directories, the status line with version and counts, and the
// buttons that start the program's operations. Its events go to the flow through the callback.

#include <QWidget>
#include <array>
#include <functional>

#include "ui/window_layout.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class MainWindow : public QWidget {
public:
    using EventSink = std::function<void(UiEvent)>;

    explicit MainWindow(EventSink sink);

    void refresh(const MainWindowView& view);

    QLineEdit* installDirectoryField() const { return installDirectoryField_; }
    QLineEdit* battleIconDirectoryField() const { return battleIconDirectoryField_; }
    QLineEdit* markerIconDirectoryField() const { return markerIconDirectoryField_; }
    QLineEdit* newIconDirectoryField() const { return newIconDirectoryField_; }
    QPushButton* chooseGameDirectoryButton() const { return chooseGameDirectoryButton_; }
    QPushButton* chooseNewIconsDirectoryButton() const { return chooseNewIconsDirectoryButton_; }
    QCheckBox* saveInGameDirectoryBox() const { return saveInGameDirectoryBox_; }
    QPushButton* instructionsButton() const { return instructionsButton_; }
    QPushButton* createAtlasesButton() const { return createAtlasesButton_; }
    QPushButton* iconOverviewButton() const { return iconOverviewButton_; }
    const std::array<QLabel*, 4>& statusFields() const { return statusFields_; }
    const std::array<QLabel*, 4>& captionLabels() const { return captionLabels_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLineEdit* addDirectoryRow(int row);
    // Each caption in the system's font, made smaller only where it would not fit its control.
    void fitCaptions();
    QPushButton* addButton(std::string_view caption, const ControlPlace& place, UiEvent event);

    EventSink sink_;
    QLineEdit* installDirectoryField_ = nullptr;
    QLineEdit* battleIconDirectoryField_ = nullptr;
    QLineEdit* markerIconDirectoryField_ = nullptr;
    QLineEdit* newIconDirectoryField_ = nullptr;
    QPushButton* chooseGameDirectoryButton_ = nullptr;
    QPushButton* chooseNewIconsDirectoryButton_ = nullptr;
    QCheckBox* saveInGameDirectoryBox_ = nullptr;
    QPushButton* instructionsButton_ = nullptr;
    QPushButton* createAtlasesButton_ = nullptr;
    QPushButton* iconOverviewButton_ = nullptr;
    std::array<QLabel*, 4> statusFields_{};
    std::array<QLabel*, 4> captionLabels_{};
};

QRect rectOf(const ControlPlace& place);
QString qtText(std::string_view text);

// Centres a window over another one, or over the screen without one.
void centreWindow(QWidget& window, const QWidget* over);
