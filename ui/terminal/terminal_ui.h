#pragma once

// The Ui of ravelin-cli: messages on stderr, questions answered by a flag, a one-line progress bar on
// a console line when stderr is a console or terminal, redrawn at the progress pace. There is no one to
// pick a folder or an installation. Error messages are kept, not printed: the program prints each once at the
// end, beside the job's outcome.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/console.h"
#include "ui/progress_pace.h"
#include "ui/ui.h"

class TerminalUi : public Ui {
public:
    // answerYes answers questions Yes (else No); without a progress line no progress is shown.
    TerminalUi(std::FILE* messages, bool answerYes, std::optional<ConsoleLine> progressLine);

    MessageAnswer showMessage(const std::string& title, const std::string& text, MessageKind kind) override;
    std::string chooseFolder(const std::string&, const std::string&) override { return {}; }
    int chooseInstallation(const std::vector<std::string>&) override { return kChoseNothing; }
    void openProgressWindow(const std::string& title) override;
    void setProgressText(const std::string& text) override;
    void setProgressBar(int value) override;
    void closeProgressWindow() override;

    // The texts of the error messages shown so far, in order.
    const std::vector<std::string>& errors() const { return errors_; }

private:
    void drawProgress();

    std::FILE* messages_;
    bool answerYes_;
    std::optional<ConsoleLine> progressLine_;
    bool progressOpen_ = false;
    std::string progressTitle_;
    std::string progressText_;
    int progressValue_ = 0;
    int drawnValue_ = -1;
    ProgressPace pace_;
    std::vector<std::string> errors_;
};
