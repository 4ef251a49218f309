#pragma once

// The Qt Widgets implementation of the program's windows and dialogs. The flow's waits process the
// toolkit's events until a button or a close request has queued one of the flow's events.

#include <QPointer>
#include <QSocketNotifier>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>

#include "ui/progress_pace.h"
#include "ui/qt/dialogs.h"
#include "ui/qt/icon_overview_window.h"
#include "ui/qt/instructions_window.h"
#include "ui/qt/main_window.h"
#include "ui/qt/progress_window.h"
#include "ui/qt/qt_languages.h"
#include "ui/ui.h"

// Qt's own texts follow the program's language as it is when the windows open and when they are made anew.
class QtUi : public DesktopUi {
public:
    QtUi();
    ~QtUi() override;

    MessageAnswer showMessage(const std::string& title, const std::string& text, MessageKind kind) override;
    std::string chooseFolder(const std::string& title, const std::string& initialDirectory) override;
    int chooseInstallation(const std::vector<std::string>& installations) override;
    void openProgressWindow(const std::string& title) override;
    void setProgressText(const std::string& text) override;
    void setProgressBar(int value) override;
    void closeProgressWindow() override;
    bool openMainWindow() override;
    void refreshMainWindow(const MainWindowView& view) override;
    void showMainWindow() override;
    void openInstructionsWindow() override;
    void closeInstructionsWindow() override;
    BuildSummaryChoice showBuildSummary(const BuildSummaryView& view) override;
    void showIconOverview(const IconOverviewView& view) override;
    std::optional<OverviewWindowSize> iconOverviewSize() const override;
    bool iconOverviewOpen() const override;
    std::vector<std::string> systemLanguages() const override { return desktopLanguages(); }
    void remakeWindows() override;
    WindowEvent waitEvent() override;
    void setEndRequestHandler(std::function<void()> handler) override;

    // Ends the process after the end-request handler ran; tests put their own here.
    std::function<void(int exitCode)> endProcess = [](int exitCode) { std::_Exit(exitCode); };

    // Shows a folder in the system's file manager; tests put their own here.
    std::function<void(const std::string& folder)> openFolder = openFolderInFileManager;

    // Asks for the icon packs or the folder to import; tests put their own here.
    std::function<std::vector<std::string>(import_action::Choice)> chooseImportSources =
        chooseImportSourcesDialog;

    MainWindow* mainWindow() const { return mainWindow_.get(); }
    ProgressWindow* progressWindow() const { return progressWindow_; }
    InstructionsWindow* instructionsWindow() const { return instructionsWindow_; }
    IconOverviewWindow* iconOverviewWindow() const { return iconOverviewWindow_; }
    // Events queued by the windows and not yet taken by waitEvent.
    const std::deque<WindowEvent>& pendingEvents() const { return events_; }

private:
    // Shows the step's latest text and value and lets the windows repaint, dropping user input, at the
    // progress pace; between repaints an update only stores them.
    void repaintProgress();

    std::unique_ptr<MainWindow> mainWindow_;
    QPointer<ProgressWindow> progressWindow_;
    QPointer<InstructionsWindow> instructionsWindow_;
    QPointer<IconOverviewWindow> iconOverviewWindow_;
    std::deque<WindowEvent> events_;
    std::function<void()> endRequestHandler_;
    std::unique_ptr<QSocketNotifier> endRequests_;
    ProgressPace progressPace_;
    QtOwnTranslations qtTranslations_;
    std::optional<QPoint> overviewPlace_;  // where the overview was when the windows were made anew
};
