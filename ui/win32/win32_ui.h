#pragma once

// The native Windows implementation of the program's windows and dialogs. The flow's waits run the
// thread's message loop until a button or a close request has queued one of the flow's events.

#include <deque>
#include <functional>
#include <memory>

#include "ui/progress_pace.h"
#include "ui/ui.h"
#include "ui/win32/dialogs.h"
#include "ui/win32/icon_overview_window.h"
#include "ui/win32/installation_chooser.h"
#include "ui/win32/instructions_window.h"
#include "ui/win32/main_window.h"
#include "ui/win32/progress_window.h"

class Win32Ui : public DesktopUi {
public:
    // The native dialogs unless a test hands in its own.
    explicit Win32Ui(std::unique_ptr<Win32Dialogs> dialogs = std::make_unique<NativeDialogs>());

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
    std::vector<std::string> systemLanguages() const override;
    void remakeWindows() override;
    WindowEvent waitEvent() override;
    void setEndRequestHandler(std::function<void()> handler) override;

    // Ends the process after the end-request handler ran; tests put their own here.
    std::function<void(int exitCode)> endProcess = [](int exitCode) {
        ExitProcess(static_cast<UINT>(exitCode));
    };

    Win32MainWindow* mainWindow() const { return mainWindow_.get(); }
    Win32ProgressWindow* progressWindow() const { return progressWindow_.get(); }
    Win32InstructionsWindow* instructionsWindow() const { return instructionsWindow_.get(); }
    Win32IconOverviewWindow* iconOverviewWindow() const { return iconOverviewWindow_.get(); }
    // Events queued by the windows and not yet taken by waitEvent.
    const std::deque<WindowEvent>& pendingEvents() const { return events_; }

private:
    // Shows the step's latest text and value and lets the windows repaint without taking user input, at
    // the progress pace; between repaints an update only stores them.
    void repaintProgress();
    bool isDialogMessage(MSG& message) const;
    // What the main window's import asks for, through the dialogs.
    std::vector<std::string> chooseImportSources(import_action::Choice choice);

    std::unique_ptr<Win32Dialogs> dialogs_;
    // In this order, so that the owned windows go before their owner.
    std::unique_ptr<Win32MainWindow> mainWindow_;
    std::unique_ptr<Win32ProgressWindow> progressWindow_;
    std::unique_ptr<Win32InstructionsWindow> instructionsWindow_;
    std::unique_ptr<Win32IconOverviewWindow> iconOverviewWindow_;
    std::deque<WindowEvent> events_;
    std::function<void()> endRequestHandler_;
    ProgressPace progressPace_;
    std::optional<RECT> overviewPlace_;  // where the overview was when the windows were made anew
};
