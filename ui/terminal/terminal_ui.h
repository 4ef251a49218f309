#pragma once

// The Ui of ravelin-cli: messages on stderr, questions answered by a flag, a one-line progress bar on
// stderr when it is a terminal. There are no windows; the event loop's wait ends the run at once.

#include <cstdio>
#include <optional>
#include <string>

#include "ui/ui.h"

class TerminalUi : public Ui {
public:
    // answerYes answers questions Yes (else No). The folder picker returns presetFolder once; once it has
    // been handed out, a question asks for a choice no one is there to make and is answered No.
    TerminalUi(std::FILE* messages, bool answerYes, bool progressBar,
               std::optional<std::string> presetFolder = {});

    MessageAnswer showMessage(const std::string& title, const std::string& text, MessageKind kind) override;
    std::string chooseFolder(const std::string& title, const std::string& initialDirectory) override;
    void openProgressWindow(const std::string& title) override;
    void setProgressText(const std::string& text) override;
    void setProgressBar(int value) override;
    void closeProgressWindow() override;
    bool openMainWindow() override { return true; }
    void refreshMainWindow(const Settings&) override {}
    void showMainWindow() override {}
    void openInstructionsWindow() override {}
    void closeInstructionsWindow() override {}
    UiEvent waitEvent() override { return UiEvent::MainWindowCloseRequest; }

private:
    void drawProgress();

    std::FILE* messages_;
    bool answerYes_;
    bool progressBar_;
    std::optional<std::string> presetFolder_;
    bool folderHandedOut_ = false;
    bool progressOpen_ = false;
    std::string progressTitle_;
    std::string progressText_;
    int progressValue_ = 0;
    int drawnValue_ = -1;
};
