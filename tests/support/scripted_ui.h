#pragma once

// A Ui for tests: dialogs are answered and events delivered from queues the test fills, and every call
// is recorded as one line of a transcript. With an empty queue a question is answered No, the folder
// picker and the installation chooser are cancelled and the event is a close request of the main window.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/ui.h"

class ScriptedUi : public DesktopUi {
public:
    std::deque<MessageAnswer> answers;
    std::deque<std::string> folders;
    std::deque<int> installationChoices;
    std::deque<BuildSummaryChoice> summaryChoices;
    std::deque<WindowEvent> events;
    std::vector<std::string> transcript;

    std::optional<OverviewWindowSize> overviewSize;  // what iconOverviewSize answers
    bool overviewOpen = false;                       // set by showIconOverview

    std::vector<std::string> desktopLanguages{"en"};  // what systemLanguages answers

    bool progressWindowOpen = false;
    bool instructionsWindowOpen = false;

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
    std::optional<OverviewWindowSize> iconOverviewSize() const override { return overviewSize; }
    bool iconOverviewOpen() const override { return overviewOpen; }
    std::vector<std::string> systemLanguages() const override { return desktopLanguages; }
    void remakeWindows() override;
    WindowEvent waitEvent() override;
    void setEndRequestHandler(std::function<void()> handler) override;

    // What the flow asked to be run when the system ends the program; a test calls it as a backend would.
    std::function<void()> endRequestHandler;
    // Runs at every wait for an event, where the program idles: what a kill or an end request finds there.
    std::function<void()> onWait;

    // The transcript lines that start with prefix, in order.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const;
};
